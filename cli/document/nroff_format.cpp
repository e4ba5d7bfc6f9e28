// Man pages and other nroff input (man and mdoc macros, tbl tables): text
// lines and the text arguments of the macros that carry text are checked;
// requests, the other macros' arguments, macro definitions, examples (.EX,
// pod2man's .Vb), equations and table layouts are skipped; escapes are read
// (roff_escapes.h); comments go to the directive reader.
//
// A line is read whole when it comes whole, and its state (a definition, an
// example, a table, a line continued by a backslash) carries to the next
// line, so that a page fed one line at a time reads as the whole file does.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/document_format.h"
#include "document/line_cut.h"
#include "document/roff_escapes.h"

namespace orth::cli {

namespace {

// How a macro's arguments are read.
enum class Args : uint8_t {
  SKIP,       // names, numbers, options, code
  WORDS,      // text, the arguments joined by spaces (.B, .SH)
  ALTERNATE,  // text, joined without spaces: ".BR ls (1)" renders "ls(1)"
  FIRST,      // the first argument is text, the others are not (.IP "tag" 4)
};

// What the lines after a macro are.
enum class Block : uint8_t {
  NONE,
  DEFINITION,  // .de: a macro body up to ".." (or the end name given)
  IGNORED,     // .ig: input skipped up to "..", a block comment
  EXAMPLE,     // .EX to .EE and the like: code or equations
  DISPLAY,     // mdoc's .Bd: an example when "-literal", else text
  TABLE,       // .TS to .TE
};

struct MacroRule {
  std::string_view name;
  Args args = Args::SKIP;
  bool flows = false;     // part of the running text (font macros): no break around it
  bool mdoc = false;      // mdoc: callable macros among the arguments change how the next read
  bool callable = false;  // mdoc: recognized among another macro's arguments
  Block block = Block::NONE;
  std::string_view end;  // the macro that ends an EXAMPLE or DISPLAY block
};

// Macros not listed here skip their arguments and end the running text
// (paragraph macros, requests, and macros a page defines itself).
constexpr MacroRule Man(std::string_view name, Args args, bool flows) {
  return {name, args, flows, false, false, Block::NONE, {}};
}
constexpr MacroRule Mdoc(std::string_view name, Args args, bool flows, bool callable) {
  return {name, args, flows, true, callable, Block::NONE, {}};
}
constexpr MacroRule Opens(std::string_view name, Block block, std::string_view end) {
  return {name, Args::SKIP, false, false, false, block, end};
}
constexpr MacroRule MdocOpens(std::string_view name, Block block, std::string_view end) {
  return {name, Args::SKIP, false, true, false, block, end};
}

constexpr MacroRule kRules[] = {
    // man(7)
    Man("SH", Args::WORDS, false),
    Man("SS", Args::WORDS, false),
    Man("B", Args::WORDS, true),
    Man("I", Args::WORDS, true),
    Man("SM", Args::WORDS, true),
    Man("SB", Args::WORDS, true),
    Man("BR", Args::ALTERNATE, true),
    Man("BI", Args::ALTERNATE, true),
    Man("IR", Args::ALTERNATE, true),
    Man("IB", Args::ALTERNATE, true),
    Man("RB", Args::ALTERNATE, true),
    Man("RI", Args::ALTERNATE, true),
    Man("IP", Args::FIRST, false),
    Opens("EX", Block::EXAMPLE, "EE"),
    Opens("Vb", Block::EXAMPLE, "Ve"),  // pod2man's verbatim
    Opens("EQ", Block::EXAMPLE, "EN"),
    Opens("TS", Block::TABLE, ""),
    // requests that open blocks
    Opens("de", Block::DEFINITION, ""),
    Opens("de1", Block::DEFINITION, ""),
    Opens("dei", Block::DEFINITION, ""),
    Opens("dei1", Block::DEFINITION, ""),
    Opens("am", Block::DEFINITION, ""),
    Opens("am1", Block::DEFINITION, ""),
    Opens("ami", Block::DEFINITION, ""),
    Opens("ami1", Block::DEFINITION, ""),
    Opens("ig", Block::IGNORED, ""),
    // mdoc(7): text
    Mdoc("Nd", Args::WORDS, false, false),
    Mdoc("Sh", Args::WORDS, false, false),
    Mdoc("Ss", Args::WORDS, false, false),
    Mdoc("It", Args::WORDS, false, false),
    Mdoc("D1", Args::WORDS, false, false),
    Mdoc("%T", Args::WORDS, false, false),
    Mdoc("%B", Args::WORDS, false, false),
    Mdoc("%J", Args::WORDS, false, false),
    MdocOpens("Bd", Block::DISPLAY, "Ed"),
};

// mdoc's callable macros, which may also stand among another one's
// arguments: those whose arguments are text (emphasis, quotes, brackets)...
constexpr std::string_view kMdocText =
    " Em Sy No Op Dq Qq Sq Pq Bq Brq Aq Do Dc Qo Qc So Sc Po Pc Bo Bc Oo Oc ";
// ...and those whose arguments are names, options, paths, code, references.
constexpr std::string_view kMdocNames =
    " Fl Ar Cm Pa Ev Va Fn Fa Ft Fo Fc Xr Nm Ic Li Ql Dv Er Ad Cd In Mt Lk Sx An Tn St Vt Ms"
    " Ns Pf Ta Ap Ux Bx Ox Nx Fx Dx Bsx At ";

constexpr MacroRule kMdocTextRule = Mdoc({}, Args::WORDS, true, true);
constexpr MacroRule kMdocNameRule = Mdoc({}, Args::SKIP, true, true);
constexpr MacroRule kUnlisted = Man({}, Args::SKIP, false);

bool InList(std::string_view list, std::string_view name) {
  if (name.empty() || name.find(' ') != std::string_view::npos) return false;
  for (size_t at = list.find(name); at != std::string_view::npos; at = list.find(name, at + 1)) {
    if (list[at - 1] == ' ' && list[at + name.size()] == ' ') return true;
  }
  return false;
}

const MacroRule& RuleFor(std::string_view name) {
  for (const MacroRule& rule : kRules) {
    if (rule.name == name) return rule;
  }
  if (InList(kMdocText, name)) return kMdocTextRule;
  if (InList(kMdocNames, name)) return kMdocNameRule;
  return kUnlisted;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

bool IsControl(std::string_view line) {
  return !line.empty() && (line[0] == '.' || line[0] == '\'');
}

// Where the name of a control line starts (after the control character
// and any spaces), and its length.
size_t NameStart(std::string_view line) {
  size_t i = 1;
  while (i < line.size() && IsSpace(line[i])) ++i;
  return i;
}
std::string_view NameAt(std::string_view line, size_t start) {
  size_t stop = start;
  while (stop < line.size() && !IsSpace(line[stop])) ++stop;
  return line.substr(start, stop - start);
}

bool IsCommentLine(std::string_view line) {
  if (!IsControl(line)) return false;
  const std::string_view rest = line.substr(NameStart(line));
  return rest.substr(0, 2) == "\\\"" || rest.substr(0, 2) == "\\#";
}

// Whether the line ends in an escaped line end (an odd run of backslashes).
bool EndsContinued(std::string_view line) {
  size_t slashes = 0;
  while (slashes < line.size() && line[line.size() - 1 - slashes] == '\\') ++slashes;
  return slashes % 2 == 1;
}

// The arguments of a control line, each as its [begin, end) in the line
// (inside the quotes of a quoted one).
struct Arguments {
  std::vector<std::pair<size_t, size_t>> ranges;
  size_t comment = std::string_view::npos;  // where a \" comment starts
  bool continues = false;                   // the line ends in an escaped line end
};

// Whether the escape at `line[at]` ends the arguments: a comment or a
// continued line.
bool EndsArguments(std::string_view line, size_t at, Arguments& out) {
  const RoffEscape escape = ReadRoffEscape(line, at);
  if (escape.kind == RoffEscape::Kind::COMMENT ||
      (escape.kind == RoffEscape::Kind::CONTINUE && escape.length > 1)) {
    out.comment = at;
  }
  if (escape.kind == RoffEscape::Kind::CONTINUE) out.continues = true;
  return escape.kind == RoffEscape::Kind::COMMENT || escape.kind == RoffEscape::Kind::CONTINUE;
}

Arguments SplitArguments(std::string_view line, size_t from) {
  Arguments out;
  size_t i = from;
  while (i < line.size()) {
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i >= line.size()) break;
    if (line[i] == '\\' && EndsArguments(line, i, out)) break;
    const bool quoted = line[i] == '"';
    const size_t begin = quoted ? i + 1 : i;
    size_t j = begin;
    bool ended = false;  // a comment or a continued line stopped the argument
    while (j < line.size()) {
      if (line[j] == '\\') {
        if (EndsArguments(line, j, out)) {
          ended = true;
          break;
        }
        j += ReadRoffEscape(line, j).length;
      } else if (quoted && line[j] == '"') {
        if (j + 1 < line.size() && line[j + 1] == '"') {
          j += 2;  // "" is a quote inside a quoted argument
        } else {
          break;
        }
      } else if (!quoted && IsSpace(line[j])) {
        break;
      } else {
        ++j;
      }
    }
    j = std::min(j, line.size());
    if (j > begin) out.ranges.emplace_back(begin, j);
    if (ended) break;
    i = quoted ? j + 1 : j;
  }
  return out;
}

// The characters of a tbl layout line ("lb l.", "c s s", "lfCW | n").
bool IsLayoutLine(std::string_view line) {
  for (const char c : line) {
    const bool upper = c >= 'A' && c <= 'Z';
    if (!upper && std::string_view("abcdefilmnprstuvwxz0123456789^_=|.,()-+ \t").find(c) ==
                      std::string_view::npos)
      return false;
  }
  return true;
}

std::string_view TrimRight(std::string_view line) {
  while (!line.empty() && IsSpace(line.back())) line.remove_suffix(1);
  return line;
}

class NroffParser final : public DocumentParser {
 public:
  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    const size_t length = ForEachPieceLine(input, base, end, [&](const PieceLine& line) {
      if (atLineStart_) {
        Line(line.text, line.offset, line.lineEnd, sink);
      } else {
        RestOfLine(line.text, line.offset, sink);
      }
      atLineStart_ = line.complete;
      return true;
    });
    if (end == InputEnd::LAST) sink.Break(base + length);
    return length;
  }

