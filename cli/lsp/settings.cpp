#include "lsp/settings.h"

#include <cctype>
#include <cstdlib>

#include "check/non_words.h"
#include "orth.h"

namespace orth::cli::lsp {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool ReadStrings(const Json& value, std::vector<std::string>& out) {
  std::vector<std::string> strings;
  if (value.is_string()) {
    strings.push_back(value.get<std::string>());
  } else if (value.is_array()) {
    for (const Json& item : value) {
      if (!item.is_string()) return false;
      strings.push_back(item.get<std::string>());
    }
  } else {
    return false;
  }
  out = std::move(strings);
  return true;
}

bool ReadSeverity(const Json& value, int& severity) {
  if (value.is_number_integer()) {
    const auto number = value.get<int64_t>();
    if (number < 1 || number > 4) return false;
    severity = static_cast<int>(number);
    return true;
  }
  if (!value.is_string()) return false;
  const std::string name = Lower(value.get<std::string>());
  static const char* const NAMES[] = {"error", "warning", "information", "hint"};
  for (int i = 0; i < 4; ++i) {
    if (name == NAMES[i] || (i == 2 && name == "info")) {
      severity = i + 1;
      return true;
    }
  }
  return false;
}

}  // namespace

Settings::Settings() {
  common.personalList = DefaultPersonalList();
}

std::string ExpandHome(const std::string& path) {
  if (path.rfind("~/", 0) != 0) return path;
  const char* home = std::getenv("HOME");
  return home == nullptr || *home == '\0' ? path : std::string(home) + path.substr(1);
}

std::string DefaultPersonalList() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/orthspell/personal.lex";
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return {};
  return std::string(home) + "/.local/share/orthspell/personal.lex";
}

void ReadSettings(const Json& object, Settings& settings, std::vector<std::string>& problems) {
  if (object.is_null()) return;
  if (!object.is_object()) {
    problems.push_back("the settings must be an object");
    return;
  }
  for (const auto& [key, value] : object.items()) {
    const auto wrong = [&problems, &key = key](const char* what) {
      problems.push_back("setting '" + key + "' needs " + what);
    };
    if (key == "dictionaries") {
      std::vector<std::string> names;
      if (!ReadStrings(value, names)) {
        wrong("a list of dictionary names or paths");
        continue;
      }
      for (std::string& name : names) name = ExpandHome(name);
      settings.common.dictionaries = std::move(names);
    } else if (key == "personalList" || key == "replacementList") {
      if (!value.is_string()) {
        wrong("a file path");
        continue;
      }
      (key == "personalList" ? settings.common.personalList : settings.common.replacementList) =
          ExpandHome(value.get<std::string>());
    } else if (key == "modes") {
      if (!value.is_object()) {
        wrong("an object of language ids and modes");
        continue;
      }
      for (const auto& [id, mode] : value.items()) {
        const std::string name = mode.is_string() ? Lower(mode.get<std::string>()) : std::string();
        if (name != MODE_OFF && FindFormat(name) == nullptr) {
          problems.push_back("setting 'modes': unknown mode for '" + id + "'");
          continue;
        }
        settings.modes[Lower(id)] = name;
      }
    } else if (key == "ignoreCaps" || key == "ignoreMixed" || key == "ignoreNonAlpha" ||
               key == "doubledWords" || key == "caseRules") {
      if (!value.is_boolean()) {
        wrong("true or false");
        continue;
      }
      const bool on = value.get<bool>();
      if (key == "ignoreCaps") settings.common.ignoreCaps = on;
      if (key == "ignoreMixed") settings.common.ignoreMixed = on;
      if (key == "ignoreNonAlpha") settings.common.ignoreNonAlpha = on;
      if (key == "doubledWords") settings.common.noDoubled = !on;
      if (key == "caseRules") settings.common.ignoreCaseRules = !on;
    } else if (key == "techWords") {
      // true: in every mode; false: never; unset: code and Markdown.
      if (!value.is_boolean()) {
        wrong("true or false");
        continue;
      }
      settings.common.techWords = value.get<bool>() ? TechWords::ALWAYS : TechWords::NEVER;
    } else if (key == "rareWords") {
      if (!value.is_boolean()) {
        wrong("true or false");
        continue;
      }
      settings.common.rareWords = value.get<bool>();
    } else if (key == "noSkip") {
      std::vector<std::string> names;
      uint32_t kinds = 0;
      bool valid = ReadStrings(value, names);
      for (size_t i = 0; valid && i < names.size(); ++i) {
        uint32_t named = 0;
        std::string error;
        valid = ParseNonWordKinds(names[i], named, error);
        kinds |= named;
      }
      if (!valid) {
        wrong(
            "a list of kinds (urls, emails, paths, files, hex, hashes, uuids, base64, "
            "options, variables, digits, caps, all)");
        continue;
      }
      settings.checkedKinds = kinds;
    } else if (key == "maxSuggestions") {
      if (!value.is_number_integer() || value.get<int64_t>() < 0 ||
          value.get<int64_t>() > MAX_SUGGESTIONS) {
        wrong("a number 0..100");
        continue;
      }
      settings.maxSuggestions = static_cast<int32_t>(value.get<int64_t>());
    } else if (key == "severity") {
      if (!ReadSeverity(value, settings.severity)) wrong("error, warning, information or hint");
    } else {
      problems.push_back("unknown setting '" + key + "'");
    }
  }
}

