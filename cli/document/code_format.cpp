// Source code: the comments and string literals of a program are checked;
// identifiers, keywords, numbers and the rest of the code are not. One lexer
// reads every language from its row in code_languages.cpp.
//
// The lexer reads whole lines and keeps what is open at a line end (a block
// comment, a string that runs over lines, a heredoc, a substitution inside a
// template) on a stack of frames for the next call, so that a file fed line
// by line gives what the whole file gives. A line longer than the window is
// read in pieces; a look-ahead that runs into the end of such a piece (a
// regular expression, a character literal) stops the call there, so that the
// next call sees the construct whole.
//
// Each comment and each string is one span, ended by a Break. Line comments
// on consecutive lines, each the first thing on its line, form one span, so
// that a sentence (and a doubled word) runs on across them.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "document/code_languages.h"
#include "document/code_scan.h"
#include "document/document_format.h"
#include "document/line_cut.h"

namespace orth::cli {

namespace {

constexpr size_t kNone = kScanNone;
constexpr size_t kStop = kScanMore;  // a look-ahead needs the rest of a cut line
constexpr size_t kMaxFrames = 64;    // deeper nesting is read as code or text
constexpr size_t kMaxHashes = 255;
constexpr size_t kMaxHeredocs = 8;  // announced on one line
constexpr size_t kCutMargin = 16;   // bytes left for the next call when a line is cut

enum class Kind : uint8_t { CODE, HOLE, LINE_COMMENT, BLOCK_COMMENT, STRING, HEREDOC, SKIP };

// Where a shell word may start: after white space or an operator.
bool IsWordStart(char previous) {
  return previous != '\0' && std::strchr(" \t\r\n\f\v;&|()<>", previous) != nullptr;
}

// What the lexer is inside of. The code of the file is always at the bottom
// of the stack; comments, strings and substitutions nest on it.
struct Frame {
  Kind kind = Kind::CODE;
  TextRole role = TextRole::STRING;
  Escapes escapes = Escapes::NONE;
  Holes holes = Holes::NONE;
  bool multiline = false;
  // HOLE: shell arithmetic, where << is a shift; HEREDOC: <<- strips leading
  // tabs; SKIP: a preprocessor directive, which a comment ends.
  bool flag = false;
  char open = 0;     // HOLE: the bracket that nests (0: none, as in `cmd`)
  char close = 0;    // HOLE: what ends it
  size_t depth = 0;  // CODE and HOLE: open brackets; BLOCK_COMMENT: nesting
  std::string end;   // STRING: its closing text; HEREDOC: its word; LINE_COMMENT: the marker
};

class CodeParser final : public DocumentParser {
 public:
  explicit CodeParser(const CodeLanguage& language) : lang_(language) { frames_.emplace_back(); }

  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    const size_t length = CompleteLinesLength(input, end);
    in_ = input.substr(0, length);
    base_ = base;
    sink_ = &sink;
    size_t pos = 0;
    if (fileStart_ && length > 0) {
      fileStart_ = false;
      pos = StartFile();
    }
    while (pos < length) {
      const void* found = std::memchr(in_.data() + pos, '\n', length - pos);
      const size_t newline = found != nullptr
                                 ? static_cast<size_t>(static_cast<const char*>(found) - in_.data())
                                 : length;
      const bool lineEnds = found != nullptr || end == InputEnd::LAST;
      size_t content = lineEnds ? newline : CutPoint(pos, length);
      if (lineEnds && content > pos && in_[content - 1] == '\r') --content;
      cut_ = !lineEnds;
      lineBegin_ = lineStart_ ? pos : kNone;
      const size_t reached = LexLine(pos, content);
      if (reached < content || !lineEnds) {
        lineStart_ = lineStart_ && reached == pos;
        return Taken(reached);
      }
      const size_t next = found != nullptr ? newline + 1 : length;
      EndLine(content, next);
      pos = next;
    }
    if (end == InputEnd::LAST) Finish(length);
    return Taken(pos);
  }

 private:
  // ---- The piece being read ----