 private:
  // How the rest of a line that comes in pieces (longer than the window)
  // is read.
  enum class Rest : uint8_t { TEXT, SKIP, COMMENT };
  // How the next line is read when this one ends in an escaped line end.
  enum class Continued : uint8_t { NO, TEXT, SKIP };
  enum class TableStage : uint8_t { OPTIONS, LAYOUT, DATA };

  void RestOfLine(std::string_view piece, size_t base, SpanSink& sink) {
    switch (rest_) {
      case Rest::TEXT:
        EmitRoffText(piece, 0, piece.size(), base, sink);
        break;
      case Rest::COMMENT:
        if (!piece.empty()) sink.Comment(piece, base);
        break;
      case Rest::SKIP:
        break;
    }
  }

  void Line(std::string_view line, size_t base, std::string_view lineEnd, SpanSink& sink) {
    const Continued continued = continued_;
    continued_ = Continued::NO;
    rest_ = Rest::SKIP;
    if (continued == Continued::SKIP) {
      if (EndsContinued(line)) continued_ = Continued::SKIP;
      return;
    }
    if (continued == Continued::TEXT) {
      TextLine(line, base, lineEnd, sink);
      return;
    }
    switch (block_) {
      case Block::NONE:
        break;
      case Block::DEFINITION:
      case Block::IGNORED:
      case Block::EXAMPLE:
      case Block::DISPLAY:
        BlockLine(line, base, sink);
        return;
      case Block::TABLE:
        TableLine(line, base, lineEnd, sink);
        return;
    }
    if (IsControl(line)) {
      ControlLine(line, base, lineEnd, sink, true);
    } else if (IsBlankLine(line)) {
      sink.Break(base);
    } else {
      TextLine(line, base, lineEnd, sink);
    }
  }

