#include "check/non_words.h"

#include <algorithm>
#include <array>

#include "encoding/latin1_classes.h"

namespace orth::cli {

namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsWordChar(char c) {
  return (ClassOf(c) & (LATIN1_LETTER | LATIN1_DIGIT)) != 0 || c == '_';
}

// File name endings and top-level domains that mark "name.ending" as a file
// or host name rather than two words run together. Sorted, lower case.
constexpr std::array<std::string_view, 150> KNOWN_ENDINGS = {
    "1",     "2",    "3",    "4",    "5",     "6",     "7",     "8",   "9",    "a",      "ac",
    "am",    "asc",  "au",   "awk",  "bak",   "bash",  "bat",   "bib", "bin",  "bmp",    "bz2",
    "c",     "cc",   "cfg",  "cgi",  "cjs",   "class", "cmake", "cn",  "com",  "conf",   "cpp",
    "crt",   "cs",   "css",  "csv",  "cxx",   "d",     "dat",   "db",  "de",   "deb",    "diff",
    "dll",   "doc",  "docx", "dtd",  "dylib", "edu",   "el",    "eml", "eu",   "exe",    "fr",
    "gif",   "go",   "gov",  "gpg",  "gz",    "h",     "hh",    "hpp", "htm",  "html",   "hxx",
    "ico",   "img",  "in",   "info", "ini",   "io",    "iso",   "jar", "java", "jp",     "jpeg",
    "jpg",   "js",   "json", "jsx",  "key",   "kt",    "lock",  "log", "lua",  "m4",     "man",
    "md",    "mjs",  "mk",   "mp3",  "mp4",   "net",   "nl",    "o",   "odt",  "org",    "out",
    "patch", "pdf",  "pem",  "php",  "pl",    "pm",    "png",   "po",  "pot",  "ps",     "py",
    "pyc",   "rb",   "rpm",  "rs",   "rst",   "ru",    "sh",    "so",  "sql",  "sqlite", "svg",
    "swift", "tar",  "tex",  "tgz",  "tmp",   "toml",  "ts",    "tsv", "tsx",  "ttf",    "txt",
    "uk",    "us",   "vim",  "wav",  "webp",  "whl",   "xhtml", "xls", "xlsx", "xml",    "xsl",
    "xz",    "yaml", "yml",  "zip",  "zsh",   "zst",   "mbox"};

bool IsKnownEnding(std::string_view ending) {
  if (ending.empty() || ending.size() > 6) return false;
  std::string lower(ending);
  for (char& c : lower) c = AsciiLower(c);
  return std::find(KNOWN_ENDINGS.begin(), KNOWN_ENDINGS.end(), lower) != KNOWN_ENDINGS.end();
}

// The token without the punctuation that surrounds words in running text.
std::string_view Trim(std::string_view token) {
  const auto opening = [](char c) {
    return c == '(' || c == '[' || c == '{' || c == '<' || c == '"' || c == '\'' || c == '*' ||
           c == '`' || c == '_';
  };
  const auto closing = [](char c) {
    return c == ')' || c == ']' || c == '}' || c == '>' || c == '"' || c == '\'' || c == '.' ||
           c == ',' || c == ';' || c == ':' || c == '!' || c == '?' || c == '*' || c == '`' ||
           c == '_';
  };
  while (!token.empty() && opening(token.front())) token.remove_prefix(1);
  while (!token.empty() && closing(token.back())) token.remove_suffix(1);
  return token;
}

bool IsUrl(std::string_view t) {
  if (t.find("://") != std::string_view::npos) return true;
  for (const std::string_view prefix : {"www.", "mailto:", "file:", "urn:", "data:", "git@"}) {
    if (StartsWithNoCase(t, prefix) && t.size() > prefix.size()) return true;
  }
  return false;
}

bool IsEmail(std::string_view t) {
  const size_t at = t.find('@');
  if (at == 0 || at == std::string_view::npos) return false;
  const size_t dot = t.find('.', at);
  return dot != std::string_view::npos && dot > at + 1 && dot + 1 < t.size();
}

bool IsPath(std::string_view t) {
  if (t.size() < 2) return false;
  if (t[0] == '/' && IsWordChar(t[1])) return true;
  for (const std::string_view prefix : {"./", "../", "~/", "\\\\"}) {
    if (t.substr(0, prefix.size()) == prefix && t.size() > prefix.size()) return true;
  }
  if (t.size() >= 3 && IsAsciiAlnum(t[0]) && t[1] == ':' && (t[2] == '\\' || t[2] == '/')) {
    return true;  // C:\x, C:/x
  }
  size_t slashes = 0;
  for (size_t i = 1; i + 1 < t.size(); ++i) {
    if ((t[i] == '/' || t[i] == '\\') && IsWordChar(t[i - 1]) &&
        (IsWordChar(t[i + 1]) || t[i + 1] == '.')) {
      if (t[i] == '\\') return true;  // dir\file
      ++slashes;
    }
  }
  if (slashes >= 2) return true;
  // One slash: a path when it ends in a file name ("docs/README.md"), not
  // "and/or".
  if (slashes == 1) {
    const size_t dot = t.rfind('.');
    return dot != std::string_view::npos && dot > t.find('/') && IsKnownEnding(t.substr(dot + 1));
  }
  return false;
}

bool IsFileName(std::string_view t) {
  // .bashrc, .md
  if (t.size() >= 2 && t[0] == '.' && IsWordChar(t[1])) return true;
  size_t dots = 0;
  size_t lastDot = std::string_view::npos;
  for (size_t i = 1; i + 1 < t.size(); ++i) {
    if (t[i] == '.' && IsWordChar(t[i - 1]) && IsWordChar(t[i + 1])) {
      ++dots;
      lastDot = i;
    }
  }
  if (dots == 0) return false;
  // a.b.c: a host name, a module path, a version of a package.
  if (dots >= 2) return true;
  size_t end = lastDot + 1;
  while (end < t.size() && IsAsciiAlnum(t[end])) ++end;
  return IsKnownEnding(t.substr(lastDot + 1, end - lastDot - 1));
}

bool IsHexNumber(std::string_view t) {
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    return std::all_of(t.begin() + 2, t.end(), IsHex);
  }
  // A colour: #fff, #a0b1c2, #a0b1c2ff.
  if (t[0] == '#' && (t.size() == 4 || t.size() == 5 || t.size() == 7 || t.size() == 9)) {
    return std::all_of(t.begin() + 1, t.end(), IsHex);
  }
  return false;
}

