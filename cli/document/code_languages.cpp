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
      if (FileNameIsOneOf(base, language.fileNames)) return language;
    }
  }
  if (const std::string_view program = InterpreterOf(context.head); !program.empty()) {
    for (const CodeLanguage& language : languages) {
      for (const std::string_view interpreter : language.interpreters) {
        if (RunsInterpreter(program, interpreter)) return language;
      }
    }
  }
  return languages.back();
}

}  // namespace orth::cli
