// The programming languages the code format reads: one row per language
// saying how its comments and string literals are written. The lexer in
// code_format.cpp reads every language from its row alone, so a new language
// is a new row in code_languages.cpp.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/document_format.h"

namespace orth::cli {

// What a backslash does inside a string.
enum class Escapes : uint8_t {
  NONE,       // nothing: it is text (shell '...', Go `...`, raw strings)
  BACKSLASH,  // C-style escapes (\n, \x41, \u{e9}, \101), decoded
  QUOTE,      // only \\ and a backslash before the quote are escapes; any
              // other backslash is text (Python r"...", PHP '...')
  DOUBLED,    // no backslash escapes; a doubled quote is one quote (C# @"...")
};

// Substitutions inside a string: code, skipped like code.
enum class Holes : uint8_t {
  NONE,
  DOLLAR_BRACE,     // ${expr} (JavaScript templates)
  DOLLAR,           // ${expr} and $name (Kotlin, Scala)
  SHELL,            // ${var}, $(cmd), $((expr)), `cmd`, $name, $1, $@
  BRACES,           // {expr}, with {{ and }} standing for braces (f-strings, C# $"...")
  BACKSLASH_PAREN,  // \(expr) (Swift)
  HASH_BRACE,       // #{expr} (Ruby)
};

// How a string with a raw prefix letter finds its end.
enum class RawForm : uint8_t {
  PLAIN,      // at the same quote; only QUOTE escapes (Python r"...")
  DELIMITED,  // R"tag(...)tag" (C++)
  HASHES,     // r#"..."# with any number of #s, or none (Rust)
};

// One way to open a string or character literal.
struct CodeQuote {
  enum Flags : uint8_t {
    MULTILINE = 1,  // runs over line ends; otherwise the line end closes it
    CHARACTER = 2,  // a character literal ('a', '\n'): skipped, never checked
  };
  std::string_view open;   // "\"", "'''", "@\"", "`"
  std::string_view close;  // empty: `open` without its leading @, $ or #
  Escapes escapes = Escapes::BACKSLASH;
  Holes holes = Holes::NONE;
  uint8_t flags = 0;
};

// Letters that may stand right before a quote and change the string
// (Python's rb"..." and f"...", C++'s u8R"(...)", Rust's br#"..."#).
struct CodePrefixes {
  std::string_view letters;      // what a prefix is made of (case matters)
  std::string_view rawLetters;   // a prefix holding one of these is raw
  std::string_view holeLetters;  // a prefix holding one of these adds `holes`
  Holes holes = Holes::NONE;
  RawForm raw = RawForm::PLAIN;
};

// Syntax that only some languages have.
enum CodeFeature : uint16_t {
  PREPROCESSOR = 1,         // #include, #import, #pragma, #line lines are skipped whole
  WORD_START_COMMENTS = 2,  // a line-comment marker counts only at the start of a
                            // word (shell: echo a#b, $#, ${#x} are not comments)
  SHELL_SYNTAX = 4,         // heredocs, (( arithmetic )), \c outside quotes
  REGEX_LITERALS = 8,       // /.../ after an operator or keyword is skipped (JavaScript)
  DOCSTRINGS = 16,          // a string statement is documentation: read as a comment
  STRUCT_TAGS = 32,         // `json:"name"` after a Go struct field is skipped
};

struct CodeLanguage {
  // The --mode names and editors' language ids that choose the language;
  // the first is its own name.
  std::vector<std::string_view> modeNames;
  std::vector<std::string_view> fileNames;     // endings with their dot, or whole names
  std::vector<std::string_view> interpreters;  // what a "#!" line names
  std::vector<std::string_view> lineComments;  // "//", "#"
  std::string_view blockOpen;                  // "/*", or empty
  std::string_view blockClose;                 // "*/"
  bool blocksNest = false;                     // /* /* */ */ is one comment
  std::vector<CodeQuote> quotes;               // tried in order: longer openings first
  CodePrefixes prefixes;
  uint16_t features = 0;  // CodeFeature bits
};

// Every language, the generic fallback last.
const std::vector<CodeLanguage>& CodeLanguages();

// The language of an input: the one --mode names, else the one its file
// name ends with, else the one its "#!" line names, else the generic
// fallback (#, // and /* */ comments; "..." and '...' strings).
const CodeLanguage& ChooseCodeLanguage(const ParserContext& context);

}  // namespace orth::cli