bool IsHash(std::string_view t) {
  if (t.size() < 7 || t.size() > 64) return false;
  bool digit = false;
  bool letter = false;
  for (const char c : t) {
    if (!IsHex(c)) return false;
    (c >= '0' && c <= '9' ? digit : letter) = true;
  }
  return digit && letter;
}

bool IsUuid(std::string_view t) {
  if (t.size() != 36) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? t[i] != '-' : !IsHex(t[i])) return false;
  }
  return true;
}

bool IsBase64(std::string_view t) {
  if (t.size() < 20) return false;
  bool digit = false, upper = false, lower = false;
  for (const char c : t) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c >= 'A' && c <= 'Z') {
      upper = true;
    } else if (c >= 'a' && c <= 'z') {
      lower = true;
    } else if (c != '+' && c != '/' && c != '=' && c != '-' && c != '_') {
      return false;
    }
  }
  return digit && upper && lower;
}

bool IsOption(std::string_view t) {
  if (t.size() >= 2 && t[0] == '-' && IsAsciiAlnum(t[1])) return !(t[1] >= '0' && t[1] <= '9');
  return t.size() >= 3 && t[0] == '-' && t[1] == '-' && IsAsciiAlnum(t[2]);
}

bool IsVariable(std::string_view t) {
  if (t.size() >= 2 && t[0] == '$' &&
      (IsAsciiAlnum(t[1]) || t[1] == '_' || t[1] == '{' || t[1] == '(')) {
    return true;
  }
  if (t.size() >= 3 && t[0] == '%' && t.back() == '%') {
    return std::all_of(t.begin() + 1, t.end() - 1,
                       [](char c) { return IsAsciiAlnum(c) || c == '_'; });
  }
  return false;
}

}  // namespace

const std::vector<std::string_view>& NonWordKindNames() {
  static const std::vector<std::string_view> names = {"urls",    "emails",    "paths",  "files",
                                                      "hex",     "hashes",    "uuids",  "base64",
                                                      "options", "variables", "digits", "caps"};
  return names;
}