bool SameLexicons(const Settings& a, const Settings& b) {
  return a.common.dictionaries == b.common.dictionaries &&
         a.common.personalList == b.common.personalList &&
         a.common.replacementList == b.common.replacementList &&
         a.common.techWords == b.common.techWords && a.common.rareWords == b.common.rareWords;
}

CheckPolicy MakePolicy(const Settings& settings) {
  CheckPolicy policy;
  policy.engineOptions =
      CheckOptionBits(settings.common) & ~static_cast<uint32_t>(OPT_REPORT_DOUBLED_WORD);
  policy.reportDoubled = !settings.common.noDoubled;
  policy.skipKinds = NON_WORD_ALL & ~settings.checkedKinds;
  return policy;
}

bool SamePolicy(const Settings& a, const Settings& b) {
  const CheckPolicy x = MakePolicy(a);
  const CheckPolicy y = MakePolicy(b);
  return x.engineOptions == y.engineOptions && x.reportDoubled == y.reportDoubled &&
         x.skipKinds == y.skipKinds;
}

ParserChoice ChooseParser(const Settings& settings, std::string_view languageId,
                          const std::string& path, std::string_view head) {
  ParserChoice choice;
  choice.fileName = path;
  const std::string id = Lower(languageId);
  const auto chosen = settings.modes.find(id);
  const std::string mode = chosen != settings.modes.end() ? chosen->second : id;
  if (mode == MODE_OFF) return choice;
  if (const DocumentFormat* format = FindFormat(mode); format != nullptr && !mode.empty()) {
    choice.format = format;
    choice.modeName = mode;
    return choice;
  }
  choice.format = &DetectFormat(path, head);
  return choice;
}

bool SameParser(const ParserChoice& a, const ParserChoice& b) {
  return a.format == b.format && a.modeName == b.modeName && a.fileName == b.fileName;
}

std::string FilePathOfUri(std::string_view uri) {
  if (uri.rfind("file://", 0) != 0) return {};
  std::string_view rest = uri.substr(7);
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return {};
  rest.remove_prefix(slash);  // a host ("file://localhost/x") is dropped
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    const auto hex = [](char c) {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (rest[i] == '%' && i + 2 < rest.size() && hex(rest[i + 1]) >= 0 && hex(rest[i + 2]) >= 0) {
      path += static_cast<char>(hex(rest[i + 1]) * 16 + hex(rest[i + 2]));
      i += 2;
    } else if (rest[i] == '?' || rest[i] == '#') {
      break;
    } else {
      path += rest[i];
    }
  }
  return path;
}

}  // namespace orth::cli::lsp