  size_t Taken(size_t pos) {
    if (pos > 0) lastByte_ = in_[pos - 1];
    return pos;
  }
  void Text(size_t from, size_t to, TextRole role) {
    if (to > from) sink_->Text(in_.substr(from, to - from), base_ + from, role);
  }
  void Decoded(std::string_view text, size_t from, size_t to, TextRole role) {
    sink_->Decoded(text, base_ + from, base_ + to, role);
  }
  void Break(size_t at) { sink_->Break(base_ + at); }
  bool Match(size_t at, std::string_view text) const {
    return !text.empty() && text.size() <= limit_ - at && in_.compare(at, text.size(), text) == 0;
  }
  char PreviousByte(size_t at) const {
    if (base_ + at == codeStart_) return '\n';
    return at > 0 ? in_[at - 1] : lastByte_;
  }
  // Whether a look-ahead that ran into the end of a cut line may stop the
  // call, to see the construct whole in the next one.
  bool Stop() const { return cut_ && tokenStart_ > 0; }

  // Where to end a piece of a line too long for the window: after its last
  // space, or short of its end, so that no marker is cut in two.
  size_t CutPoint(size_t pos, size_t length) const {
    const char last = in_[length - 1];
    if (last == ' ' || last == '\t' || length - pos <= 2 * kCutMargin) return length;
    size_t cut = length - kCutMargin;
    while (cut > pos && (static_cast<unsigned char>(in_[cut]) & 0xC0) == 0x80) --cut;
    return cut > pos ? cut : length;
  }

  // A byte-order mark, then a "#!" line, which is skipped ("#![" is Rust).
  size_t StartFile() {
    size_t pos = in_.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    codeStart_ = base_ + pos;
    if (in_.substr(pos, 2) == "#!" && in_.substr(pos + 2, 1) != "[") {
      Frame skip;
      skip.kind = Kind::SKIP;
      frames_.push_back(skip);
    }
    return pos;
  }

  // ---- Lines ----

  // Reads [from, to) of one line; returns `to`, or where a look-ahead
  // stopped the call.
  size_t LexLine(size_t from, size_t to) {
    limit_ = to;
    size_t i = from;
    while (i < to) {
      tokenStart_ = i;
      size_t next = to;
      switch (frames_.back().kind) {
        case Kind::CODE:
        case Kind::HOLE:
          next = LexCode(i);
          break;
        case Kind::LINE_COMMENT:
          Text(i, to, TextRole::COMMENT);
          break;
        case Kind::SKIP:
          next = LexSkip(i);
          break;
        case Kind::BLOCK_COMMENT:
          next = LexBlockComment(i);
          break;
        case Kind::STRING:
        case Kind::HEREDOC:
          next = LexString(i);
          break;
      }
      if (next == kStop) return i;
      i = std::min(next, to);
    }
    return to;
  }

  // The line end at `content` (the next line starts at `next`) closes line
  // comments, directives and the strings that stay on one line.
  void EndLine(size_t content, size_t next) {
    EndCommentRun(content);
    for (;;) {
      Frame& top = frames_.back();
      const size_t size = frames_.size();
      if (top.kind == Kind::LINE_COMMENT) {
        Text(content, next, TextRole::COMMENT);
        std::string marker = std::move(top.end);
        frames_.pop_back();
        if (size == 2) {
          commentRun_ = std::move(marker);
        } else {
          Break(next);
        }
      } else if (top.kind == Kind::SKIP) {
        frames_.pop_back();
      } else if (top.kind == Kind::STRING && !top.multiline && !spliced_) {
        Break(next);
        frames_.pop_back();
      } else if (top.kind == Kind::HOLE && size >= 2 && frames_[size - 2].kind == Kind::STRING &&
                 !frames_[size - 2].multiline) {
        frames_.pop_back();
      } else {
        if ((top.kind == Kind::STRING || top.kind == Kind::BLOCK_COMMENT ||
             top.kind == Kind::HEREDOC) &&
            !spliced_) {
          Text(content, next, top.role);
        }
        break;
      }
    }
    spliced_ = false;
    regexMissed_ = false;
    continued_ = continues_;
    continues_ = false;
    tokenOnLine_ = false;
    lineStart_ = true;
    if (!heredocs_.empty()) {
      const Kind top = frames_.back().kind;
      if (top == Kind::CODE || top == Kind::HOLE) {
        EndCommentRun(next);
        for (auto it = heredocs_.rbegin(); it != heredocs_.rend(); ++it) {
          if (frames_.size() < kMaxFrames) frames_.push_back(std::move(*it));
        }
      }
      heredocs_.clear();
    }
  }

