// The table of programming languages and how an input's language is chosen.
#include "document/code_languages.h"

#include <algorithm>
#include <cctype>

namespace orth::cli {

namespace {

constexpr uint8_t kMultiline = CodeQuote::MULTILINE;
constexpr uint8_t kCharacter = CodeQuote::CHARACTER;

CodeQuote Quote(std::string_view open, Escapes escapes = Escapes::BACKSLASH,
                Holes holes = Holes::NONE, uint8_t flags = 0, std::string_view close = {}) {
  return CodeQuote{open, close, escapes, holes, flags};
}

}  // namespace

const std::vector<CodeLanguage>& CodeLanguages() {
  static const std::vector<CodeLanguage> languages = {
      // C, C++, Objective-C, CUDA. "ccpp" is aspell's name for the mode.
      {{"c", "cpp", "c++", "ccpp", "objective-c", "objective-cpp", "cuda-cpp", "arduino"},
       {".c", ".h", ".cc", ".cpp", ".cxx", ".c++", ".hh", ".hpp", ".hxx", ".h++", ".ipp", ".inl",
        ".ino", ".cu", ".cuh"},
       {},
       {"//"},
       "/*",
       "*/",
       false,
       {Quote("\""), Quote("'", Escapes::BACKSLASH, Holes::NONE, kCharacter)},
       {"LuU8R", "R", "", Holes::NONE, RawForm::DELIMITED},
       PREPROCESSOR},
      {{"java"},
       {".java"},
       {},
       {"//"},
       "/*",
       "*/",
       false,
       {Quote("\"\"\"", Escapes::BACKSLASH, Holes::NONE, kMultiline), Quote("\""),
        Quote("'", Escapes::BACKSLASH, Holes::NONE, kCharacter)},
       {},
       0},
      {{"csharp", "c#"},
       {".cs", ".csx"},
       {},
       {"//"},
       "/*",
       "*/",
       false,
       {Quote("$@\"", Escapes::DOUBLED, Holes::BRACES, kMultiline),
        Quote("@$\"", Escapes::DOUBLED, Holes::BRACES, kMultiline),
        Quote("$\"\"\"", Escapes::NONE, Holes::BRACES, kMultiline),
        Quote("\"\"\"", Escapes::NONE, Holes::NONE, kMultiline),
        Quote("$\"", Escapes::BACKSLASH, Holes::BRACES),
        Quote("@\"", Escapes::DOUBLED, Holes::NONE, kMultiline), Quote("\""),
        Quote("'", Escapes::BACKSLASH, Holes::NONE, kCharacter)},
       {},
       0},
      // Kotlin and Scala: nested block comments, """raw""" strings, $templates.
      {{"kotlin", "scala"},
       {".kt", ".kts", ".scala"},
       {},
       {"//"},
       "/*",
       "*/",
       true,
       {Quote("\"\"\"", Escapes::NONE, Holes::DOLLAR, kMultiline),
        Quote("\"", Escapes::BACKSLASH, Holes::DOLLAR),
        Quote("'", Escapes::BACKSLASH, Holes::NONE, kCharacter)},
       {},
       0},
      {{"swift"},
       {".swift"},
       {"swift"},
       {"//"},
       "/*",
       "*/",
       true,
       {Quote("#\"\"\"", Escapes::NONE, Holes::NONE, kMultiline, "\"\"\"#"),
        Quote("#\"", Escapes::NONE, Holes::NONE, 0, "\"#"),
        Quote("\"\"\"", Escapes::BACKSLASH, Holes::BACKSLASH_PAREN, kMultiline),
        Quote("\"", Escapes::BACKSLASH, Holes::BACKSLASH_PAREN)},
       {},
       0},
      {{"python", "py"},
       {".py", ".pyi", ".pyw"},
       {"python", "pypy"},
       {"#"},
       "",
       "",
       false,
       {Quote("\"\"\"", Escapes::BACKSLASH, Holes::NONE, kMultiline),
        Quote("'''", Escapes::BACKSLASH, Holes::NONE, kMultiline), Quote("\""), Quote("'")},
       {"rRbBuUfFtT", "rR", "fFtT", Holes::BRACES, RawForm::PLAIN},
       DOCSTRINGS},
      {{"shellscript", "shell", "sh", "bash", "zsh", "ksh"},
       {".sh", ".bash", ".zsh", ".ksh", ".bats"},
       {"sh", "bash", "dash", "zsh", "ksh", "mksh", "ash"},
       {"#"},
       "",
       "",
       false,
       {Quote("$'", Escapes::BACKSLASH, Holes::NONE, kMultiline),
        Quote("'", Escapes::NONE, Holes::NONE, kMultiline),
        Quote("\"", Escapes::BACKSLASH, Holes::SHELL, kMultiline)},
       {},
       WORD_START_COMMENTS | SHELL_SYNTAX},
      // JavaScript and TypeScript, with JSX.
      {{"javascript", "js", "typescript", "ts", "javascriptreact", "typescriptreact", "jsx", "tsx"},
       {".js", ".mjs", ".cjs", ".jsx", ".ts", ".mts", ".cts", ".tsx"},
       {"node", "nodejs", "deno", "bun", "ts-node"},
       {"//"},
       "/*",
       "*/",
       false,
       {Quote("`", Escapes::BACKSLASH, Holes::DOLLAR_BRACE, kMultiline), Quote("\""), Quote("'")},
       {},
       REGEX_LITERALS},
      {{"rust", "rs"},
       {".rs"},
       {},
       {"//"},
       "/*",
       "*/",
       true,
       {Quote("\"", Escapes::BACKSLASH, Holes::NONE, kMultiline),
        Quote("'", Escapes::BACKSLASH, Holes::NONE, kCharacter)},
       {"bcr", "r", "", Holes::NONE, RawForm::HASHES},
       0},
      {{"go", "golang"},
       {".go"},
       {},
       {"//"},
       "/*",
       "*/",
       false,
       {Quote("`", Escapes::NONE, Holes::NONE, kMultiline), Quote("\""),
        Quote("'", Escapes::BACKSLASH, Holes::NONE, kCharacter)},
       {},
       STRUCT_TAGS},
      // The generic fallback: every input no row claims, and the languages
      // whose comments and strings it reads well enough (Ruby, Perl, PHP,
      // CMake, Makefiles, Dockerfiles, awk).
      {{"ruby", "perl", "php", "cmake", "make"},
       {".rb", ".rake", ".gemspec", ".pl", ".pm", ".php", ".cmake", ".mk", "Makefile",
        "GNUmakefile", "Dockerfile", "Rakefile", "Gemfile", "CMakeLists.txt"},
       {"perl", "ruby", "php", "make", "awk", "gawk"},
       {"#", "//"},
       "/*",
       "*/",
       false,
       {Quote("\"", Escapes::BACKSLASH, Holes::HASH_BRACE), Quote("'", Escapes::QUOTE)},
       {},
       WORD_START_COMMENTS},
  };
  return languages;
}

namespace {

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// Whether a file's base name is one of `names`: an ending (".py", any case,
// with something before it) or a whole name ("Makefile").
bool NameMatches(std::string_view base, const std::vector<std::string_view>& names) {
  for (const std::string_view name : names) {
    if (name[0] == '.'
            ? base.size() > name.size() && EqualNoCase(base.substr(base.size() - name.size()), name)
            : base == name) {
      return true;
    }
  }
  return false;
}

// The program a "#!" line runs: "#!/usr/bin/env -S python3 -u" gives python3.
std::string_view Interpreter(std::string_view head) {
  if (head.substr(0, 2) != "#!") return {};
  std::string_view line = head.substr(2, head.find('\n') - std::min(head.find('\n'), size_t{2}));
  auto nextWord = [&line] {
    const size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) return std::string_view{};
    line.remove_prefix(start);
    const std::string_view word = line.substr(0, line.find_first_of(" \t\r"));
    line.remove_prefix(word.size());
    return word.substr(word.find_last_of('/') + 1);
  };
  std::string_view program = nextWord();
  if (program == "env") {
    do program = nextWord();
    while (!program.empty() && program[0] == '-');
  }
  return program;
}

// Whether `program` is `interpreter`, maybe with a version after it (python3.12).
bool RunsInterpreter(std::string_view program, std::string_view interpreter) {
  return program.substr(0, interpreter.size()) == interpreter &&
         program.find_first_not_of("0123456789.", interpreter.size()) == std::string_view::npos;
}

}  // namespace

const CodeLanguage& ChooseCodeLanguage(const ParserContext& context) {
  const std::vector<CodeLanguage>& languages = CodeLanguages();
  for (const CodeLanguage& language : languages) {
    for (const std::string_view name : language.modeNames) {
      if (EqualNoCase(name, context.modeName)) return language;
    }
  }
  const std::string_view path = context.fileName;
  const std::string_view base = path.substr(path.find_last_of('/') + 1);
  if (!base.empty()) {
    for (const CodeLanguage& language : languages) {
      if (NameMatches(base, language.fileNames)) return language;
    }
  }
  if (const std::string_view program = Interpreter(context.head); !program.empty()) {
    for (const CodeLanguage& language : languages) {
      for (const std::string_view interpreter : language.interpreters) {
        if (RunsInterpreter(program, interpreter)) return language;
      }
    }
  }
  return languages.back();
}

}  // namespace orth::cli
