// Markdown blocks through md4c's callbacks. md4c hands out text as pointers
// into the buffer it parses; that is how it works, not what it promises, so
// every pointer is checked to lie inside the buffer, at or after what was
// read before, before it becomes a source offset. Line breaks and other
// pieces md4c gives from its own static strings are placed by looking at
// the source bytes after the last piece.
#include "document/markdown_spans.h"

#include <md4c.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "document/html_spans.h"
#include "document/markdown_entities.h"

namespace orth::cli {

namespace {

constexpr size_t npos = std::string_view::npos;

// CommonMark with GitHub's tables, strikethrough, task lists and bare
// autolinks, and $...$ / $$...$$ math so that math is skipped.
constexpr unsigned kFlags = MD_FLAG_TABLES | MD_FLAG_STRIKETHROUGH | MD_FLAG_TASKLISTS |
                            MD_FLAG_PERMISSIVEAUTOLINKS | MD_FLAG_LATEXMATHSPANS;

// Inline elements whose content is code or data, not prose.
bool IsSkippedElement(std::string_view name) {
  for (const std::string_view skipped : {"code", "kbd", "samp", "var", "pre", "script", "style"}) {
    if (name == skipped) return true;
  }
  return false;
}

// Inline elements that render as nothing between letters: a word runs on
// across them ("<b>bo</b>ld").
bool IsPhrasingElement(std::string_view name) {
  for (const std::string_view phrasing :
       {"a",     "abbr", "b",      "bdi",    "bdo", "big",  "cite", "del",
        "dfn",   "em",   "font",   "i",      "ins", "mark", "q",    "s",
        "small", "span", "strike", "strong", "sub", "sup",  "u",    "wbr"}) {
    if (name == phrasing) return true;
  }
  return false;
}

struct Tag {
  std::string name;  // lower case
  bool closing = false;
  bool selfClosing = false;
  bool attributes = false;
};

Tag ReadTag(std::string_view tag) {
  Tag read;
  size_t i = 1;
  if (i < tag.size() && tag[i] == '/') {
    read.closing = true;
    ++i;
  }
  while (i < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[i])) || tag[i] == '-')) {
    read.name += static_cast<char>(std::tolower(static_cast<unsigned char>(tag[i])));
    ++i;
  }
  while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
  read.selfClosing = tag.size() >= 2 && tag.substr(tag.size() - 2) == "/>";
  read.attributes = i < tag.size() && tag[i] != '>' && tag[i] != '/';
  return read;
}

// The length of the raw HTML construct `rest` starts with: a tag, a
// comment, a processing instruction, a declaration or CDATA; all of `rest`
// when it does not end.
size_t ConstructLength(std::string_view rest) {
  auto through = [&rest](std::string_view marker, size_t from) {
    const size_t at = rest.find(marker, from);
    return at == npos ? rest.size() : at + marker.size();
  };
  if (rest.substr(0, 4) == "<!--") return through("-->", 4);
  if (rest.substr(0, 9) == "<![CDATA[") return through("]]>", 9);
  if (rest.substr(0, 2) == "<?") return through("?>", 2);
  char quote = 0;
  for (size_t i = 1; i < rest.size(); ++i) {
    if (quote != 0) {
      if (rest[i] == quote) quote = 0;
    } else if (rest[i] == '"' || rest[i] == '\'') {
      quote = rest[i];
    } else if (rest[i] == '>') {
      return i + 1;
    }
  }
  return rest.size();
}

class Walker {
 public:
  Walker(std::string_view text, size_t base, EntityCache& entities, SpanSink& sink)
      : text_(text), base_(base), entities_(entities), sink_(sink) {}

  void Run() {
    MD_PARSER parser{};
    parser.flags = kFlags;
    parser.enter_block = [](MD_BLOCKTYPE type, void* detail, void* self) {
      return static_cast<Walker*>(self)->EnterBlock(type, detail);
    };
    parser.leave_block = [](MD_BLOCKTYPE type, void*, void* self) {
      return static_cast<Walker*>(self)->LeaveBlock(type);
    };
    parser.enter_span = [](MD_SPANTYPE type, void* detail, void* self) {
      return static_cast<Walker*>(self)->EnterSpan(type, detail);
    };
    parser.leave_span = [](MD_SPANTYPE type, void*, void* self) {
      return static_cast<Walker*>(self)->LeaveSpan(type);
    };
    parser.text = [](MD_TEXTTYPE type, const MD_CHAR* text, MD_SIZE size, void* self) {
      return static_cast<Walker*>(self)->Text(type, text, size);
    };
    md_parse(text_.data(), static_cast<MD_SIZE>(text_.size()), &parser, this);
    FlushInlineHtml();
    Break(cursor_);
  }

