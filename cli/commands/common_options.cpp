#include "commands/common_options.h"

#include <cstdio>

#include "commands/commands.h"
#include "orth.h"

namespace orth::cli {

void ReportError(const char* command, const std::string& message) {
  std::fprintf(stderr, "orthspell %s: %s\n", command, message.c_str());
}

namespace {

void Complain(const char* command, const std::string& message) {
  std::fprintf(stderr, "orthspell %s: %s\n", command, message.c_str());
}

}  // namespace

OptionArg SplitOptionArg(const std::string& arg) {
  OptionArg split;
  split.name = arg;
  if (arg.rfind("--", 0) == 0) {
    if (const size_t equals = arg.find('='); equals != std::string::npos) {
      split.value = arg.substr(equals + 1);
      split.name = arg.substr(0, equals);
      split.hasValue = true;
    }
  }
  return split;
}

bool TakeOptionValue(const char* command, const std::vector<std::string>& args, size_t& index,
                     const OptionArg& arg, std::string& value) {
  if (arg.hasValue) {
    value = arg.value;
    return true;
  }
  if (index + 1 >= args.size()) {
    Complain(command, "option " + arg.name + " needs a value");
    return false;
  }
  value = args[++index];
  return true;
}

OptionParse ParseCommonOption(const char* command, const std::vector<std::string>& args,
                              size_t& index, CommonOptions& options) {
  const std::string& whole = args[index];
  // Short options with the value attached: -dNAME, -pFILE.
  if (whole.size() > 2 && whole[0] == '-' && (whole[1] == 'd' || whole[1] == 'p')) {
    if (whole[1] == 'd') {
      options.dictionaries.push_back(whole.substr(2));
    } else {
      options.personalList = whole.substr(2);
    }
    return OptionParse::Taken;
  }
  const OptionArg arg = SplitOptionArg(whole);
  std::string value;
  auto takeNonEmpty = [&]() {
    if (!TakeOptionValue(command, args, index, arg, value)) return false;
    if (value.empty()) {
      Complain(command, "option " + arg.name + " needs a non-empty value");
      return false;
    }
    return true;
  };
  if (arg.name == "-d" || arg.name == "--dict") {
    if (!takeNonEmpty()) return OptionParse::Failed;
    options.dictionaries.push_back(value);
    return OptionParse::Taken;
  }
  if (arg.name == "-p" || arg.name == "--personal") {
    if (!takeNonEmpty()) return OptionParse::Failed;
    options.personalList = value;
    return OptionParse::Taken;
  }
  if (arg.name == "--replacements") {
    if (!takeNonEmpty()) return OptionParse::Failed;
    options.replacementList = value;
    return OptionParse::Taken;
  }
  bool* flag = nullptr;
  if (arg.name == "--ignore-caps") flag = &options.ignoreCaps;
  if (arg.name == "--ignore-mixed") flag = &options.ignoreMixed;
  if (arg.name == "--ignore-non-alpha") flag = &options.ignoreNonAlpha;
  if (arg.name == "--no-doubled") flag = &options.noDoubled;
  if (flag == nullptr) return OptionParse::NotCommon;
  if (arg.hasValue) {
    Complain(command, "option " + arg.name + " takes no value");
    return OptionParse::Failed;
  }
  *flag = true;
  return OptionParse::Taken;
}

uint32_t CheckOptionBits(const CommonOptions& options) {
  uint32_t bits = OPT_REPORT_MISSPELLED;
  if (!options.noDoubled) bits |= OPT_REPORT_DOUBLED_WORD;
  if (options.ignoreCaps) bits |= OPT_IGNORE_CAPITALIZED;
  if (options.ignoreMixed) bits |= OPT_IGNORE_MIXED_CASE;
  if (options.ignoreNonAlpha) bits |= OPT_IGNORE_NON_ALPHA;
  return bits;
}

const char* CommonOptionsHelp() {
  return "  -d DICT                 a dictionary: a .olx or text-lexicon path, or the name\n"
         "                          of a bundled dictionary (en_US, en_GB, es); repeatable,\n"
         "                          opened in the order given (default en_US)\n"
         "  -p FILE                 personal word list (an accept text lexicon), created\n"
         "                          when it does not exist yet\n"
         "  --replacements FILE     replacement list (a change text lexicon): its words are\n"
         "                          reported with their replacement\n"
         "  --ignore-caps           excuse words that start with a capital\n"
         "  --ignore-mixed          excuse mixed-case words (McDonald, iPhone)\n"
         "  --ignore-non-alpha      excuse words holding digits\n"
         "  --no-doubled            do not report doubled words\n";
}

std::string CommonOptionsHelpIndented(size_t extra) {
  const std::string pad(extra, ' ');
  std::string out;
  bool lineStart = true;
  for (const char* c = CommonOptionsHelp(); *c != '\0'; ++c) {
    if (lineStart) out += pad;
    out += *c;
    lineStart = *c == '\n';
  }
  return out;
}

bool ParseNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text.size() > 9) return false;
  long parsed = 0;
  size_t i = 0;
  const bool negative = text[0] == '-';
  if (negative) ++i;
  if (i >= text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    parsed = parsed * 10 + (text[i] - '0');
  }
  if (negative) parsed = -parsed;
  if (parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

}  // namespace orth::cli