  void TextLine(std::string_view line, size_t base, std::string_view lineEnd, SpanSink& sink) {
    rest_ = Rest::TEXT;
    switch (EmitRoffText(line, 0, line.size(), base, sink)) {
      case RoffRunEnd::DONE:
        if (!lineEnd.empty()) sink.Text(lineEnd, base + line.size());
        break;
      case RoffRunEnd::COMMENT:
        sink.Break(base + line.size());
        break;
      case RoffRunEnd::JOIN:
        break;
      case RoffRunEnd::CONTINUE:
        continued_ = Continued::TEXT;
        break;
    }
  }

  // A request or macro line. `blocks` is false inside a table, where no
  // block opens.
  void ControlLine(std::string_view line, size_t base, std::string_view lineEnd, SpanSink& sink,
                   bool blocks) {
    if (IsCommentLine(line)) {
      rest_ = Rest::COMMENT;
      sink.Comment(line, base);
      if (line.substr(NameStart(line), 2) == "\\#") continued_ = Continued::SKIP;
      return;
    }
    const size_t nameStart = NameStart(line);
    const std::string_view name = NameAt(line, nameStart);
    if (name.empty()) return;
    const MacroRule& rule = RuleFor(name);
    const Arguments args = SplitArguments(line, nameStart + name.size());
    if (blocks && rule.block != Block::NONE) {
      OpenBlock(rule, line, args);
      sink.Break(base);
    } else if (rule.mdoc) {
      MdocLine(rule, line, base, args, sink);
    } else if (rule.args == Args::SKIP) {
      sink.Break(base);
    } else {
      if (!rule.flows) sink.Break(base);
      const size_t count = rule.args == Args::FIRST ? 1 : args.ranges.size();
      for (size_t i = 0; i < count && i < args.ranges.size(); ++i) {
        const auto [begin, stop] = args.ranges[i];
        if (i > 0 && rule.args == Args::ALTERNATE) {
          sink.Markup(base + begin);
        } else if (i > 0) {
          sink.Text(line.substr(args.ranges[i - 1].second, begin - args.ranges[i - 1].second),
                    base + args.ranges[i - 1].second);
        }
        EmitRoffText(line, begin, stop, base, sink);
      }
      if (!args.ranges.empty()) {
        const size_t after = args.ranges[count - 1].second;
        if (rule.flows && args.comment == std::string_view::npos && !args.continues) {
          sink.Text(lineEnd, base + line.size());
        } else {
          sink.Break(base + after);
        }
      }
    }
    if (args.comment != std::string_view::npos)
      sink.Comment(line.substr(args.comment), base + args.comment);
    if (args.continues) continued_ = Continued::SKIP;
  }