bool ParseNonWordKinds(std::string_view list, uint32_t& kinds, std::string& error) {
  kinds = 0;
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    if (name == "all") {
      kinds = NON_WORD_ALL;
      continue;
    }
    const auto& names = NonWordKindNames();
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) {
      error = "unknown kind '" + std::string(name) + "' (all";
      for (const std::string_view known : names) error += ", " + std::string(known);
      error += ")";
      return false;
    }
    kinds |= 1u << (found - names.begin());
  }
  return true;
}

NonWordKind ClassifyToken(std::string_view token, uint32_t enabled) {
  // Plain words with a little punctuation around them are by far the most
  // common tokens: let them through after one look at each byte.
  bool suspicious = false;
  bool digits = false;
  for (size_t i = 0; i < token.size(); ++i) {
    const char c = token[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '/' || c == '\\' || c == '@' || c == ':' || c == '$' || c == '%' || c == '#' ||
               c == '~' || c == '+' || c == '=' ||
               (c == '.' && i + 1 < token.size() && IsWordChar(token[i + 1])) ||
               (c == '-' && i == 0)) {
      suspicious = true;
    }
  }
  if (!suspicious && !digits) return NON_WORD_NONE;
  const std::string_view t = Trim(token);
  if (t.empty()) return NON_WORD_NONE;
  auto is = [enabled](NonWordKind kind, bool matches) { return (enabled & kind) != 0 && matches; };
  if (is(NON_WORD_URL, IsUrl(t))) return NON_WORD_URL;
  if (is(NON_WORD_EMAIL, IsEmail(t))) return NON_WORD_EMAIL;
  if (is(NON_WORD_UUID, IsUuid(t))) return NON_WORD_UUID;
  if (is(NON_WORD_HEX, IsHexNumber(t))) return NON_WORD_HEX;
  if (is(NON_WORD_HASH, IsHash(t))) return NON_WORD_HASH;
  if (is(NON_WORD_PATH, IsPath(t))) return NON_WORD_PATH;
  if (is(NON_WORD_BASE64, IsBase64(t))) return NON_WORD_BASE64;
  if (is(NON_WORD_FILE, IsFileName(t))) return NON_WORD_FILE;
  if (is(NON_WORD_OPTION, IsOption(t))) return NON_WORD_OPTION;
  if (is(NON_WORD_VARIABLE, IsVariable(t))) return NON_WORD_VARIABLE;
  return NON_WORD_NONE;
}

size_t FormatDirectiveLength(std::string_view text) {
  if (text.size() < 2) return 0;
  if (text[0] == '%') {
    if (text[1] == '%') return 2;
    size_t i = 1;
    if (text[i] == '(') {  // %(name)s
      const size_t close = text.find(')', i);
      if (close == std::string_view::npos || close > 64) return 0;
      i = close + 1;
    }
    while (i < text.size() && std::string_view("-+#0'").find(text[i]) != std::string_view::npos)
      ++i;
    while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '*')) ++i;
    if (i < text.size() && text[i] == '.') {
      ++i;
      while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '*')) ++i;
    }
    while (i < text.size() && std::string_view("hlLqjzt").find(text[i]) != std::string_view::npos)
      ++i;
    if (i < text.size() &&
        std::string_view("diouxXeEfFgGaAcspnrb").find(text[i]) != std::string_view::npos) {
      return i + 1;
    }
    return 0;
  }
  if (text[0] == '{') {
    if (text[1] == '{') return 2;
    // {0}, {name}, {0.attr}, {items[0]}, {:>10}, {0!r:^5}; not {a sentence}.
    size_t i = 1;
    while (i < text.size() && (IsAsciiAlnum(text[i]) || text[i] == '_' || text[i] == '.' ||
                               text[i] == '[' || text[i] == ']')) {
      ++i;
    }
    if (i < text.size() && text[i] == '!') i += 2;
    if (i < text.size() && text[i] == ':') {
      while (i < text.size() && text[i] != '}' && text[i] != ' ' && text[i] != '{') ++i;
    }
    return i < text.size() && text[i] == '}' ? i + 1 : 0;
  }
  if (text[0] == '}' && text[1] == '}') return 2;
  return 0;
}

}  // namespace orth::cli
