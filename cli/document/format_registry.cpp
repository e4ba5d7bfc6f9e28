// The table of document formats: one entry per format, each defined in its
// own *_format.cpp. Detection tries them in this order.
#include <algorithm>
#include <cctype>

#include "document/document_format.h"

namespace orth::cli {

const DocumentFormat& MarkdownFormat();
const DocumentFormat& HtmlFormat();
const DocumentFormat& TexFormat();
const DocumentFormat& NroffFormat();
const DocumentFormat& EmailFormat();
const DocumentFormat& GitCommitFormat();
const DocumentFormat& CodeFormat();

const std::vector<DocumentFormat>& DocumentFormats() {
  static const std::vector<DocumentFormat> formats = {
      TextFormat(),  MarkdownFormat(), HtmlFormat(),      TexFormat(),
      NroffFormat(), EmailFormat(),    GitCommitFormat(), CodeFormat(),
  };
  return formats;
}

namespace {

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool IsEnding(std::string_view name) {
  return name[0] == '.';
}

bool NameIs(std::string_view base, std::string_view name) {
  if (!IsEnding(name)) return base == name;
  return base.size() > name.size() && EqualNoCase(base.substr(base.size() - name.size()), name);
}

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view BaseName(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool FileNameIsOneOf(std::string_view base, const std::vector<std::string_view>& names) {
  return std::any_of(names.begin(), names.end(),
                     [base](std::string_view name) { return NameIs(base, name); });
}

std::string_view InterpreterOf(std::string_view head) {
  if (head.substr(0, 2) != "#!") return {};
  std::string_view line = head.substr(2, head.substr(2).find('\n'));
  auto nextWord = [&line]() {
    const size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) return std::string_view{};
    line.remove_prefix(start);
    const std::string_view word = line.substr(0, line.find_first_of(" \t\r"));
    line.remove_prefix(word.size());
    return BaseName(word);
  };
  std::string_view program = nextWord();
  if (program == "env") {
    do program = nextWord();
    while (!program.empty() && program[0] == '-');  // env -S, env -i
  }
  return program;
}

bool RunsInterpreter(std::string_view program, std::string_view interpreter) {
  return program.substr(0, interpreter.size()) == interpreter &&
         program.find_first_not_of("0123456789.", interpreter.size()) == std::string_view::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view SkipLeadingSpace(std::string_view head) {
  if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
  const size_t start = head.find_first_not_of(" \t\r\n");
  return start == std::string_view::npos ? std::string_view{} : head.substr(start);
}

bool LooksLikeHtml(std::string_view head) {
  const std::string_view start = SkipLeadingSpace(head);
  return StartsWithNoCase(start, "<!doctype html") || StartsWithNoCase(start, "<html") ||
         StartsWithNoCase(start, "<?xml");
}

const DocumentFormat* FindFormat(std::string_view name) {
  for (const DocumentFormat& format : DocumentFormats()) {
    if (EqualNoCase(format.name, name)) return &format;
    for (const std::string_view alias : format.aliases) {
      if (EqualNoCase(alias, name)) return &format;
    }
  }
  return nullptr;
}

const DocumentFormat& DetectFormat(std::string_view fileName, std::string_view head) {
  const std::string_view base = BaseName(fileName);
  if (!base.empty()) {
    // Whole names first ("CMakeLists.txt" before ".txt"), then endings.
    for (const bool whole : {true, false}) {
      for (const DocumentFormat& format : DocumentFormats()) {
        for (const std::string_view name : format.fileNames) {
          if (IsEnding(name) != whole && NameIs(base, name)) return format;
        }
      }
    }
  }
  if (const std::string_view program = InterpreterOf(head); !program.empty()) {
    for (const DocumentFormat& format : DocumentFormats()) {
      for (const std::string_view interpreter : format.interpreters) {
        if (RunsInterpreter(program, interpreter)) return format;
      }
    }
  }
  for (const DocumentFormat& format : DocumentFormats()) {
    if (format.sniff != nullptr && format.sniff(head)) return format;
  }
  return TextFormat();
}

}  // namespace orth::cli