  // The end of the input closes whatever is open.
  void Finish(size_t length) {
    EndCommentRun(length);
    bool open = false;
    while (frames_.size() > 1) {
      open = open || frames_.back().kind != Kind::HOLE;
      frames_.pop_back();
    }
    if (open) Break(length);
    frames_[0] = Frame{};
    heredocs_.clear();
    tokenOnLine_ = continued_ = continues_ = spliced_ = valueLast_ = regexMissed_ = false;
    lineStart_ = true;
  }

  // A run of line comments ends: anything but the next line comment.
  void EndCommentRun(size_t at) {
    if (!commentRun_.empty()) {
      Break(at);
      commentRun_.clear();
    }
  }

  // ---- Code ----

  // Look-aheads are told whether to ask for more of a cut line: only when
  // the call may stop (Stop()), and their kScanMore is then kStop.
  std::string_view Visible() const { return in_.substr(0, limit_); }

  size_t LexCode(size_t i) {
    const char c = in_[i];
    if (IsCodeSpace(c)) return i + 1;
    Frame& frame = frames_.back();
    if (frame.kind == Kind::HOLE && c == frame.close && (frame.open == 0 || frame.depth <= 1)) {
      frames_.pop_back();
      return i + 1;
    }
    const uint16_t features = lang_.features;
    if ((features & PREPROCESSOR) != 0 && c == '#' && frames_.size() == 1 && !tokenOnLine_) {
      const size_t end = DirectiveEnd(Visible(), i, Stop());
      if (end != kNone) {
        if (end == kStop) return kStop;
        Frame skip;
        skip.kind = Kind::SKIP;
        skip.flag = true;
        frames_.push_back(skip);
        tokenOnLine_ = true;
        return end;
      }
    }
    if (Match(i, lang_.blockOpen)) {
      if (frames_.size() < kMaxFrames) {
        EndCommentRun(i);
        Frame comment;
        comment.kind = Kind::BLOCK_COMMENT;
        comment.role = TextRole::COMMENT;
        comment.depth = 1;
        frames_.push_back(comment);
      }
      tokenOnLine_ = true;
      return i + lang_.blockOpen.size();
    }
    for (const std::string_view marker : lang_.lineComments) {
      if (Match(i, marker) &&
          ((features & WORD_START_COMMENTS) == 0 || IsWordStart(PreviousByte(i)))) {
        return OpenLineComment(i, marker);
      }
    }
    const bool arithmetic = frame.kind == Kind::HOLE && frame.flag;
    if ((features & SHELL_SYNTAX) != 0 && !arithmetic) {
      if (Match(i, "<<")) {
        const size_t end = Heredoc(i);
        if (end != kNone) return end;
      }
      if (Match(i, "((")) {
        tokenOnLine_ = true;
        PushHole('(', ')', 2, true);
        return i + 2;
      }
    }
    for (const CodeQuote& quote : lang_.quotes) {
      if (Match(i, quote.open)) return OpenQuote(i, i, quote, {});
    }
    if (IsIdentifierByte(c) && !IsCodeDigit(c)) return Identifier(i);
    tokenOnLine_ = true;
    if (IsCodeDigit(c)) {
      size_t j = i + 1;
      while (j < limit_ && (IsIdentifierByte(in_[j]) || in_[j] == '.')) ++j;
      valueLast_ = true;
      return j;
    }
    if (c == '/' && (features & REGEX_LITERALS) != 0 && !valueLast_ && !regexMissed_) {
      const size_t end = RegexLiteralEnd(Visible(), i, Stop());
      if (end == kStop) return kStop;
      if (end != kNone) {
        valueLast_ = true;
        return end;
      }
      // A slash that opens no regular expression leaves the rest of its
      // line to plain code, so that a line is searched once, not per slash.
      regexMissed_ = true;
    }
    valueLast_ = c == ')' || c == ']' || c == '}';
    if (c == '\\') {
      // A backslash quotes the next character (shell) or joins lines.
      if (i + 1 >= limit_ && !cut_) continues_ = true;
      return i + 2;
    }
    if (frame.kind == Kind::HOLE) {
      if (c == frame.open) ++frame.depth;
      if (c == frame.close && frame.depth > 0) --frame.depth;
    } else if (frame.kind == Kind::CODE) {
      if (c == '(' || c == '[' || c == '{') ++frame.depth;
      if ((c == ')' || c == ']' || c == '}') && frame.depth > 0) --frame.depth;
    }
    return i + 1;
  }

