// orthspell fix FILE: interactive correction of a file in its document
// format, written to a copy next to it that replaces it in one step.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "check/document_run.h"
#include "commands/command_line.h"
#include "commands/commands.h"
#include "commands/common_options.h"
#include "commands/fix_session.h"
#include "commands/terminal.h"
#include "encoding/engine_text.h"
#include "input/document_reader.h"
#include "orth.h"

namespace orth::cli {

namespace {

constexpr char FIX_HELP[] =
    "NAME\n"
    "    orthspell fix - correct a file interactively\n"
    "\n"
    "SYNOPSIS\n"
    "    orthspell fix [OPTIONS] FILE\n"
    "\n"
    "DESCRIPTION\n"
    "    Walks FILE finding by finding, shows each misspelled or doubled word in its\n"
    "    line with numbered suggestions, and applies your keys:\n"
    "\n"
    "        1-9  replace by that suggestion (the replacement is checked next)\n"
    "        r    type a replacement          a    add the word to the personal list\n"
    "        i    ignore it this once         I    ignore it for the rest of the run\n"
    "        d    delete a doubled word       u    undo the last change\n"
    "        q    save and quit               x    quit without saving\n"
    "\n"
    "    FILE is read in its format, as orthspell check reads it (chosen by its\n"
    "    name, its \"#!\" line and first bytes, or by --mode): code, markup, URLs,\n"
    "    paths and the like are never shown, and inline directives are obeyed.\n"
    "    It is read in parts of at most --part-size bytes, each ending at a line\n"
    "    end unless a line is longer; u undoes changes within the current part.\n"
    "    A file whose first 64 KiB are not UTF-8 is read and written as Latin-1.\n"
    "\n"
    "    The corrected text goes to a new file next to FILE, which replaces FILE in\n"
    "    one step at the end (a symbolic link keeps pointing to it), and the\n"
    "    original is kept as FILE.bak. q keeps the changes made so far; x and the\n"
    "    end of the keys leave FILE as it was; a file without changes is not\n"
    "    rewritten. The personal list of -p is saved on q and at the end. When\n"
    "    stdin is not a terminal, keys are read one per line (a replacement after\n"
    "    r on the next line).\n"
    "\n"
    "OPTIONS\n"
    "    --no-backup             do not keep FILE.bak\n"
    "    --classic               suggest with the classic similarity search instead\n"
    "                            of the ranked suggester\n"
    "    --part-size BYTES       read FILE in parts of at most BYTES, 64..100000000\n"
    "                            (default 65000)\n"
    "%D"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 saved, unchanged or left as it was on x; 1 FILE or a dictionary could\n"
    "    not be read or FILE not written (FILE is then unchanged); 2 a usage error.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell fix README.md\n"
    "    orthspell fix -p ~/.orth-words.lex --mode tex --tex-command gls:P chapter.tex\n";

constexpr long DEFAULT_PART_SIZE = 65000;
// The bytes whose encoding decides how the whole file is read.
constexpr std::size_t ENCODING_HEAD_BYTES = std::size_t{1} << 16;
// The bytes a format's detection and parser may look at first.
constexpr std::size_t FORMAT_HEAD_BYTES = 4096;
constexpr std::size_t COPY_BYTES = std::size_t{1} << 16;

struct FixArgs {
  CommonOptions common;
  DocumentOptions documents;
  std::vector<std::string> files;
  bool noBackup = false;
  bool classic = false;
  std::string partSize;
};

std::string HelpText() {
  std::string help = FIX_HELP;
  const std::size_t documents = help.find("%D");
  help.replace(documents, 2, DocumentOptionsHelp());
  return help;
}

// Whether the first bytes of a file are UTF-8; a character cut short at the
// end of the head counts as whole when more bytes follow.
bool HeadIsUtf8(const InputHead& head) {
  const std::string_view bytes = head.bytes;
  if (IsValidUtf8(bytes)) return true;
  if (head.ended) return false;
  std::size_t lead = bytes.size();
  while (lead > 0 && bytes.size() - lead < 3 &&
         (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80) {
    --lead;
  }
  if (lead == 0) return false;
  const auto first = static_cast<unsigned char>(bytes[lead - 1]);
  const std::size_t needs = first >= 0xF0 && first <= 0xF4   ? 4
                            : first >= 0xE0 && first <= 0xEF ? 3
                            : first >= 0xC2 && first <= 0xDF ? 2
                                                             : 0;
  return needs > bytes.size() - (lead - 1) && IsValidUtf8(bytes.substr(0, lead - 1));
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A new file next to `target` (same folder, so that it can be renamed over
// it) with the given mode. -1 with a message when it cannot be made.
int CreateTemporary(const std::string& target, mode_t mode, std::string& path, std::string& error) {
  path = target + ".orthspell-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) {
    error = "cannot create a file next to '" + target + "': " + std::strerror(errno);
    return -1;
  }
  if (fchmod(fd, mode) != 0) {
    error = "cannot set the mode of '" + path + "': " + std::strerror(errno);
    close(fd);
    unlink(path.c_str());
    return -1;
  }
  return fd;
}

// Flushes a finished file to the disk and closes it.
bool FinishFile(int fd, const std::string& path, std::string& error) {
  const bool synced = fsync(fd) == 0;
  const int syncError = errno;
  const bool closed = close(fd) == 0;
  if (synced && closed) return true;
  error = "cannot write '" + path + "': " + std::strerror(synced ? errno : syncError);
  return false;
}

// The renames are kept when the system fails right after them.
void SyncFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// Copies `from` to `to` through a temporary file renamed over `to`, so that
// `to` is either its old file or a whole copy.
bool CopyAtomically(const std::string& from, const std::string& to, mode_t mode,
                    std::string& error) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    error = "cannot read '" + from + "': " + std::strerror(errno);
    return false;
  }
  std::string temporary;
  const int out = CreateTemporary(to, mode, temporary, error);
  if (out < 0) {
    close(in);
    return false;
  }
  std::vector<char> buffer(COPY_BYTES);
  bool ok = true;
  for (;;) {
    const ssize_t n = read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = "cannot read '" + from + "': " + std::strerror(errno);
      ok = false;
      break;
    }
    if (n == 0) break;
    if (!WriteAll(out, std::string_view(buffer.data(), static_cast<std::size_t>(n)))) {
      error = "cannot write '" + to + "': " + std::strerror(errno);
      ok = false;
      break;
    }
  }
  close(in);
  if (!ok) {
    close(out);
  } else if (!FinishFile(out, to, error)) {
    ok = false;
  } else if (std::rename(temporary.c_str(), to.c_str()) != 0) {
    error = "cannot write '" + to + "': " + std::strerror(errno);
    ok = false;
  }
  if (!ok) unlink(temporary.c_str());
  return ok;
}

int ParseFixArgs(const std::vector<std::string>& args, FixArgs& parsed, std::size_t& partSize) {
  CommandLine line("fix", HelpText());
  AddCommonOptions(line, parsed.common);
  AddDocumentOptions(line, parsed.documents);
  line.app.add_flag("--no-backup", parsed.noBackup);
  line.app.add_flag("--classic", parsed.classic);
  line.app.add_option("--part-size", parsed.partSize);
  line.app.add_option("files", parsed.files);
  if (const int status = ParseArguments(line, args); status != EXIT_OK) return status;
  long size = DEFAULT_PART_SIZE;
  if (line.app.count("--part-size") > 0 && !ParseNumber(parsed.partSize, 64, 100000000, size)) {
    ReportError("fix", "--part-size needs a number of bytes from 64 to 100000000");
    return EXIT_USAGE;
  }
  partSize = static_cast<std::size_t>(size);
  if (!ResolveDocumentOptions(line, parsed.documents)) return EXIT_USAGE;
  if (parsed.files.empty()) {
    ReportError("fix", "no file given (try 'orthspell fix --help')");
    return EXIT_USAGE;
  }
  if (parsed.files.size() > 1) {
    ReportError("fix", "one file at a time");
    return EXIT_USAGE;
  }
  return EXIT_OK;
}

// Closes a file descriptor when it goes out of scope.
struct FileCloser {
  int fd = -1;
  ~FileCloser() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

int RunFix(const std::vector<std::string>& args) {
  FixArgs parsed;
  std::size_t partSize = DEFAULT_PART_SIZE;
  if (const int status = ParseFixArgs(args, parsed, partSize); status != EXIT_OK) {
    return status == SHOWN_HELP ? EXIT_OK : status;
  }
  const std::string& file = parsed.files.front();

  FileCloser input;
  input.fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (input.fd < 0 || fstat(input.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ReportError("fix", "cannot read '" + file + "'");
    return EXIT_FAILED;
  }
  CheckerSession spell;
  std::string error;
  if (!OpenCheckerSession(parsed.common, spell, error)) {
    ReportError("fix", error);
    return EXIT_FAILED;
  }

  FileSource source(input.fd);
  InputHead head;
  if (!ReadHead(source, ENCODING_HEAD_BYTES, head, error)) {
    ReportError("fix", "cannot read '" + file + "': " + error);
    return EXIT_FAILED;
  }
  const bool latin1 = !HeadIsUtf8(head);
  if (latin1) {
    std::fprintf(stderr, "orthspell fix: '%s' is not UTF-8; reading it as Latin-1\n", file.c_str());
  }
  ModeChoice mode;
  mode.format = parsed.documents.format;
  mode.modeName = parsed.documents.mode;
  for (char& c : mode.modeName) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  mode.options = parsed.documents.formatOptions;
  const std::string formatHead = head.bytes.substr(0, FORMAT_HEAD_BYTES);
  const DocumentFormat& format = FormatFor(mode, file, formatHead);
  if (!ChooseTechWords(spell, format.technical, error)) {
    ReportError("fix", error);
    return EXIT_FAILED;
  }
  ParserContext parserContext;
  parserContext.fileName = file;
  parserContext.head = formatHead;
  parserContext.modeName = mode.modeName;
  parserContext.options = &mode.options;
  const auto parser = format.make(parserContext);

  // A linked file is replaced where it really lives; the link stays.
  std::string target = file;
  if (char* real = realpath(file.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  const mode_t fileMode = info.st_mode & 07777;
  std::string temporary;
  FileCloser copy;
  copy.fd = CreateTemporary(target, fileMode, temporary, error);
  if (copy.fd < 0) {
    ReportError("fix", error + "; '" + file + "' left unchanged");
    return EXIT_FAILED;
  }
  RemoveOnFatalSignal(temporary);

  Terminal terminal = OpenTerminal();
  FixContext context;
  context.session = spell.session;
  context.personalLex = spell.personalLex;
  context.runLex = ORTH_CreateLex(spell.session, nullptr, LEX_TYPE_ACCEPT, 0);
  context.policy = MakeCheckPolicy(parsed.common, parsed.documents);
  context.policy.latin1Input = latin1;
  context.suggestion.classic = parsed.classic;
  context.fileName = file;
  context.terminal = &terminal;
  const FixOutput output = [&](std::string_view bytes, std::string& failure) {
    if (WriteAll(copy.fd, bytes)) return true;
    failure = "cannot write '" + temporary + "': " + std::strerror(errno);
    return false;
  };
  const FixOutcome outcome =
      FixDocument(context, source, std::move(head), *parser, partSize, output, error);
  ClearScreen(terminal);
  CloseTerminal(terminal);

  auto discard = [&]() {
    close(copy.fd);
    copy.fd = -1;
    unlink(temporary.c_str());
    RemoveOnFatalSignal("");
  };
  if (outcome == FixOutcome::FAILED) {
    discard();
    ReportError("fix", error + "; '" + file + "' left unchanged");
    return EXIT_FAILED;
  }
  if (outcome == FixOutcome::QUIT_WITHOUT_SAVING) {
    discard();
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
  if (!context.changed) {
    discard();
    std::printf("orthspell fix: no changes to '%s'\n", file.c_str());
    return status;
  }
  const int finished = copy.fd;
  copy.fd = -1;
  bool saved = FinishFile(finished, temporary, error);
  if (saved && !parsed.noBackup) saved = CopyAtomically(target, target + ".bak", fileMode, error);
  if (saved && std::rename(temporary.c_str(), target.c_str()) != 0) {
    error = "cannot replace '" + target + "': " + std::strerror(errno);
    saved = false;
  }
  if (!saved) {
    unlink(temporary.c_str());
    RemoveOnFatalSignal("");
    ReportError("fix", error + "; '" + file + "' left unchanged");
    return EXIT_FAILED;
  }
  RemoveOnFatalSignal("");
  SyncFolderOf(target);
  std::printf("orthspell fix: saved '%s' (%zu change%s)%s\n", file.c_str(), context.changes,
              context.changes == 1 ? "" : "s",
              parsed.noBackup ? "" : ", the original is in the .bak file");
  return status;
}

}  // namespace orth::cli
