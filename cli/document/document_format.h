// Document formats: each turns an input into the spans of text to check
// (span_sink.h). One file per format (*_format.cpp) defines its parser and a
// factory; format_registry.cpp lists every format in one table, which drives
// --mode, the aliases other checkers and editors use, and detection by file
// name, "#!" line and first bytes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/span_sink.h"

namespace orth::cli {

// A TeX command given by the user: its name without the backslash and one
// letter per argument ("p" a required argument that is checked, "P" one that
// is skipped, "o" an optional argument that is checked, "O" one that is
// skipped). --tex-command NAME:ARGS, e.g. "gls:P" or "todo:op".
struct TexCommand {
  std::string name;
  std::string arguments;
};

// Options of the formats that have any.
struct FormatOptions {
  std::vector<TexCommand> texCommands;  // added to (or overriding) the built-in table
  bool texCheckComments = false;        // check TeX % comments
};

// What a parser may know of its input before reading it.
struct ParserContext {
  std::string fileName;   // empty for standard input
  std::string_view head;  // the first bytes of the input (at most 4 KiB), maybe empty
  std::string modeName;   // the name --mode gave (lower case), maybe an alias
                          // that says more than the format ("python" for code)
  const FormatOptions* options = nullptr;  // never null when a parser is made
};

// How much input follows the piece a parser is given.
enum class InputEnd {
  MORE,  // more input follows; the parser may consume nothing and wait
  FULL,  // more may follow, but the piece is as large as the reader lets it
         // grow: the parser must consume at least some of it
  LAST,  // nothing follows: the parser must consume all of it
};

class DocumentParser {
 public:
  virtual ~DocumentParser() = default;

  // Reads `input`, the bytes of the document from source offset `base` on,
  // and emits the spans of a prefix of it to `sink`. Returns the length of
  // that prefix: the caller drops those bytes and calls again with the rest
  // followed by more input. The prefix must end where no word and no
  // construct the parser tracks is cut in two, except under FULL with no
  // such place (a line of megabytes): then anywhere, at a UTF-8 character
  // boundary. A parser keeps whatever state it needs between calls (an
  // open comment, a math environment, the headers of a mail).
  virtual size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) = 0;
};

using ParserFactory = std::unique_ptr<DocumentParser> (*)(const ParserContext& context);

struct DocumentFormat {
  std::string_view name;  // what --mode takes
  // Other names --mode accepts (aspell's, editors' language ids).
  std::vector<std::string_view> aliases;
  // File name endings, with their dot (".md"), or whole names ("COMMIT_EDITMSG").
  std::vector<std::string_view> fileNames;
  // Interpreters a "#!" line names ("python3", "sh").
  std::vector<std::string_view> interpreters;
  // Whether the first bytes of an input look like this format.
  bool (*sniff)(std::string_view head) = nullptr;
  // The most input the parser asks to see at once: the reader's buffer grows
  // to this before it calls with InputEnd::FULL. Formats that parse whole
  // documents set it high; streaming ones keep it small.
  size_t window = size_t{1} << 20;
  ParserFactory make = nullptr;
  std::string_view summary;  // one line for --help
  // Whether its text is mostly about software (code, Markdown): the
  // technical word list is opened for it by default.
  bool technical = false;
};

// Every format, in the order detection tries them.
const std::vector<DocumentFormat>& DocumentFormats();

// The format --mode NAME names (by name or alias, any case), or null.
const DocumentFormat* FindFormat(std::string_view name);

// The format a file is written in: by its name, then its "#!" line, then its
// first bytes; the text format when nothing says otherwise. Callers treat
// standard input as text unless --mode says otherwise.
const DocumentFormat& DetectFormat(std::string_view fileName, std::string_view head);

// The text format: plain paragraphs.
const DocumentFormat& TextFormat();

// The plain-text parser, for formats that read some of their input as
// plain text.
std::unique_ptr<DocumentParser> MakePlainTextParser(const ParserContext& context);

// Whether the first bytes of an input look like HTML or XML (the html
// format's sniffer, shared with builds that lack its parser).
bool LooksLikeHtml(std::string_view head);

// Whether `text` starts with `prefix`, ignoring ASCII case (for sniffers).
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EqualNoCase(std::string_view a, std::string_view b);

// The last part of a path.
std::string_view BaseName(std::string_view path);

// Whether a file's base name is one of `names`: an ending (".py", any case,
// with something before it) or a whole name ("Makefile").
bool FileNameIsOneOf(std::string_view base, const std::vector<std::string_view>& names);

// The program a "#!" line runs: "#!/usr/bin/env -S python3 -u" gives python3.
std::string_view InterpreterOf(std::string_view head);

// Whether `program` is `interpreter`, maybe with a version after it
// (python3.12 is python3's).
bool RunsInterpreter(std::string_view program, std::string_view interpreter);

// `head` after a UTF-8 byte-order mark and leading white space.
std::string_view SkipLeadingSpace(std::string_view head);

}  // namespace orth::cli