  // The rest of a skipped line. A directive's operands ("file.h",
  // <file.h>) are skipped whole, and a comment after them is read.
  size_t LexSkip(size_t i) {
    if (!frames_.back().flag) return limit_;
    size_t j = i;
    while (j < limit_) {
      const char c = in_[j];
      if (c == '"' || c == '<') {
        if (j > i) return j;  // the operand starts a call of its own, which may stop
        const size_t close = in_.substr(0, limit_).find(c == '"' ? '"' : '>', j + 1);
        if (close == std::string_view::npos && Stop()) return kStop;
        // Unclosed: nothing later on the line closes it either.
        j = close != std::string_view::npos ? close + 1 : limit_;
      } else if (Match(j, "//") || Match(j, "/*")) {
        frames_.pop_back();
        return j;
      } else {
        ++j;
      }
    }
    return limit_;
  }

  size_t OpenLineComment(size_t i, std::string_view marker) {
    const bool continuesRun = commentRun_ == marker && frames_.size() == 1 && !tokenOnLine_;
    tokenOnLine_ = true;
    if (frames_.size() >= kMaxFrames) return limit_;
    if (!continuesRun) EndCommentRun(i);
    commentRun_.clear();
    Frame comment;
    comment.kind = Kind::LINE_COMMENT;
    comment.role = TextRole::COMMENT;
    comment.end = marker;
    frames_.push_back(std::move(comment));
    return i + marker.size();
  }

  // An identifier, or the prefix of a string (r"...", u8R"(...)", br#"..."#).
  size_t Identifier(size_t i) {
    size_t j = i;
    while (j < limit_ && IsIdentifierByte(in_[j])) ++j;
    const std::string_view word = in_.substr(i, j - i);
    const CodePrefixes& prefixes = lang_.prefixes;
    if (j < limit_ && !prefixes.letters.empty() && word.size() <= 3 &&
        word.find_first_not_of(prefixes.letters) == kNone) {
      const bool raw = word.find_first_of(prefixes.rawLetters) != kNone;
      if (raw && prefixes.raw == RawForm::HASHES) {
        size_t k = j;
        while (k < limit_ && in_[k] == '#' && k - j < kMaxHashes) ++k;
        if (k < limit_ && in_[k] == '"') {
          Frame text = StringFrame(Escapes::NONE, Holes::NONE, true);
          text.end = "\"" + std::string(k - j, '#');
          return PushString(i, std::move(text), k + 1);
        }
      } else {
        for (const CodeQuote& quote : lang_.quotes) {
          if (Match(j, quote.open)) return OpenQuote(i, j, quote, word);
        }
      }
    }
    tokenOnLine_ = true;
    valueLast_ = !IsRegexKeyword(word);
    sink_->Code(word, base_ + i);  // comments name what the code defines
    return j;
  }

  // A heredoc operator: its text starts on the next line.
  size_t Heredoc(size_t i) {
    const HeredocOperator heredoc = ReadHeredocOperator(Visible(), i, Stop());
    const size_t end = heredoc.end;
    if (end == kNone || end == kStop) return end;
    tokenOnLine_ = true;
    if (!heredoc.word.empty() && heredocs_.size() < kMaxHeredocs) {
      Frame text = StringFrame(heredoc.raw ? Escapes::NONE : Escapes::BACKSLASH,
                               heredoc.raw ? Holes::NONE : Holes::SHELL, true);
      text.kind = Kind::HEREDOC;
      text.flag = heredoc.stripTabs;
      text.end = heredoc.word;
      heredocs_.push_back(std::move(text));
    }
    return end;
  }

  // ---- Strings ----

  static Frame StringFrame(Escapes escapes, Holes holes, bool multiline) {
    Frame text;
    text.kind = Kind::STRING;
    text.escapes = escapes;
    text.holes = holes;
    text.multiline = multiline;
    return text;
  }