  // An mdoc line: the arguments are read as the line's macro says until a
  // callable macro among them says otherwise.
  void MdocLine(const MacroRule& rule, std::string_view line, size_t base, const Arguments& args,
                SpanSink& sink) {
    if (!rule.flows) sink.Break(base);
    bool checked = rule.args != Args::SKIP;
    bool spaced = false;  // a checked word came before on the line
    for (const auto& [begin, stop] : args.ranges) {
      const std::string_view word = line.substr(begin, stop - begin);
      const MacroRule& inner = RuleFor(word);
      if (inner.callable) {
        checked = inner.args != Args::SKIP;
        if (word == "Ns") spaced = false;
        continue;
      }
      if (!checked) {
        sink.Break(base + begin);
        spaced = false;
        continue;
      }
      if (spaced) sink.Decoded(" ", base + begin, base + begin);
      EmitRoffText(line, begin, stop, base, sink);
      spaced = true;
    }
    // Before a comment the arguments end at, which is handed on after.
    sink.Break(base + std::min(args.comment, line.size()));
  }

  void OpenBlock(const MacroRule& rule, std::string_view line, const Arguments& args) {
    blockEnd_ = rule.end;
    block_ = rule.block;
    if (rule.block == Block::DEFINITION || rule.block == Block::IGNORED) {
      // ".de name end": the body ends at ".end", else at "..".
      const size_t which = rule.block == Block::DEFINITION ? 1 : 0;
      blockEnd_ = ".";
      if (args.ranges.size() > which) {
        const auto [begin, stop] = args.ranges[which];
        blockEnd_.assign(line.substr(begin, stop - begin));
      }
    } else if (rule.block == Block::DISPLAY) {
      block_ = Block::NONE;
      for (const auto& [begin, stop] : args.ranges) {
        if (line.substr(begin, stop - begin) == "-literal") block_ = Block::DISPLAY;
      }
    } else if (rule.block == Block::TABLE) {
      tableStage_ = TableStage::OPTIONS;
      tableTab_ = '\t';
      inTextBlock_ = false;
    }
  }

