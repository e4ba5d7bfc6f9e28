// code_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  static_cast<void>(head);
  return false;
}

}  // namespace

const DocumentFormat& CodeFormat() {
  static const DocumentFormat format{
      "code",
      {"ccpp",
       "c",
       "cpp",
       "c++",
       "python",
       "py",
       "shell",
       "sh",
       "bash",
       "shellscript",
       "javascript",
       "js",
       "typescript",
       "ts",
       "javascriptreact",
       "typescriptreact",
       "rust",
       "rs",
       "go",
       "golang"},
      {".c",   ".h",     ".cc",    ".cpp", ".cxx", ".c++",  ".hh",  ".hpp",   ".hxx",  ".h++",
       ".ino", ".py",    ".pyi",   ".pyw", ".sh",  ".bash", ".zsh", ".ksh",   ".js",   ".mjs",
       ".cjs", ".jsx",   ".ts",    ".mts", ".cts", ".tsx",  ".rs",  ".go",    ".java", ".kt",
       ".cs",  ".swift", ".scala", ".rb",  ".pl",  ".pm",   ".php", ".cmake", ".mk"},
      {"python", "sh", "bash", "dash", "zsh", "ksh", "node", "nodejs", "deno", "perl", "ruby"},
      &Sniff,
      size_t{1} << 20,
      &MakePlainTextParser,
      "source code: comments and strings, identifiers split"};
  return format;
}

}  // namespace orth::cli