  // A quote at `at`, after the prefix letters `prefix` that start at `start`.
  size_t OpenQuote(size_t start, size_t at, const CodeQuote& quote, std::string_view prefix) {
    const size_t contentStart = at + quote.open.size();
    if ((quote.flags & CodeQuote::CHARACTER) != 0) {
      const size_t end = CharacterLiteralEnd(Visible(), at, Stop());
      if (end == kStop) return kStop;
      tokenOnLine_ = true;
      valueLast_ = true;
      // A quote that closes no character is a Rust lifetime or label, or a
      // C++ digit separator: code.
      return end != kNone ? end : at + 1;
    }
    Frame text = StringFrame(quote.escapes, quote.holes, (quote.flags & CodeQuote::MULTILINE) != 0);
    text.end = quote.close;
    if (text.end.empty()) {
      const size_t quoteStart = quote.open.find_first_not_of("@$#");
      text.end = quote.open.substr(quoteStart == kNone ? 0 : quoteStart);
    }
    const CodePrefixes& prefixes = lang_.prefixes;
    size_t textStart = contentStart;
    if (prefix.find_first_of(prefixes.rawLetters) != kNone) {
      if (prefixes.raw == RawForm::PLAIN && text.escapes != Escapes::NONE) {
        text.escapes = Escapes::QUOTE;
      } else if (prefixes.raw == RawForm::DELIMITED) {
        const size_t open = RawDelimiterEnd(Visible(), contentStart, Stop());
        if (open == kStop) return kStop;
        if (open != kNone) {
          text.end = ")" + std::string(in_.substr(contentStart, open - contentStart)) + "\"";
          text.escapes = Escapes::NONE;
          text.multiline = true;
          textStart = open + 1;
        }
      }
    }
    if (prefix.find_first_of(prefixes.holeLetters) != kNone) text.holes = prefixes.holes;
    if ((lang_.features & STRUCT_TAGS) != 0 && quote.open == "`") {
      const size_t end = StructTagEnd(Visible(), contentStart);
      if (end != kNone) {
        tokenOnLine_ = true;
        valueLast_ = true;
        return end;
      }
    }
    // A string that stands alone as a statement documents the code.
    if ((lang_.features & DOCSTRINGS) != 0 && frames_.size() == 1 && frames_[0].depth == 0 &&
        !tokenOnLine_ && !continued_) {
      text.role = TextRole::COMMENT;
    }
    return PushString(start, std::move(text), textStart);
  }

  size_t PushString(size_t start, Frame text, size_t textStart) {
    tokenOnLine_ = true;
    if (frames_.size() >= kMaxFrames) return textStart;
    EndCommentRun(start);
    frames_.push_back(std::move(text));
    return textStart;
  }

  size_t LexString(size_t i) {
    Frame* text = &frames_.back();
    if (text->kind == Kind::HEREDOC && i == lineBegin_) {
      size_t j = i;
      if (text->flag) {
        while (j < limit_ && in_[j] == '\t') ++j;
      }
      if (in_.substr(j, limit_ - j) == text->end) {
        Break(i);
        frames_.pop_back();
        return limit_;
      }
    }
    const TextRole role = text->role;
    size_t j = i;
    while (j < limit_) {
      const char c = in_[j];
      if (!text->end.empty() && c == text->end[0] && Match(j, text->end)) {
        const size_t size = text->end.size();
        if (text->escapes == Escapes::DOUBLED && Match(j + size, text->end)) {
          Text(i, j, role);
          Decoded(text->end, j, j + 2 * size, role);
          j += 2 * size;
          i = j;
          continue;
        }
        Text(i, j, role);
        Break(j);
        frames_.pop_back();
        valueLast_ = true;
        return j + size;
      }
      if (c == '\\' && (text->escapes == Escapes::BACKSLASH || text->escapes == Escapes::QUOTE)) {
        // The escape starts a call of its own, which may stop.
        if (j > i) {
          Text(i, j, role);
          return j;
        }
        return Escape(j);
      }
      const HoleStart hole =
          text->holes != Holes::NONE ? FindHole(Visible(), j, text->holes) : HoleStart{};
      if (hole.action == HoleStart::NONE) {
        ++j;
        continue;
      }
      Text(i, j, role);
      if (hole.action == HoleStart::LITERAL) {
        Decoded(in_.substr(j, 1), j, j + hole.length, role);
      } else {
        Break(j);
        if (hole.action == HoleStart::PUSH && frames_.size() < kMaxFrames) {
          PushHole(hole.open, hole.close, hole.depth, hole.arithmetic);
          return j + hole.length;
        }
      }
      j += hole.length;
      i = j;
    }
    Text(i, limit_, role);
    return limit_;
  }

