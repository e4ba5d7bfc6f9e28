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
#include "document/document_format.h"
#include "document/line_cut.h"

namespace orth::cli {

namespace {

constexpr size_t kNone = std::string_view::npos;
constexpr size_t kStop = kNone - 1;  // a look-ahead needs the rest of a cut line
constexpr size_t kMaxFrames = 64;    // deeper nesting is read as code or text
constexpr size_t kMaxRegex = 1024;
constexpr size_t kMaxHashes = 255;
constexpr size_t kMaxDelimiter = 16;  // of a C++ raw string
constexpr size_t kMaxHeredocWord = 128;
constexpr size_t kMaxHeredocs = 8;  // announced on one line
constexpr size_t kCutMargin = 16;   // bytes left for the next call when a line is cut

enum class Kind : uint8_t { CODE, HOLE, LINE_COMMENT, BLOCK_COMMENT, STRING, HEREDOC, SKIP };

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

// Where a substitution starts inside a string, and what to do with it.
struct HoleStart {
  enum Action : uint8_t { NONE, PUSH, SKIP, LITERAL } action = NONE;
  size_t length = 0;
  char open = 0;
  char close = 0;
  size_t depth = 1;
  bool arithmetic = false;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsIdentifierByte(char c) {
  return IsLetter(c) || IsDigit(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}
// Where a shell word may start: after white space or an operator.
bool IsWordStart(char previous) {
  return std::strchr(" \t\r\n\f\v;&|()<>", previous) != nullptr && previous != '\0';
}
size_t Utf8Length(char lead) {
  const auto byte = static_cast<unsigned char>(lead);
  return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}
int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Words after which a slash starts a regular expression, not a division.
bool IsRegexKeyword(std::string_view word) {
  static constexpr std::string_view kKeywords[] = {
      "return", "typeof", "instanceof", "in",   "of",    "new",   "delete",
      "void",   "throw",  "case",       "else", "yield", "await", "do"};
  for (const std::string_view keyword : kKeywords) {
    if (word == keyword) return true;
  }
  return false;
}

// The UTF-8 form of a code point that stands for readable text, or empty
// for controls, surrogates and values out of range.
std::string Readable(uint32_t codePoint) {
  std::string out;
  if (codePoint < 0x20 || codePoint == 0x7F || (codePoint >= 0x80 && codePoint < 0xA0) ||
      (codePoint >= 0xD800 && codePoint < 0xE000) || codePoint > 0x10FFFF) {
    return out;
  }
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return out;
}

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
        lineStart_ = false;
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
  char At(size_t at) const { return at < limit_ ? in_[at] : '\0'; }
  // The first `c` in [from, limit_), or kNone.
  size_t Find(char c, size_t from) const {
    if (from >= limit_) return kNone;
    const void* found = std::memchr(in_.data() + from, c, limit_ - from);
    return found != nullptr ? static_cast<size_t>(static_cast<const char*>(found) - in_.data())
                            : kNone;
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
    tokenOnLine_ = continued_ = continues_ = spliced_ = valueLast_ = false;
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

  size_t LexCode(size_t i) {
    const char c = in_[i];
    if (IsSpace(c)) return i + 1;
    Frame& frame = frames_.back();
    if (frame.kind == Kind::HOLE && c == frame.close && (frame.open == 0 || frame.depth <= 1)) {
      frames_.pop_back();
      return i + 1;
    }
    const uint16_t features = lang_.features;
    if ((features & PREPROCESSOR) != 0 && c == '#' && frames_.size() == 1 && !tokenOnLine_) {
      const size_t next = Directive(i);
      if (next != kNone) return next;
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
    if ((features & SHELL_SYNTAX) != 0) {
      if (Match(i, "<<") && !(frame.kind == Kind::HOLE && frame.flag)) {
        const size_t next = Heredoc(i);
        if (next != kNone) return next;
      }
      if (Match(i, "((") && !(frame.kind == Kind::HOLE && frame.flag)) {
        tokenOnLine_ = true;
        PushHole('(', ')', 2, true);
        return i + 2;
      }
    }
    for (const CodeQuote& quote : lang_.quotes) {
      if (Match(i, quote.open)) return OpenQuote(i, i, quote, {});
    }
    if (IsIdentifierByte(c) && !IsDigit(c)) return Identifier(i);
    tokenOnLine_ = true;
    if (IsDigit(c)) {
      size_t j = i + 1;
      while (j < limit_ && (IsIdentifierByte(in_[j]) || in_[j] == '.')) ++j;
      valueLast_ = true;
      return j;
    }
    if (c == '/' && (features & REGEX_LITERALS) != 0 && !valueLast_) {
      const size_t next = Regex(i);
      if (next != kNone) return next;
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

  // #include, #import, #pragma and #line lines: paths and compiler settings.
  size_t Directive(size_t i) {
    size_t j = i + 1;
    while (j < limit_ && (in_[j] == ' ' || in_[j] == '\t')) ++j;
    size_t k = j;
    while (k < limit_ && (IsLetter(in_[k]) || in_[k] == '_')) ++k;
    if (k == limit_ && Stop()) return kStop;
    const std::string_view word = in_.substr(j, k - j);
    if (word != "include" && word != "include_next" && word != "import" && word != "pragma" &&
        word != "line") {
      return kNone;
    }
    Frame skip;
    skip.kind = Kind::SKIP;
    skip.flag = true;
    frames_.push_back(skip);
    tokenOnLine_ = true;
    return k;
  }

  // The rest of a skipped line; a directive's operands ("file.h", <file.h>)
  // are skipped whole, and a comment after them is read.
  size_t LexSkip(size_t i) {
    if (!frames_.back().flag) return limit_;
    size_t j = i;
    while (j < limit_) {
      const char c = in_[j];
      if (c == '"' || c == '<') {
        if (j > i) return j;  // the operand starts a call of its own, which may stop
        const size_t close = Find(c == '"' ? '"' : '>', j + 1);
        if (close == kNone && Stop()) return kStop;
        j = close != kNone ? close + 1 : j + 1;
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
        if (At(k) == '"') {
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
    return j;
  }

  // A regular expression literal: /.../flags on one line.
  size_t Regex(size_t i) {
    bool inClass = false;
    size_t j = i + 1;
    for (; j < limit_ && j - i < kMaxRegex; ++j) {
      const char c = in_[j];
      if (c == '\\') {
        ++j;
      } else if (inClass) {
        inClass = c != ']';
      } else if (c == '[') {
        inClass = true;
      } else if (c == '/') {
        ++j;
        while (j < limit_ && IsLetter(in_[j])) ++j;
        valueLast_ = true;
        return j;
      }
    }
    return j >= limit_ && Stop() ? kStop : kNone;
  }

  // A heredoc operator (<<WORD, <<-'WORD', <<"WORD", <<\WORD): its text
  // starts on the next line. <<< is a here-string, read as code.
  size_t Heredoc(size_t i) {
    size_t j = i + 2;
    if (At(j) == '<') return i + 3;
    const bool stripTabs = At(j) == '-';
    if (stripTabs) ++j;
    while (At(j) == ' ' || At(j) == '\t') ++j;
    if (j >= limit_) return Stop() ? kStop : kNone;
    bool raw = false;
    size_t wordStart = j;
    size_t wordEnd = j;
    if (in_[j] == '\'' || in_[j] == '"') {
      const size_t close = Find(in_[j], j + 1);
      if (close >= limit_) return Stop() ? kStop : kNone;
      raw = true;
      wordStart = j + 1;
      wordEnd = close;
      j = close + 1;
    } else {
      if (in_[j] == '\\') {
        raw = true;
        wordStart = ++j;
      }
      while (j < limit_ && (IsLetter(in_[j]) || IsDigit(in_[j]) || in_[j] == '_')) ++j;
      wordEnd = j;
      if (wordEnd == limit_ && Stop()) return kStop;
      // <<2 is a shift in arithmetic, not a heredoc
      if (wordEnd == wordStart || IsDigit(in_[wordStart])) return kNone;
    }
    const size_t size = wordEnd - wordStart;
    if (size == 0 || size > kMaxHeredocWord) return kNone;
    tokenOnLine_ = true;
    if (heredocs_.size() < kMaxHeredocs) {
      Frame text = StringFrame(raw ? Escapes::NONE : Escapes::BACKSLASH,
                               raw ? Holes::NONE : Holes::SHELL, true);
      text.kind = Kind::HEREDOC;
      text.flag = stripTabs;
      text.end = in_.substr(wordStart, size);
      heredocs_.push_back(std::move(text));
    }
    return j;
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
      const size_t end = CharacterEnd(at);
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
        size_t k = contentStart;
        while (k < limit_ && k - contentStart <= kMaxDelimiter &&
               std::strchr("( )\\\t\v\f\r", in_[k]) == nullptr) {
          ++k;
        }
        if (At(k) == '(') {
          text.end = ")" + std::string(in_.substr(contentStart, k - contentStart)) + "\"";
          text.escapes = Escapes::NONE;
          text.multiline = true;
          textStart = k + 1;
        } else if (k >= limit_ && Stop()) {
          return kStop;
        }
      }
    }
    if (prefix.find_first_of(prefixes.holeLetters) != kNone) text.holes = prefixes.holes;
    if ((lang_.features & STRUCT_TAGS) != 0 && quote.open == "`") {
      const size_t end = StructTag(contentStart);
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

  // The end of a character literal at `at` ('a', '\n', '\u{e9}', 'é'), or
  // kNone when the quote opens none.
  size_t CharacterEnd(size_t at) const {
    const size_t j = at + 1;
    if (j >= limit_) return kNone;
    if (in_[j] == '\\') {
      for (size_t k = j + 2; k < limit_ && k <= j + 12; ++k) {
        if (in_[k] == '\'') return k + 1;
      }
      return limit_ <= j + 12 && Stop() ? kStop : kNone;
    }
    if (in_[j] == '\'') return kNone;
    const size_t after = j + Utf8Length(in_[j]);
    if (after >= limit_) return Stop() ? kStop : kNone;
    return in_[after] == '\'' ? after + 1 : kNone;
  }

  // A Go struct field tag (`json:"name,omitempty"`): where it ends, or kNone.
  size_t StructTag(size_t contentStart) const {
    const size_t close = Find('`', contentStart);
    if (close >= limit_) return kNone;
    size_t j = contentStart;
    while (j < close && in_[j] == ' ') ++j;
    const size_t key = j;
    while (j < close && (IsLetter(in_[j]) || IsDigit(in_[j]) || in_[j] == '_')) ++j;
    if (j == key || j + 1 >= close || in_[j] != ':' || in_[j + 1] != '"') return kNone;
    return close + 1;
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
        // The escape starts a call of its own, which a look-ahead may stop.
        if (j > i) {
          Text(i, j, role);
          return j;
        }
        return Escape(j);
      }
      const HoleStart hole = text->holes != Holes::NONE ? FindHole(j, text->holes) : HoleStart{};
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

  HoleStart FindHole(size_t j, Holes holes) const {
    const char c = in_[j];
    const char next = At(j + 1);
    auto push = [](size_t length, char open, char close) {
      HoleStart hole;
      hole.action = HoleStart::PUSH;
      hole.length = length;
      hole.open = open;
      hole.close = close;
      return hole;
    };
    auto skip = [](HoleStart::Action action, size_t length) {
      HoleStart hole;
      hole.action = action;
      hole.length = length;
      return hole;
    };
    auto name = [&] {
      size_t k = j + 1;
      while (k < limit_ && (IsLetter(in_[k]) || IsDigit(in_[k]) || in_[k] == '_')) ++k;
      return skip(HoleStart::SKIP, k - j);
    };
    switch (holes) {
      case Holes::DOLLAR_BRACE:
      case Holes::DOLLAR:
        if (c == '$' && next == '{') return push(2, '{', '}');
        if (holes == Holes::DOLLAR && c == '$' && (IsLetter(next) || next == '_')) return name();
        break;
      case Holes::SHELL:
        if (c == '`') return push(1, 0, '`');
        if (c != '$') break;
        if (next == '{') return push(2, '{', '}');
        if (next == '(' && At(j + 2) == '(') {
          HoleStart hole = push(3, '(', ')');
          hole.depth = 2;
          hole.arithmetic = true;
          return hole;
        }
        if (next == '(') return push(2, '(', ')');
        if (IsLetter(next) || next == '_') return name();
        if (IsDigit(next) || (next != '\0' && std::strchr("@#?$!*-", next) != nullptr)) {
          return skip(HoleStart::SKIP, 2);
        }
        break;
      case Holes::BRACES:
        if (c == '{') return next == '{' ? skip(HoleStart::LITERAL, 2) : push(1, '{', '}');
        if (c == '}' && next == '}') return skip(HoleStart::LITERAL, 2);
        break;
      case Holes::HASH_BRACE:
        if (c == '#' && next == '{') return push(2, '{', '}');
        break;
      case Holes::NONE:
      case Holes::BACKSLASH_PAREN:
        break;
    }
    return {};
  }

  // A backslash at `j` in a string.
  size_t Escape(size_t j) {
    const Frame& text = frames_.back();
    const TextRole role = text.role;
    if (j + 1 >= limit_) {
      if (cut_ && Stop()) return kStop;
      // At a line end it joins the next line to the string.
      Break(j);
      if (!cut_) spliced_ = true;
      return j + 1;
    }
    const char c = in_[j + 1];
    if (text.escapes == Escapes::QUOTE) {
      if (c == '\\' || c == text.end[0]) {
        Decoded(in_.substr(j + 1, 1), j, j + 2, role);
        return j + 2;
      }
      Text(j, j + 1, role);
      return j + 1;
    }
    if (text.holes == Holes::BACKSLASH_PAREN && c == '(') {
      Break(j);
      PushHole('(', ')', 1, false);
      return j + 2;
    }
    switch (c) {
      case 'n':
        Decoded("\n", j, j + 2, role);
        return j + 2;
      case 't':
        Decoded("\t", j, j + 2, role);
        return j + 2;
      case 'r':
      case 'f':
      case 'v':
        Decoded(" ", j, j + 2, role);
        return j + 2;
      case 'x':
        return NumericEscape(j, 2, 16, 1, 2, 0x7F);
      case 'U':
        return NumericEscape(j, 2, 16, 8, 8, 0x10FFFF);
      case 'u':
        if (At(j + 2) == '{') {
          const size_t close = Find('}', j + 3);
          if (close < limit_ && close <= j + 11) {
            const size_t end = NumericEscape(j, 3, 16, close - j - 3, close - j - 3, 0x10FFFF);
            return end == close ? close + 1 : end;
          }
          Break(j);
          return j + 2;
        }
        return NumericEscape(j, 2, 16, 4, 4, 0x10FFFF);
      case 'N':
        if (At(j + 2) == '{') {
          const size_t close = Find('}', j + 3);
          Break(j);
          return close < limit_ ? close + 1 : j + 2;
        }
        break;
      default:
        break;
    }
    if (c >= '0' && c <= '7') return NumericEscape(j, 1, 8, 1, 3, 0x7F);
    if (IsLetter(c)) {
      // \a, \b, \e, \d in a regular expression: nothing readable
      Break(j);
      return j + 2;
    }
    if (static_cast<unsigned char>(c) >= 0x80) {
      Break(j);
      return j + 1;
    }
    Decoded(in_.substr(j + 1, 1), j, j + 2, role);
    return j + 2;
  }

  // \x41, \101, \u00e9, \U0001F600: the digits after `skip` bytes, between
  // `least` and `most` of them in `radix`. A value above `highest` (a byte
  // of some encoding) or a control stands for nothing readable.
  size_t NumericEscape(size_t j, size_t skip, int radix, size_t least, size_t most,
                       uint32_t highest) {
    const Frame& text = frames_.back();
    size_t k = j + skip;
    uint32_t value = 0;
    while (k < limit_ && k - j - skip < most && DigitValue(in_[k]) < radix) {
      value = value * static_cast<uint32_t>(radix) + static_cast<uint32_t>(DigitValue(in_[k]));
      ++k;
    }
    if (k - j - skip < least) {
      Break(j);
      return j + skip;
    }
    const std::string readable = value <= highest ? Readable(value) : std::string();
    if (readable.empty()) {
      Break(j);
    } else {
      Decoded(readable, j, k, text.role);
    }
    return k;
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
    code.summary =
        "source code (C family, Python, shell, JavaScript, Rust, Go...): comments and strings";
    return code;
  }();
  return format;
}

}  // namespace orth::cli
