// orthspell fix FILE: interactive correction of a file, saved atomically.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "commands/commands.h"
#include "commands/common_options.h"
#include "commands/fix_session.h"
#include "encoding/engine_text.h"
#include "orth.h"
#include "commands/terminal.h"

namespace orth::cli {

namespace {

constexpr char FIX_USAGE[] =
    "usage: orthspell fix [OPTIONS] FILE\n"
    "\n"
    "Walks FILE finding by finding, shows each misspelled or doubled word in its\n"
    "line with numbered suggestions, and applies your keys:\n"
    "  1-9  replace by that suggestion (the replacement is checked next)\n"
    "  r    type a replacement          a    add the word to the personal list\n"
    "  i    ignore it this once         I    ignore it for the rest of the run\n"
    "  d    delete a doubled word       u    undo the last change\n"
    "  q    save and quit               x    quit without saving\n"
    "The file is replaced in one step by its corrected text, keeping the original\n"
    "as FILE.bak. When stdin is not a terminal, keys are read one per line (a\n"
    "replacement after r on the next line); the end of input quits without saving.\n"
    "\n"
    "options (the personal list of -p is saved on q):\n"
    "%s"
    "  --no-backup          do not keep FILE.bak\n"
    "  --classic            suggest with the classic similarity search instead of\n"
    "                       the ranked suggester\n"
    "  --part-size BYTES    work through the file in parts of at most this size\n"
    "                       (default 65000)\n";

constexpr std::size_t DEFAULT_PART_SIZE = 65000;

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return false;
  bytes = content.str();
  return true;
}

// Writes bytes to a new file next to target and renames it over target, so
// that target holds either its old or its new content, never a part.
std::string ReplaceFileAtomically(const std::string& target, const std::string& bytes,
                                  mode_t mode) {
  std::string temp = target + ".orthspell-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return "cannot create a file next to '" + target + "': " + std::strerror(errno);
  bool ok = fchmod(fd, mode) == 0;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  const int writeError = errno;
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
    const std::string reason = std::strerror(ok ? errno : writeError);
    std::remove(temp.c_str());
    return "cannot write '" + target + "': " + reason;
  }
  return {};
}

}  // namespace

int RunFix(const std::vector<std::string>& args) {
  CommonOptions options;
  std::string file;
  bool backup = true;
  bool classic = false;
  std::size_t partSize = DEFAULT_PART_SIZE;
  for (std::size_t i = 0; i < args.size(); ++i) {
    switch (ParseCommonOption("fix", args, i, options)) {
      case OptionParse::Taken:
        continue;
      case OptionParse::Failed:
        return EXIT_USAGE;
      case OptionParse::NotCommon:
        break;
    }
    const std::string& arg = args[i];
    const bool needsValue = arg == "--part-size";
    if (needsValue && i + 1 >= args.size()) {
      ReportError("fix", "option " + arg + " needs a value");
      return EXIT_USAGE;
    }
    if (arg == "--help" || arg == "-h") {
      std::printf(FIX_USAGE, CommonOptionsHelp());
      return EXIT_OK;
    } else if (arg == "--part-size") {
      long size = 0;
      if (!ParseNumber(args[++i], 64, 100000000, size)) {
        ReportError("fix", "--part-size needs a number of bytes from 64 to 100000000");
        return EXIT_USAGE;
      }
      partSize = static_cast<std::size_t>(size);
    } else if (arg == "--no-backup") {
      backup = false;
    } else if (arg == "--classic") {
      classic = true;
    } else if (!arg.empty() && arg[0] == '-') {
      ReportError("fix", "unknown option '" + arg + "' (try 'orthspell fix --help')");
      return EXIT_USAGE;
    } else if (file.empty()) {
      file = arg;
    } else {
      ReportError("fix", "one file at a time");
      return EXIT_USAGE;
    }
  }
  if (file.empty()) {
    ReportError("fix", "no file given (try 'orthspell fix --help')");
    return EXIT_USAGE;
  }

  struct stat info {};
  std::string original;
  if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || !ReadWholeFile(file, original)) {
    ReportError("fix", "cannot read '" + file + "'");
    return EXIT_FAILED;
  }
  CheckerSession spell;
  std::string error;
  if (!OpenCheckerSession(options, spell, error)) {
    ReportError("fix", error);
    return EXIT_FAILED;
  }

  const MappedText whole = MakeMappedText(original);
  if (!whole.utf8) {
    std::fprintf(stderr, "orthspell fix: '%s' is not UTF-8; reading it as Latin-1\n", file.c_str());
  }
  std::vector<std::size_t> cuts = SplitMappedText(whole, partSize);
  cuts.insert(cuts.begin(), 0);
  cuts.push_back(whole.engine.size());

  Terminal terminal = OpenTerminal();
  FixContext context;
  context.session = spell.session;
  context.personalLex = spell.personalLex;
  context.runLex = ORTH_CreateLex(spell.session, nullptr, LEX_TYPE_ACCEPT, 0);
  context.options = CheckOptionBits(options);
  context.classic = classic;
  context.fileName = file;
  context.partCount = cuts.size() - 1;
  context.terminal = &terminal;

  std::string corrected;
  FixOutcome outcome = FixOutcome::PART_DONE;
  for (std::size_t part = 0; part + 1 < cuts.size(); ++part) {
    MappedText text = SliceMappedText(whole, cuts[part], cuts[part + 1]);
    if (outcome == FixOutcome::PART_DONE) {
      context.partIndex = part;
      outcome = FixPart(context, text);
      context.firstLine +=
          static_cast<std::size_t>(std::count(text.engine.begin(), text.engine.end(), '\n'));
    }
    corrected += EncodeMappedText(text);
  }
  ClearScreen(terminal);
  CloseTerminal(terminal);

  if (outcome == FixOutcome::FAILED) {
    ReportError("fix", "the engine refused a part of '" + file + "'; nothing saved");
    return EXIT_FAILED;
  }
  if (outcome == FixOutcome::QUIT_WITHOUT_SAVING) {
    std::printf("orthspell fix: quit; '%s' left unchanged\n", file.c_str());
    return EXIT_OK;
  }
  int status = EXIT_OK;
  if (context.personalModified) {
    std::string failure;
    if (!SavePersonalList(spell, failure)) {
      ReportError("fix", failure);
      status = EXIT_FAILED;
    }
  }
  if (corrected == original) {
    std::printf("orthspell fix: no changes to '%s'\n", file.c_str());
    return status;
  }
  // A linked file is replaced where it really lives; the link stays.
  std::string target = file;
  if (char* real = realpath(file.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  if (backup) {
    const std::string failure =
        ReplaceFileAtomically(target + ".bak", original, info.st_mode & 07777);
    if (!failure.empty()) {
      ReportError("fix", failure + "; '" + file + "' left unchanged");
      return EXIT_FAILED;
    }
  }
  const std::string failure = ReplaceFileAtomically(target, corrected, info.st_mode & 07777);
  if (!failure.empty()) {
    ReportError("fix", failure + "; '" + file + "' left unchanged");
    return EXIT_FAILED;
  }
  std::printf("orthspell fix: saved '%s' (%zu change%s)%s\n", file.c_str(), context.changes,
              context.changes == 1 ? "" : "s", backup ? ", the original is in the .bak file" : "");
  return status;
}

}  // namespace orth::cli