  void PushHole(char open, char close, size_t depth, bool arithmetic) {
    if (frames_.size() >= kMaxFrames) return;
    Frame hole;
    hole.kind = Kind::HOLE;
    hole.open = open;
    hole.close = close;
    hole.depth = depth;
    hole.flag = arithmetic;
    frames_.push_back(hole);
  }

  // A backslash at `j` in a string.
  size_t Escape(size_t j) {
    const Frame& text = frames_.back();
    const TextRole role = text.role;
    const EscapeRead escape = ReadEscape(Visible(), j, text.escapes, text.holes, text.end[0]);
    switch (escape.kind) {
      case EscapeRead::LINE_END:
        if (cut_ && Stop()) return kStop;
        // At a line end it joins the next line to the string.
        Break(j);
        if (!cut_) spliced_ = true;
        return j + 1;
      case EscapeRead::TEXT:
        Text(j, j + 1, role);
        return j + 1;
      case EscapeRead::HOLE:
        Break(j);
        PushHole('(', ')', 1, false);
        return j + escape.length;
      case EscapeRead::DECODED:
        Decoded(escape.decoded, j, j + escape.length, role);
        return j + escape.length;
      case EscapeRead::BREAK:
        break;
    }
    Break(j);
    return j + escape.length;
  }

  size_t LexBlockComment(size_t i) {
    Frame& comment = frames_.back();
    const std::string_view open = lang_.blockOpen;
    const std::string_view close = lang_.blockClose;
    size_t j = i;
    while (j < limit_) {
      if (in_[j] == close[0] && Match(j, close)) {
        if (--comment.depth == 0) {
          Text(i, j, TextRole::COMMENT);
          Break(j);
          frames_.pop_back();
          return j + close.size();
        }
        j += close.size();
      } else if (lang_.blocksNest && in_[j] == open[0] && Match(j, open)) {
        ++comment.depth;
        j += open.size();
      } else {
        ++j;
      }
    }
    Text(i, limit_, TextRole::COMMENT);
    return limit_;
  }

  const CodeLanguage& lang_;
  std::vector<Frame> frames_;
  std::vector<Frame> heredocs_;  // announced on the current line, read from the next

  // The piece being read.
  std::string_view in_;
  size_t base_ = 0;
  SpanSink* sink_ = nullptr;
  size_t limit_ = 0;          // the end of the part of the line being read
  bool cut_ = false;          // the line goes on past `limit_` into the next piece
  size_t lineBegin_ = kNone;  // where the line starts, when it starts in this piece
  size_t tokenStart_ = 0;     // where the construct being read starts

  // Kept from call to call.
  bool fileStart_ = true;
  size_t codeStart_ = 0;      // the offset after a byte-order mark
  bool lineStart_ = true;     // the next byte starts a line
  bool tokenOnLine_ = false;  // the line has shown anything but white space
  bool continued_ = false;    // the previous line ended in a backslash
  bool continues_ = false;    // this one does
  bool spliced_ = false;      // a backslash in a string took this line's end
  bool valueLast_ = false;    // the last token was a value: a slash after it divides
  bool regexMissed_ = false;  // a slash on this line opened no regular expression
  char lastByte_ = '\n';      // the byte before the piece
  std::string commentRun_;    // the marker of a line comment run awaiting the next line
};

std::unique_ptr<DocumentParser> MakeCodeParser(const ParserContext& context) {
  return std::make_unique<CodeParser>(ChooseCodeLanguage(context));
}

}  // namespace

const DocumentFormat& CodeFormat() {
  static const DocumentFormat format = [] {
    DocumentFormat code;
    code.name = "code";
    for (const CodeLanguage& language : CodeLanguages()) {
      code.aliases.insert(code.aliases.end(), language.modeNames.begin(), language.modeNames.end());
      code.fileNames.insert(code.fileNames.end(), language.fileNames.begin(),
                            language.fileNames.end());
      code.interpreters.insert(code.interpreters.end(), language.interpreters.begin(),
                               language.interpreters.end());
    }
    code.window = size_t{1} << 16;
    code.make = &MakeCodeParser;
    code.technical = true;
    code.summary =
        "source code (C family, Python, shell, JavaScript, Rust, Go...): comments and strings";
    return code;
  }();
  return format;
}

}  // namespace orth::cli