  void BlockLine(std::string_view line, size_t base, SpanSink& sink) {
    const bool control = IsControl(line);
    if (control && NameAt(line, NameStart(line)) == blockEnd_) {
      block_ = Block::NONE;
      sink.Break(base);
      return;
    }
    if (block_ == Block::IGNORED || (block_ != Block::DEFINITION && IsCommentLine(line))) {
      rest_ = Rest::COMMENT;
      if (!line.empty()) sink.Comment(line, base);
    }
  }

  void TableLine(std::string_view line, size_t base, std::string_view lineEnd, SpanSink& sink) {
    if (inTextBlock_) {
      // T{ ... T}: a cell's text over several lines.
      if (line.substr(0, 2) != "T}") {
        if (IsControl(line)) {
          ControlLine(line, base, lineEnd, sink, false);
        } else {
          TextLine(line, base, lineEnd, sink);
        }
        return;
      }
      inTextBlock_ = false;
      sink.Break(base);
      Cells(line, 2, base, sink);
      return;
    }
    if (IsControl(line)) {
      const std::string_view name = NameAt(line, NameStart(line));
      if (name == "TE") {
        block_ = Block::NONE;
      } else if (name == "T&") {
        tableStage_ = TableStage::LAYOUT;
      } else {
        ControlLine(line, base, lineEnd, sink, false);
        return;
      }
      sink.Break(base);
      return;
    }
    const std::string_view trimmed = TrimRight(line);
    if (tableStage_ == TableStage::OPTIONS) {
      tableStage_ = TableStage::LAYOUT;
      if (!trimmed.empty() && trimmed.back() == ';') {
        const size_t tab = trimmed.find("tab(");
        if (tab != std::string_view::npos && tab + 4 < trimmed.size()) tableTab_ = trimmed[tab + 4];
        return;
      }
    }
    if (tableStage_ == TableStage::LAYOUT) {
      // A line that no layout holds ends a layout left open.
      if (IsLayoutLine(trimmed)) {
        if (!trimmed.empty() && trimmed.back() == '.') tableStage_ = TableStage::DATA;
        return;
      }
      tableStage_ = TableStage::DATA;
    }
    if (trimmed == "_" || trimmed == "=") return;
    sink.Break(base);
    Cells(line, 0, base, sink);
  }

  // The cells of a table row from `line[from]` on, each checked as text.
  void Cells(std::string_view line, size_t from, size_t base, SpanSink& sink) {
    size_t start = from;
    while (start <= line.size()) {
      size_t stop = line.find(tableTab_, start);
      if (stop == std::string_view::npos) stop = line.size();
      const std::string_view cell = TrimRight(line.substr(start, stop - start));
      if (cell == "T{" && stop == line.size()) {
        inTextBlock_ = true;
      } else if (cell != "_" && cell != "=" && cell != "\\_" && cell != "\\^" && cell != "^") {
        if (EmitRoffText(line, start, stop, base, sink) != RoffRunEnd::DONE) break;
      }
      sink.Break(base + stop);
      start = stop + 1;
    }
  }

  bool atLineStart_ = true;
  Rest rest_ = Rest::SKIP;
  Continued continued_ = Continued::NO;
  Block block_ = Block::NONE;
  std::string blockEnd_;  // the macro name that ends the block
  TableStage tableStage_ = TableStage::OPTIONS;
  char tableTab_ = '\t';
  bool inTextBlock_ = false;
};

bool Sniff(std::string_view head) {
  const std::string_view start = SkipLeadingSpace(head);
  return start.rfind(".\\\"", 0) == 0 || start.rfind("'\\\"", 0) == 0 ||
         start.rfind(".TH ", 0) == 0 || start.rfind(".Dd ", 0) == 0;
}

std::unique_ptr<DocumentParser> MakeNroffParser(const ParserContext&) {
  return std::make_unique<NroffParser>();
}

}  // namespace

const DocumentFormat& NroffFormat() {
  static const DocumentFormat format{"nroff",
                                     {"man", "groff", "troff", "roff"},
                                     {".1", ".2", ".3", ".4", ".5", ".6", ".7", ".8", ".9", ".man",
                                      ".mdoc", ".roff", ".tmac", ".ms", ".me", ".mm", ".n"},
                                     {},
                                     &Sniff,
                                     size_t{1} << 16,
                                     &MakeNroffParser,
                                     "man pages (nroff): text, not requests, macros or escapes"};
  return format;
}

}  // namespace orth::cli