 private:
  struct Link {
    std::string href;
    bool decided = false;   // the first piece of its text has been seen
    bool autolink = false;  // its text is its destination: skipped
  };

  bool Skipping() const { return skippedSpans_ > 0 || !skippedElement_.empty(); }

  // The offset in text_ of a piece md4c gives, when it points into the
  // buffer.
  bool Inside(const MD_CHAR* piece, size_t size, size_t& at) const {
    const auto begin = reinterpret_cast<uintptr_t>(text_.data());
    const auto where = reinterpret_cast<uintptr_t>(piece);
    if (where < begin || where > begin + text_.size() || size > begin + text_.size() - where) {
      return false;
    }
    at = where - begin;
    return true;
  }
  // ... and lies at or after what was read before.
  bool Locate(const MD_CHAR* piece, size_t size, size_t& at) const {
    return Inside(piece, size, at) && at >= cursor_;
  }

  // Looks for a piece that does not point into the buffer among the next
  // source bytes.
  bool Find(std::string_view piece, size_t& at) const {
    if (piece.empty() || cursor_ >= text_.size()) return false;
    at = text_.substr(cursor_, piece.size() + 256).find(piece);
    if (at == npos) return false;
    at += cursor_;
    return true;
  }

  // Sink calls, kept in source order whatever md4c does.
  void EmitText(size_t at, size_t size) {
    if (at < last_) return;
    sink_.Text(text_.substr(at, size), base_ + at);
    last_ = at + size;
    broken_ = false;
  }
  void EmitDecoded(std::string_view decoded, size_t begin, size_t end) {
    if (begin < last_) return;
    sink_.Decoded(decoded, base_ + begin, base_ + end);
    last_ = end;
    broken_ = false;
  }
  void Markup(size_t at) {
    last_ = std::max(at, last_);
    sink_.Markup(base_ + last_);
    broken_ = false;
  }
  void Break(size_t at) {
    if (broken_) return;  // one is enough
    last_ = std::max(at, last_);
    sink_.Break(base_ + last_);
    broken_ = true;
  }
  void Html(size_t at, size_t size) {
    if (at < last_) return;
    EmitHtmlSpans(text_.substr(at, size), base_ + at, sink_);
    last_ = at + size;
    broken_ = false;
  }

  int EnterBlock(MD_BLOCKTYPE type, void*) {
    FlushInlineHtml();
    if (type == MD_BLOCK_CODE) {
      ++codeBlocks_;
      Break(cursor_);
    } else if (type == MD_BLOCK_HTML) {
      htmlBlock_ = true;
      htmlBegin_ = npos;
    }
    return 0;
  }

  int LeaveBlock(MD_BLOCKTYPE type) {
    FlushInlineHtml();
    if (type == MD_BLOCK_CODE) {
      --codeBlocks_;
    } else if (type == MD_BLOCK_HTML) {
      htmlBlock_ = false;
      if (htmlBegin_ != npos) {
        Break(htmlBegin_);
        Html(htmlBegin_, htmlEnd_ - htmlBegin_);
      }
    } else {
      // An element left open in a paragraph or a cell ends with it.
      skippedElement_.clear();
    }
    Break(cursor_);
    return 0;
  }

  int EnterSpan(MD_SPANTYPE type, void* detail) {
    FlushInlineHtml();
    switch (type) {
      case MD_SPAN_A: {
        Link link;
        const auto* a = static_cast<const MD_SPAN_A_DETAIL*>(detail);
        if (a != nullptr && a->href.text != nullptr) link.href.assign(a->href.text, a->href.size);
        links_.push_back(std::move(link));
        if (!Skipping()) Markup(cursor_);
        break;
      }
      case MD_SPAN_CODE:
      case MD_SPAN_LATEXMATH_DISPLAY:
        if (!Skipping()) Break(cursor_);
        ++skippedSpans_;
        break;
      case MD_SPAN_LATEXMATH:
        // Whether it is math is decided at its end ("$5 and $10" is not).
        inlineMath_ = !Skipping();
        math_.clear();
        ++skippedSpans_;
        break;
      default:  // emphasis, strikethrough, underline, an image's description
        if (!Skipping()) Markup(cursor_);
        break;
    }
    return 0;
  }

