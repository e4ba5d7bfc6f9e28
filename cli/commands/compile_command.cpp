// orthspell compile: a word list in, a compressed lexicon out.
#include <cstdio>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "lex/commonness_file.h"
#include "lexcompiler/commonness_builder.h"
#include "lexcompiler/frequency_tiers.h"
#include "lexcompiler/lex_compiler.h"
#include "lexcompiler/volume_names.h"
#include "lexcompiler/word_list.h"

namespace orth::cli {

namespace {

constexpr char HELP[] =
    "usage: orthspell compile WORDLIST -o OUT.olx [--language N] [--encoding utf-8|latin-1]\n"
    "                         [--volumes] [--text-words] [--no-verify]\n"
    "                         [--common TIERLIST]... | [--frequencies COUNTS]\n"
    "\n"
    "Compiles a word list (one word a line) into a compressed lexicon. Each word is\n"
    "stored in the form a lookup searches for (lower case, at most 30 characters,\n"
    "without a final apostrophe ending or a leading elision); words of one or two\n"
    "characters go to the short-word table (at most 439). Words the list never\n"
    "writes in lower case keep the case it gives them («Debian», «NASA», «iPhone»)\n"
    "in the case forms file OUT.olf, which the check's case rules read.\n"
    "\n"
    "options:\n"
    "  -o, --output OUT.olx    the lexicon file to write (replaced when complete)\n"
    "  --language N            language identifier for the header, 0..65535 (default 0)\n"
    "  --encoding ENC          encoding of the word list: utf-8 (default) or latin-1\n"
    "  --text-words            store the words text checking finds in each entry:\n"
    "                          \"anglo-saxon\" gives anglo and saxon, \"etc.\" gives etc\n"
    "  --volumes               when one file cannot hold the list (a section over\n"
    "                          64 KiB, more than 439 short words), write volumes\n"
    "                          OUT.olx, OUT.2.olx ... (at most 8), opened together by -d\n"
    "  --no-verify             do not re-open the file and look every word up\n"
    "  --common TIERLIST       a list of common words (one a line, the list's encoding);\n"
    "                          given once or more, most common tier first, it writes the\n"
    "                          commonness file OUT.olc that ranked suggestions prefer\n"
    "                          common words by; words of no tier count as least common\n"
    "  --frequencies COUNTS    a word-frequency list (\"word count\" a line): writes the\n"
    "                          commonness file with a tier for each halving of the\n"
    "                          count, at most 24; instead of --common\n"
    "  -h, --help              show this help\n";

struct CompileArgs {
  std::string list;
  std::string output;
  CompileOptions options;
  std::vector<std::string> tierLists;  // --common, most common first
  std::string frequencies;             // --frequencies
};

bool ParseLanguage(const std::string& text, uint16_t& language) {
  if (text.empty() || text.size() > 5) return false;
  unsigned long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value > 65535) return false;
  language = static_cast<uint16_t>(value);
  return true;
}

// Returns EXIT_OK to go on, SHOWN_HELP, or the exit status to stop with.
int ParseArgs(const std::vector<std::string>& args, CompileArgs& parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::string value;
    bool hasValue = false;
    if (arg.rfind("--", 0) == 0) {
      if (const size_t equals = arg.find('='); equals != std::string::npos) {
        value = arg.substr(equals + 1);
        arg.resize(equals);
        hasValue = true;
      }
    }
    auto takeValue = [&](const char* name) {
      if (hasValue) return true;
      if (i + 1 >= args.size()) {
        ReportError("compile", std::string("option ") + name + " needs a value");
        return false;
      }
      value = args[++i];
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      std::fputs(HELP, stdout);
      return SHOWN_HELP;
    } else if (arg == "-o" || arg == "--output") {
      if (!takeValue("-o")) return EXIT_USAGE;
      parsed.output = value;
    } else if (arg == "--language") {
      if (!takeValue("--language")) return EXIT_USAGE;
      if (!ParseLanguage(value, parsed.options.language)) {
        ReportError("compile", "--language needs a number 0..65535, not '" + value + "'");
        return EXIT_USAGE;
      }
    } else if (arg == "--encoding") {
      if (!takeValue("--encoding")) return EXIT_USAGE;
      if (value == "utf-8" || value == "UTF-8" || value == "utf8") {
        parsed.options.encoding = InputEncoding::Utf8;
      } else if (value == "latin-1" || value == "latin1" || value == "iso-8859-1") {
        parsed.options.encoding = InputEncoding::Latin1;
      } else {
        ReportError("compile", "--encoding is utf-8 or latin-1, not '" + value + "'");
        return EXIT_USAGE;
      }
    } else if (arg == "--common") {
      if (!takeValue("--common")) return EXIT_USAGE;
      parsed.tierLists.push_back(value);
    } else if (arg == "--frequencies") {
      if (!takeValue("--frequencies")) return EXIT_USAGE;
      parsed.frequencies = value;
    } else if (arg == "--volumes" && !hasValue) {
      parsed.options.volumes = true;
    } else if (arg == "--text-words" && !hasValue) {
      parsed.options.forms = EntryForms::TextWords;
    } else if (arg == "--no-verify" && !hasValue) {
      parsed.options.verify = false;
    } else if (arg.size() > 1 && arg[0] == '-') {
      ReportError("compile", "unknown option '" + args[i] + "' (try 'orthspell compile --help')");
      return EXIT_USAGE;
    } else if (parsed.list.empty()) {
      parsed.list = arg;
    } else {
      ReportError("compile", "more than one word list: '" + parsed.list + "' and '" + arg + "'");
      return EXIT_USAGE;
    }
  }
  if (parsed.list.empty()) {
    ReportError("compile", "no word list given (try 'orthspell compile --help')");
    return EXIT_USAGE;
  }
  if (parsed.output.empty()) {
    ReportError("compile", "no output file given: -o OUT.olx");
    return EXIT_USAGE;
  }
  if (!parsed.frequencies.empty() && !parsed.tierLists.empty()) {
    ReportError("compile", "--frequencies and --common both grade commonness: give one");
    return EXIT_USAGE;
  }
  return EXIT_OK;
}

}  // namespace

