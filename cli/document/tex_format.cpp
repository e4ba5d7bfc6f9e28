// LaTeX: the text of a document and the text arguments of its commands; not
// command names, their other arguments, math, verbatim or % comments.
//
// TeX cannot be parsed without running its macros, so this is a tokenizer
// over a table of command signatures (tex_commands.cpp), reading whole lines
// and keeping its state between them: inside math, inside a verbatim
// environment, inside a skipped argument and its brace depth, the arguments
// of a command still to come. Every decision that looks ahead looks no
// further than the end of the line, so a document read line by line (the
// pipe) gives the same spans as the whole file.
//
// What keeps a broken document from vanishing: math, a skipped argument and
// an optional one end at a blank line (TeX's \par ends them too), an argument
// read verbatim (\verb, \url) ends at the end of its line, and a `$` followed
// by a digit that nothing on its line could close is a currency sign. An unclosed
// verbatim environment runs to the end, as in LaTeX.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/document_format.h"
#include "document/line_cut.h"
#include "document/tex_commands.h"
#include "document/tex_scan.h"

namespace orth::cli {

namespace {

constexpr size_t NONE = std::string_view::npos;
// Arguments nest deeper than this only in hostile input: further ones are
// read as plain groups, so that memory stays bounded.
constexpr size_t MAX_FRAMES = 256;
constexpr size_t MAX_USER_ARGUMENTS = 16;

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

size_t Utf8Length(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

enum class Mode : uint8_t { TEXT, MATH, VERBATIM };
// An argument being read without looking inside it.
enum class Skip : uint8_t {
  NONE,
  BRACES,      // {...}: braces nest, \x escapes, % comments
  BRACKETS,    // [...]
  VERBATIM,    // {...} or |...|, read as it stands, up to the end of the line
  PARAMETERS,  // #1#2 of \def, up to its body's brace
};

// A checked argument being read: its text is the document's, and the
// command's arguments after it resume when it closes.
struct Frame {
  bool optional = false;  // [...] rather than {...}
  TexEffect effect = TexEffect::BREAK;
  size_t groups = 0;      // plain {...} groups open inside it
  std::string_view rest;  // the command's arguments after this one
};

class TexParser final : public DocumentParser {
 public:
  explicit TexParser(const FormatOptions& options) : checkComments_(options.texCheckComments) {
    for (const TexCommand& command : options.texCommands) {
      std::string_view name = command.name;
      if (!name.empty() && name[0] == '\\') name.remove_prefix(1);
      if (name.empty()) continue;
      std::string arguments = command.arguments.substr(0, MAX_USER_ARGUMENTS);
      for (char& letter : arguments) {
        if (letter != 'p' && letter != 'P' && letter != 'o' && letter != 'O') letter = 'P';
      }
      const std::string_view key = userStrings_.emplace_back(name);
      userCommands_[key] = userStrings_.emplace_back(std::move(arguments));
    }
  }

  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    const size_t length = CompleteLinesLength(input, end);
    in_ = input.substr(0, length);
    base_ = base;
    sink_ = &sink;
    run_ = NONE;
    size_t position = base == 0 && in_.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (position < length) {
      size_t next = 0;
      const std::string_view line = LineAt(in_, position, next);
      const size_t lineEnd = position + line.size();
      const bool hasNewline = next > 0 && in_[next - 1] == '\n';
      const bool whole = atLineStart_ && (hasNewline || end == InputEnd::LAST);
      if (whole && mode_ != Mode::VERBATIM && !inComment_ && IsBlankLine(line)) {
        EndParagraph(position);
      } else {
        inBlankRun_ = false;
        ReadLine(position, lineEnd, next, hasNewline);
      }
      atLineStart_ = hasNewline;
      position = next;
    }
    if (end == InputEnd::LAST) {
      Flush(length);
      sink.Break(base + length);
    }
    return length;
  }

 private:
  // --- What goes to the sink. Offsets are in the piece; text waits in a run.

  void StartRun(size_t at) {
    if (run_ == NONE) run_ = at;
  }
  void Flush(size_t at) {
    if (run_ != NONE && at > run_) sink_->Text(in_.substr(run_, at - run_), base_ + run_);
    run_ = NONE;
  }
  void Break(size_t at) {
    Flush(at);
    sink_->Break(base_ + at);
  }
  void Markup(size_t at) {
    Flush(at);
    sink_->Markup(base_ + at);
  }
  void Decoded(std::string_view text, size_t begin, size_t end) {
    Flush(begin);
    sink_->Decoded(text, base_ + begin, base_ + end);
  }
  // Where an argument of a command opens or closes.
  void Boundary(TexEffect effect, size_t at) {
    if (effect == TexEffect::JOIN) {
      Markup(at);
    } else {
      Break(at);
    }
  }

  // --- Lines and paragraphs.

  void ReadLine(size_t position, size_t lineEnd, size_t next, bool hasNewline) {
    if (inComment_) {
      CommentText(position, lineEnd);
      position = lineEnd;
    }
    while (position < lineEnd) {
      if (mode_ == Mode::VERBATIM) {
        position = ReadVerbatim(position, lineEnd);
      } else if (skip_ != Skip::NONE) {
        position = ReadSkipped(position, lineEnd);
      } else if (mode_ == Mode::MATH) {
        position = ReadMath(position, lineEnd);
      } else if (!pending_.empty()) {
        position = ReadArguments(position, lineEnd);
      } else {
        position = ReadText(position, lineEnd);
      }
    }
    if (hasNewline) {
      inComment_ = false;
      if (skip_ == Skip::VERBATIM || skip_ == Skip::PARAMETERS) skip_ = Skip::NONE;
      // An optional argument opens on the line of its command.
      if (pendingAtOnce_) pending_ = {};
      while (!pending_.empty() && pending_[0] != 'p' && pending_[0] != 'P') {
        pending_.remove_prefix(1);
      }
    }
    if (mode_ == Mode::TEXT && skip_ == Skip::NONE && pending_.empty()) {
      StartRun(lineEnd);  // the line end is the space between two words
      Flush(next);
    } else {
      Flush(lineEnd);
    }
  }

  // A blank line: TeX's \par, which no math and no short argument survives.
  void EndParagraph(size_t at) {
    Flush(at);
    if (mode_ == Mode::MATH) mode_ = Mode::TEXT;
    skip_ = Skip::NONE;
    pending_ = {};
    pendingAtOnce_ = false;
    for (size_t i = 0; i < frames_.size(); ++i) {
      if (frames_[i].optional) {
        frames_.resize(i);
        break;
      }
    }
    if (!inBlankRun_) sink_->Break(base_ + at);
    inBlankRun_ = true;
  }

  // --- Text.

  static bool IsSpecial(char c) {
    switch (c) {
      case '\\':
      case '{':
      case '}':
      case ']':
      case '$':
      case '%':
      case '~':
      case '&':
        return true;
      default:
        return false;
    }
  }

  size_t ReadText(size_t position, size_t lineEnd) {
    while (position < lineEnd) {
      const char c = in_[position];
      if (!IsSpecial(c)) {
        StartRun(position);
        ++position;
        continue;
      }
      switch (c) {
        case '\\':
          position = ReadControl(position, lineEnd);
          break;
        case '{':
          if (!frames_.empty()) ++frames_.back().groups;
          Markup(position++);
          break;
        case '}':
          CloseGroup(position++);
          break;
        case ']':
          if (!frames_.empty() && frames_.back().optional && frames_.back().groups == 0) {
            CloseFrame(position++);
          } else {
            StartRun(position++);
          }
          break;
        case '$':
          position = ReadDollar(position, lineEnd);
          break;
        case '%':
          StartComment(position, lineEnd);
          position = lineEnd;
          break;
        case '~':  // a tie is a space that does not break
          Decoded(" ", position, position + 1);
          ++position;
          break;
        default:  // '&' parts the cells of a table
          Break(position++);
          break;
      }
      if (mode_ != Mode::TEXT || skip_ != Skip::NONE || !pending_.empty()) break;
    }
    return position;
  }

  void CloseGroup(size_t at) {
    if (!frames_.empty()) {
      Frame& top = frames_.back();
      if (top.groups > 0) {
        --top.groups;
      } else if (!top.optional) {
        CloseFrame(at);
        return;
      }
    }
    Markup(at);
  }

  void OpenFrame(size_t at, bool optional) {
    if (frames_.size() >= MAX_FRAMES) {
      if (!optional) ++frames_.back().groups;
      pending_ = {};
      Markup(at);
      return;
    }
    Boundary(pendingEffect_, at);
    frames_.push_back(Frame{optional, pendingEffect_, 0, pending_});
    pending_ = {};
  }

  void CloseFrame(size_t at) {
    const Frame top = frames_.back();
    frames_.pop_back();
    Boundary(top.effect, at);
    pending_ = top.rest;
    pendingEffect_ = top.effect;
    pendingAtOnce_ = false;
  }

  size_t ReadDollar(size_t at, size_t lineEnd) {
    if (at + 1 < lineEnd && in_[at + 1] == '$') {
      OpenMath(at, TexMathEnd::DOUBLE_DOLLAR);
      return at + 2;
    }
    if (IsTexCurrencySign(in_.substr(0, lineEnd), at)) {
      StartRun(at);
      return at + 1;
    }
    OpenMath(at, TexMathEnd::DOLLAR);
    return at + 1;
  }

  void OpenMath(size_t at, TexMathEnd end) {
    Break(at);
    mode_ = Mode::MATH;
    mathEnd_ = end;
  }

  // --- Comments.

  void StartComment(size_t at, size_t lineEnd) {
    Break(at);
    CommentText(at + 1, lineEnd);
  }

  // The text of a comment, from `begin` to the end of its line.
  void CommentText(size_t begin, size_t lineEnd) {
    Flush(begin);
    inComment_ = true;  // until the line end, which may lie in the next piece
    if (lineEnd <= begin) return;
    const std::string_view text = in_.substr(begin, lineEnd - begin);
    sink_->Comment(text, base_ + begin);
    if (checkComments_) {
      sink_->Text(text, base_ + begin, TextRole::COMMENT);
      sink_->Break(base_ + lineEnd);
    }
  }

  // --- Control sequences.

  size_t ReadControl(size_t at, size_t lineEnd) {
    const size_t after = at + 1;
    if (after >= lineEnd) {  // a backslash ending the line is a space
      Decoded(" ", at, after);
      return after;
    }
    const char c = in_[after];
    if (IsTexNameLetter(c)) {
      size_t end = after;
      while (end < lineEnd && IsTexNameLetter(in_[end])) ++end;
      return ReadWord(at, in_.substr(after, end - after), end, lineEnd);
    }
    if (static_cast<unsigned char>(c) >= 0x80) {  // keep a UTF-8 character whole
      Break(at);
      size_t end = after + 1;
      while (end < lineEnd && (static_cast<unsigned char>(in_[end]) & 0xC0) == 0x80 &&
             end < after + Utf8Length(static_cast<unsigned char>(c))) {
        ++end;
      }
      return end;
    }
    const std::string_view name = in_.substr(after, 1);
    const size_t end = after + 1;
    switch (c) {
      case '"':
      case '\'':
      case '`':
      case '^':
      case '~':
      case '=':
      case '.':
        return ReadAccent(at, name, end, lineEnd);
      case '(':
        OpenMath(at, TexMathEnd::PAREN);
        return end;
      case '[':
        OpenMath(at, TexMathEnd::BRACKET);
        return end;
      case '$':
      case '%':
      case '&':
      case '#':
      case '_':
      case '{':
      case '}':
        Decoded(name, at, end);
        return end;
      case ' ':
      case '\t':
      case ',':
      case ';':
      case ':':
      case '>':
        Decoded(" ", at, end);
        return end;
      case '-':  // a hyphenation point
      case '/':  // an italic correction
      case '!':
        Markup(at);
        return end;
      case '\\':
        return ReadCommand(at, name, end, lineEnd);
      default:
        Break(at);
        return end;
    }
  }

  size_t ReadWord(size_t at, std::string_view name, size_t end, size_t lineEnd) {
    if (userCommands_.find(name) == userCommands_.end()) {
      if (name == "begin") return ReadBegin(at, end, lineEnd);
      if (name == "end") return ReadEnd(at, end, lineEnd);
      if (const std::string_view letter = TexLetter(name); !letter.empty()) {
        // TeX drops the spaces after a control word, so "Stra\ss e" is one word.
        size_t stop = SkipTexSpaces(in_.substr(0, lineEnd), end);
        if (in_.substr(stop, 2) == "{}" && stop + 2 <= lineEnd) stop += 2;
        Decoded(letter, at, stop);
        return stop;
      }
      if (IsTexAccent(name)) return ReadAccent(at, name, end, lineEnd);
    }
    return ReadCommand(at, name, end, lineEnd);
  }

  size_t ReadCommand(size_t at, std::string_view name, size_t end, size_t lineEnd) {
    if (end < lineEnd && in_[end] == '*') ++end;
    TexSignature signature;
    if (Find(name, signature)) {
      if (signature.effect == TexEffect::SPACE) {
        Decoded(" ", at, end);
      } else {
        Boundary(signature.effect, at);
      }
      pending_ = signature.arguments;
      pendingEffect_ = signature.effect;
      pendingAtOnce_ = false;
      return end;
    }
    // A command the table does not know: its braces are read as text, and
    // an optional argument right after its name as options.
    Break(at);
    if (end < lineEnd && in_[end] == '[') {
      pending_ = "O";
      pendingEffect_ = TexEffect::BREAK;
      pendingAtOnce_ = true;
    }
    return end;
  }

  bool Find(std::string_view name, TexSignature& signature) const {
    const TexSignature* builtIn = FindTexCommand(name);
    if (const auto user = userCommands_.find(name); user != userCommands_.end()) {
      signature.arguments = user->second;
      signature.effect = builtIn != nullptr ? builtIn->effect : TexEffect::BREAK;
      return true;
    }
    if (builtIn == nullptr) return false;
    signature = *builtIn;
    return true;
  }

  // An accent and the letter it sits on, as one character.
  size_t ReadAccent(size_t at, std::string_view accent, size_t end, size_t lineEnd) {
    const TexAccentTarget target = ReadTexAccentTarget(in_.substr(0, lineEnd), end);
    if (target.kind != TexAccentTarget::LETTER) {
      Markup(at);
      return target.kind == TexAccentTarget::EMPTY ? target.end : end;
    }
    Decoded(ComposeTexAccent(accent, target.letter), at, target.end);
    return target.end;
  }

  // --- Environments.

  size_t ReadBegin(size_t at, size_t end, size_t lineEnd) {
    Break(at);
    std::string_view name;
    size_t after = 0;
    // Without a name on its line the brace after \begin is read as text,
    // rather than skipped up to the end of the paragraph.
    if (!ReadTexEnvironmentName(in_.substr(0, lineEnd), end, name, after)) return end;
    const TexEnvironment* environment = FindTexEnvironment(name);
    if (environment != nullptr && environment->kind != TexEnvironmentKind::TEXT) {
      mode_ = environment->kind == TexEnvironmentKind::MATH ? Mode::MATH : Mode::VERBATIM;
      mathEnd_ = TexMathEnd::ENVIRONMENT;
      environmentEnd_ = "\\end{";
      environmentEnd_.append(name);
      environmentEnd_ += '}';
      return after;
    }
    // An environment the table does not know may take options, right after
    // its name.
    pending_ = environment != nullptr ? environment->arguments : "O";
    pendingEffect_ = TexEffect::BREAK;
    pendingAtOnce_ = environment == nullptr;
    return after;
  }

  size_t ReadEnd(size_t at, size_t end, size_t lineEnd) {
    Break(at);
    std::string_view name;
    size_t after = 0;
    return ReadTexEnvironmentName(in_.substr(0, lineEnd), end, name, after) ? after : end;
  }

  size_t ReadVerbatim(size_t at, size_t lineEnd) {
    const size_t found = in_.substr(0, lineEnd).find(environmentEnd_, at);
    sink_->Code(in_.substr(at, std::min(found, lineEnd) - at), base_ + at);
    if (found == std::string_view::npos) return lineEnd;
    mode_ = Mode::TEXT;
    Break(found);
    return found + environmentEnd_.size();
  }

  // --- Math: skipped up to its end; comments in it are still comments.

  size_t ReadMath(size_t at, size_t lineEnd) {
    const TexStop stop = FindTexMathEnd(in_.substr(0, lineEnd), at, mathEnd_, environmentEnd_);
    if (stop.kind == TexStop::CLOSED) mode_ = Mode::TEXT;
    if (stop.kind != TexStop::COMMENT) return stop.at;
    StartComment(stop.at, lineEnd);
    return lineEnd;
  }

  // --- The arguments of a command.

  size_t ReadArguments(size_t at, size_t lineEnd) {
    while (!pending_.empty() && at < lineEnd) {
      const char kind = pending_[0];
      const char c = in_[at];
      if (pendingAtOnce_ && c != '[') {
        pending_ = {};
        return at;
      }
      if (kind == 'V') {  // \verb|x|, \url{x}: the delimiter comes after spaces
        if (IsSpace(c)) {
          ++at;
          continue;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {  // no byte of it may end the argument
          pending_ = {};
          return at;
        }
        pending_.remove_prefix(1);
        skip_ = Skip::VERBATIM;
        delimiter_ = c == '{' ? '}' : c;
        depth_ = 1;
        return at + 1;
      }
      if (IsSpace(c) || c == '\r') {
        ++at;
        continue;
      }
      if (c == '%') {  // TeX looks for an argument past a comment
        StartComment(at, lineEnd);
        return lineEnd;
      }
      if (kind == 'D') {
        pending_.remove_prefix(1);
        skip_ = Skip::PARAMETERS;
        return at;
      }
      if (kind == 'o' || kind == 'O') {
        pending_.remove_prefix(1);
        if (c != '[') continue;
        if (kind == 'O') {
          skip_ = Skip::BRACKETS;
          depth_ = 0;
        } else {
          OpenFrame(at, true);
        }
        return at + 1;
      }
      if (c == '{') {
        pending_.remove_prefix(1);
        if (kind == 'p') {
          OpenFrame(at, false);
        } else {
          skip_ = Skip::BRACES;
          depth_ = 1;
        }
        return at + 1;
      }
      // An argument without braces. Checked, it is text like any other; a
      // skipped one is a control sequence or a word (\input chapter1).
      if (kind == 'p' || c == '}' || c == ']' || c == '[' || c == '$' || c == '&') {
        pending_ = {};
        return at;
      }
      pending_.remove_prefix(1);
      at = SkipTexToken(in_.substr(0, lineEnd), at);
    }
    return at;
  }

  size_t ReadSkipped(size_t at, size_t lineEnd) {
    const std::string_view line = in_.substr(0, lineEnd);
    if (skip_ == Skip::PARAMETERS) {
      const size_t brace = line.find('{', at);
      if (brace == std::string_view::npos) return lineEnd;
      skip_ = Skip::NONE;
      return brace;
    }
    if (skip_ == Skip::VERBATIM) {
      if (delimiter_ != '}') {
        const size_t found = line.find(delimiter_, at);
        sink_->Code(line.substr(at, std::min(found, lineEnd) - at), base_ + at);
        if (found == std::string_view::npos) return lineEnd;
        skip_ = Skip::NONE;
        return found + 1;
      }
      for (size_t i = at; i < lineEnd; ++i) {
        if (in_[i] == '{') {
          ++depth_;
        } else if (in_[i] == '}' && --depth_ == 0) {
          skip_ = Skip::NONE;
          return i + 1;
        }
      }
      return lineEnd;
    }
    const TexStop stop = FindTexSkippedEnd(line, at, skip_ == Skip::BRACKETS, depth_);
    if (stop.at > at) sink_->Code(in_.substr(at, stop.at - at), base_ + at);
    if (stop.kind == TexStop::CLOSED) skip_ = Skip::NONE;
    if (stop.kind != TexStop::COMMENT) return stop.at;
    StartComment(stop.at, lineEnd);
    return lineEnd;
  }

  // Settings.
  const bool checkComments_;
  std::deque<std::string> userStrings_;  // what userCommands_ points into
  std::unordered_map<std::string_view, std::string_view> userCommands_;

  // State carried from line to line and piece to piece.
  Mode mode_ = Mode::TEXT;
  TexMathEnd mathEnd_ = TexMathEnd::DOLLAR;
  std::string environmentEnd_;  // "\end{name}" of the math or verbatim environment
  Skip skip_ = Skip::NONE;
  size_t depth_ = 0;          // braces open in a skipped argument
  char delimiter_ = 0;        // what ends a verbatim argument
  std::string_view pending_;  // the arguments still to read, one letter each
  TexEffect pendingEffect_ = TexEffect::BREAK;
  bool pendingAtOnce_ = false;  // the optional argument must follow right away
  std::vector<Frame> frames_;
  bool inComment_ = false;
  bool atLineStart_ = true;
  bool inBlankRun_ = false;

  // The piece being read.
  std::string_view in_;
  size_t base_ = 0;
  SpanSink* sink_ = nullptr;
  size_t run_ = NONE;  // where the text not yet handed on starts
};

std::unique_ptr<DocumentParser> MakeTexParser(const ParserContext& context) {
  return std::make_unique<TexParser>(*context.options);
}

bool Sniff(std::string_view head) {
  const std::string_view start = SkipLeadingSpace(head);
  return start.rfind("\\documentclass", 0) == 0 || start.rfind("\\input", 0) == 0;
}

}  // namespace

const DocumentFormat& TexFormat() {
  static const DocumentFormat format{
      "tex",
      {"latex", "context"},
      {".tex", ".ltx", ".sty", ".cls"},
      {},
      &Sniff,
      size_t{1} << 16,
      &MakeTexParser,
      "LaTeX: text and text arguments, not commands, math, verbatim or comments"};
  return format;
}

}  // namespace orth::cli