  int LeaveSpan(MD_SPANTYPE type) {
    FlushInlineHtml();
    switch (type) {
      case MD_SPAN_A:
        if (!links_.empty()) {
          if (links_.back().autolink) --skippedSpans_;
          links_.pop_back();
        }
        if (!Skipping()) Break(cursor_);  // the destination
        break;
      case MD_SPAN_IMG:
        if (!Skipping()) Break(cursor_);
        break;
      case MD_SPAN_CODE:
      case MD_SPAN_LATEXMATH_DISPLAY:
        --skippedSpans_;
        if (!Skipping()) Break(cursor_);
        break;
      case MD_SPAN_LATEXMATH:
        --skippedSpans_;
        if (inlineMath_) FinishInlineMath();
        inlineMath_ = false;
        break;
      default:
        if (!Skipping()) Markup(cursor_);
        break;
    }
    return 0;
  }

  // $...$ is math when it neither starts nor ends with white space and no
  // digit follows it, as pandoc and GitHub read it; md4c is less strict,
  // and would take "$5 and $10" for math. Text that is not math is checked.
  void FinishInlineMath() {
    if (math_.empty()) return;
    const size_t first = math_.front().first;
    const size_t last = math_.back().first + math_.back().second;
    size_t after = last;
    while (after < text_.size() && text_[after] == '$') ++after;
    const bool isMath =
        last > first && !std::isspace(static_cast<unsigned char>(text_[first])) &&
        !std::isspace(static_cast<unsigned char>(text_[last - 1])) &&
        !(after < text_.size() && std::isdigit(static_cast<unsigned char>(text_[after])));
    if (isMath) {
      Break(first);
    } else {
      EmitText(first, last - first);
    }
  }

  // The first piece of a link's text tells an autolink (<https://...>, a
  // bare URL or e-mail address) from a link written [text](destination).
  void DecideLink(MD_TEXTTYPE type, const MD_CHAR* piece, size_t size) {
    if (links_.empty() || links_.back().decided) return;
    Link& link = links_.back();
    link.decided = true;
    if (type != MD_TEXT_NORMAL) return;
    const std::string_view text(piece, size);
    size_t at = 0;
    const bool bracketed = Locate(piece, size, at) && at > 0 && text_[at - 1] == '[';
    if (!bracketed && (link.href == text || link.href == "http://" + std::string(text) ||
                       link.href == "mailto:" + std::string(text))) {
      link.autolink = true;
      if (!Skipping()) Break(cursor_);
      ++skippedSpans_;
    }
  }

  int Text(MD_TEXTTYPE type, const MD_CHAR* piece, MD_SIZE size) {
    if (type != MD_TEXT_HTML) FlushInlineHtml();
    DecideLink(type, piece, size);
    size_t at = 0;
    const bool located = Locate(piece, size, at);
    if (codeBlocks_ > 0 || (htmlBlock_ && type != MD_TEXT_HTML)) {
      if (located) {
        if (codeBlocks_ > 0) sink_.Code(text_.substr(at, size), base_ + at);
        cursor_ = at + size;
      }
      return 0;
    }
    if (type == MD_TEXT_HTML) {
      // A block is handed on whole at its end; inline tags after the run
      // of pieces they come in (a tag may span lines).
      if (!located) return 0;
      size_t& begin = htmlBlock_ ? htmlBegin_ : runBegin_;
      size_t& end = htmlBlock_ ? htmlEnd_ : runEnd_;
      if (begin == npos) begin = at;
      end = at + size;
      cursor_ = end;
      return 0;
    }
    if (type == MD_TEXT_BR || type == MD_TEXT_SOFTBR) {
      LineBreak();
      return 0;
    }
    if (type == MD_TEXT_NULLCHAR) {
      if (!Skipping()) Break(cursor_);
      return 0;
    }
    if (type == MD_TEXT_LATEXMATH && inlineMath_ && located) math_.emplace_back(at, size);
    if (Skipping() || type == MD_TEXT_CODE || type == MD_TEXT_LATEXMATH) {
      if (located) {
        if (type == MD_TEXT_CODE) sink_.Code(text_.substr(at, size), base_ + at);
        cursor_ = at + size;
      }
      return 0;
    }
    if (!located) {
      // A piece out of source order is dropped; one from elsewhere is
      // looked for in the next source bytes.
      size_t inside = 0;
      if (Inside(piece, size, inside) || !Find(std::string_view(piece, size), at)) {
        Break(cursor_);
        return 0;
      }
    }
    cursor_ = at + size;
    if (type == MD_TEXT_ENTITY) {
      std::string decoded;
      if (DecodeCharacterReference(text_.substr(at, size), entities_, decoded)) {
        EmitDecoded(decoded, at, at + size);
      } else {
        Break(at);
      }
      return 0;
    }
    // md4c gives the character of a backslash escape ("\*") alone.
    if (size == 1 && at > 0 && text_[at - 1] == '\\' && at - 1 >= last_ &&
        std::ispunct(static_cast<unsigned char>(text_[at]))) {
      EmitDecoded(text_.substr(at, 1), at - 1, at + 1);
      return 0;
    }
    EmitText(at, size);
    return 0;
  }