int RunCompile(const std::vector<std::string>& args) {
  CompileArgs parsed;
  if (const int status = ParseArgs(args, parsed); status != EXIT_OK) {
    return status == SHOWN_HELP ? EXIT_OK : status;
  }
  CompileSummary summary;
  std::string error;
  if (!CompileWordListFile(parsed.list, parsed.output, parsed.options, summary, error)) {
    ReportError("compile", error);
    return EXIT_FAILED;
  }
  std::fputs(FormatCompileSummary(summary, parsed.output).c_str(), stdout);
  if (parsed.tierLists.empty() && parsed.frequencies.empty()) return EXIT_OK;

  std::vector<std::vector<std::string>> tiers;
  if (!parsed.frequencies.empty() &&
      !ReadFrequencyTiers(parsed.frequencies, parsed.options.encoding, tiers, error)) {
    ReportError("compile", error);
    return EXIT_FAILED;
  }
  for (const std::string& path : parsed.tierLists) {
    CompileSummary ignored;
    tiers.emplace_back();
    if (!ReadWordListFile(path, parsed.options.encoding, tiers.back(), ignored, error)) {
      ReportError("compile", error);
      return EXIT_FAILED;
    }
  }
  for (uint32_t v = 0; v < summary.volumes; ++v) {
    const std::string volume = VolumeFileName(parsed.output, v);
    CommonnessSummary commonness;
    if (!WriteLexCommonness(volume, tiers, commonness, error)) {
      ReportError("compile", error);
      return EXIT_FAILED;
    }
    std::fputs(FormatCommonnessSummary(commonness, CommonnessFileName(volume)).c_str(), stdout);
  }
  return EXIT_OK;
}

}  // namespace orth::cli