  // A soft or hard line break: the line end after the last piece ("\n",
  // "\r\n" or a lone "\r", which md4c takes for a line end too).
  void LineBreak() {
    size_t newline = npos;
    if (cursor_ < noNewlineFrom_) {
      for (size_t i = cursor_; i < text_.size(); ++i) {
        if (text_[i] == '\n' || text_[i] == '\r') {
          newline = i;
          break;
        }
      }
      if (newline == npos) noNewlineFrom_ = cursor_;
    }
    if (newline == npos) {
      if (!Skipping()) Break(cursor_);
      return;
    }
    size_t stop = newline + 1;
    if (text_[newline] == '\r' && stop < text_.size() && text_[stop] == '\n') ++stop;
    cursor_ = stop;
    if (!Skipping()) EmitText(newline, stop - newline);
  }

  // The tags, comments and other raw HTML of one run of inline pieces.
  void FlushInlineHtml() {
    if (runBegin_ == npos) return;
    const size_t end = runEnd_;
    size_t at = text_.find('<', runBegin_);
    runBegin_ = npos;
    while (at < end) {
      const size_t length = ConstructLength(text_.substr(at, end - at));
      InlineConstruct(at, length);
      at = text_.find('<', at + length);
    }
  }

  void InlineConstruct(size_t at, size_t length) {
    const std::string_view construct = text_.substr(at, length);
    if (construct.substr(0, 4) == "<!--") {
      // A comment renders as nothing; it may hold directives.
      if (!Skipping()) {
        Markup(at);
        Html(at, length);
      }
      return;
    }
    if (construct.size() < 2 || construct[1] == '!' || construct[1] == '?') {
      if (!Skipping()) Break(at);
      return;
    }
    const Tag tag = ReadTag(construct);
    if (!skippedElement_.empty()) {
      if (tag.name != skippedElement_ || tag.selfClosing) return;
      if (!tag.closing) {
        ++skippedDepth_;
      } else if (--skippedDepth_ == 0) {
        skippedElement_.clear();
        if (!Skipping()) Break(at + length);
      }
      return;
    }
    if (Skipping()) return;
    if (!tag.closing && !tag.selfClosing && IsSkippedElement(tag.name)) {
      Break(at);
      if (tag.attributes) Html(at, length);
      skippedElement_ = tag.name;
      skippedDepth_ = 1;
      return;
    }
    if (!tag.attributes && IsPhrasingElement(tag.name)) {
      Markup(at);
      return;
    }
    // Other tags separate words; their attributes may hold text (alt, title).
    Break(at);
    if (tag.attributes) {
      Html(at, length);
      Break(at + length);
    }
  }

  std::string_view text_;
  size_t base_;
  EntityCache& entities_;
  SpanSink& sink_;

  size_t cursor_ = 0;    // the end of the source md4c has handed on so far
  size_t last_ = 0;      // the end of the last sink call
  bool broken_ = false;  // the last sink call was a Break
  size_t noNewlineFrom_ = npos;
  int codeBlocks_ = 0;
  bool htmlBlock_ = false;
  size_t htmlBegin_ = npos;
  size_t htmlEnd_ = 0;
  size_t runBegin_ = npos;  // the inline HTML pieces not handed on yet
  size_t runEnd_ = 0;
  int skippedSpans_ = 0;        // code spans, math, autolinks
  std::string skippedElement_;  // an inline <code>, <kbd>, ... whose content is skipped
  int skippedDepth_ = 0;
  std::vector<Link> links_;
  bool inlineMath_ = false;
  std::vector<std::pair<size_t, size_t>> math_;  // the pieces of an inline math span
};

}  // namespace

void EmitMarkdownSpans(std::string_view text, size_t base, EntityCache& entities, SpanSink& sink) {
  // md4c counts in 32 bits; a larger piece goes in parts cut at line ends.
  constexpr size_t kMost = size_t{1} << 30;
  while (text.size() > kMost) {
    size_t cut = text.rfind('\n', kMost);
    cut = cut == npos ? kMost : cut + 1;
    Walker(text.substr(0, cut), base, entities, sink).Run();
    text.remove_prefix(cut);
    base += cut;
  }
  Walker(text, base, entities, sink).Run();
}

}  // namespace orth::cli
