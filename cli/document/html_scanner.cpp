#include "document/html_scanner.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace orth::cli {

namespace {

struct TagEntry {
  std::string_view name;
  uint32_t flags;
};

constexpr uint32_t I = TAG_INLINE, V = TAG_VOID, SP = TAG_SKIP_PHRASE, SB = TAG_SKIP_BLOCK,
                   R = TAG_RAW_TEXT, CR = TAG_CHECKED_RAW, PT = TAG_PLAINTEXT, S = TAG_SPECIAL,
                   SC = TAG_SCOPE, F = TAG_FORMATTING, CP = TAG_CLOSES_P, T = TAG_TABLE_PART,
                   M = TAG_MARKER, FO = TAG_FOREIGN, L = TAG_LIST;

// Sorted by name. The structural flags follow the HTML parsing rules that
// bound how deep gumbo's stack of open elements grows (html_nesting.cpp).
constexpr TagEntry kTags[] = {
    {"a", I | F},
    {"abbr", I},
    {"acronym", I},
    {"address", S | CP},
    {"applet", S | SC | M},
    {"area", V | S},
    {"article", S | CP},
    {"aside", S | CP},
    {"b", I | F},
    {"base", V | S},
    {"basefont", V | S},
    {"bdi", I},
    {"bdo", I},
    {"bgsound", V | S},
    {"big", I | F},
    {"blink", I},
    {"blockquote", S | CP},
    {"body", S},
    {"br", V | S},
    {"button", S},
    {"caption", S | SC | T | M},
    {"center", S | CP},
    {"cite", I},
    {"code", SP | F},
    {"col", V | S | T},
    {"colgroup", S | T},
    {"data", I},
    {"dd", S | CP},
    {"del", I},
    {"details", S | CP},
    {"dfn", I},
    {"dialog", CP},
    {"dir", S | CP},
    {"div", S | CP},
    {"dl", S | CP},
    {"dt", S | CP},
    {"em", I | F},
    {"embed", V | S},
    {"fieldset", S | CP},
    {"figcaption", S | CP},
    {"figure", S | CP},
    {"font", I | F},
    {"footer", S | CP},
    {"form", S | CP},
    {"frame", V | S},
    {"frameset", S},
    {"h1", S | CP},
    {"h2", S | CP},
    {"h3", S | CP},
    {"h4", S | CP},
    {"h5", S | CP},
    {"h6", S | CP},
    {"head", S},
    {"header", S | CP},
    {"hgroup", S | CP},
    {"hr", V | S | CP},
    {"html", S | SC},
    {"i", I | F},
    {"iframe", S | R},
    {"image", V},
    {"img", V | S},
    {"input", V | S},
    {"ins", I},
    {"kbd", SP},
    {"keygen", V | S},
    {"label", I},
    {"li", S | CP},
    {"link", V | S},
    {"listing", S | CP | SB},
    {"main", S | CP},
    {"mark", I},
    {"marquee", S | SC | M},
    {"math", S | SC | SB | FO},
    {"menu", S | CP},
    {"meta", V | S},
    {"nav", S | CP},
    {"nobr", I | F},
    {"noembed", S | R},
    {"noframes", S | R},
    {"noscript", S},
    {"object", S | SC | M},
    {"ol", S | CP | L},
    {"p", S | CP},
    {"param", V | S},
    {"plaintext", S | CP | PT | SB},
    {"pre", S | CP | SB},
    {"q", I},
    {"rb", I},
    {"ruby", I},
    {"s", I | F},
    {"samp", SP},
    {"script", S | R},
    {"search", S | CP},
    {"section", S | CP},
    {"select", S},
    {"small", I | F},
    {"source", V | S},
    {"span", I},
    {"strike", I | F},
    {"strong", I | F},
    {"style", S | R},
    {"sub", I},
    {"summary", S | CP},
    {"sup", I},
    {"svg", S | SC | FO},
    {"table", S | SC | CP | T},
    {"tbody", S | T},
    {"td", S | SC | T | M},
    {"template", S | SC | M},
    {"textarea", S | R | CR},
    {"tfoot", S | T},
    {"th", S | SC | T | M},
    {"thead", S | T},
    {"time", I},
    {"title", S | R | CR},
    {"tr", S | T},
    {"track", V | S},
    {"tt", SP | F},
    {"u", I | F},
    {"ul", S | CP | L},
    {"var", SP},
    {"wbr", I | V | S},
    {"xmp", S | CP | R | SB},
};

enum Mode : uint8_t {
  DATA,
  TAG_OPEN,
  END_TAG_OPEN,
  TAG_NAME,
  BEFORE_ATTRIBUTE,
  ATTRIBUTE_NAME,
  AFTER_ATTRIBUTE,
  BEFORE_VALUE,
  QUOTED_VALUE,
  AFTER_QUOTED_VALUE,
  UNQUOTED_VALUE,
  SELF_CLOSING,
  DECLARATION_OPEN,
  COMMENT_START,
  COMMENT_START_DASH,
  COMMENT,
  COMMENT_END_DASH,
  COMMENT_END,
  COMMENT_END_BANG,
  BOGUS,
  CDATA,
  RAW,
  PLAINTEXT,
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

constexpr uint32_t kHashSeed = 2166136261u;

uint32_t HashByte(uint32_t hash, char c) {
  return (hash ^ static_cast<unsigned char>(c)) * 16777619u;
}

bool IsCommentMode(uint8_t mode) {
  return mode >= COMMENT_START && mode <= COMMENT_END_BANG;
}

// One pass over a piece of bytes; `stop` is set when the handler asks.
class Scanner {
 public:
  Scanner(HtmlScanState& state, size_t base, HtmlTokenHandler& handler)
      : s_(state), base_(base), handler_(handler) {}

  size_t Run(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size() && !stop_) {
      i = SkipRun(bytes, i);
      if (i >= bytes.size()) break;
      reconsume_ = false;
      Step(bytes[i], base_ + i);
      if (s_.mode == DATA && handler_.StopBetweenTokens()) return reconsume_ ? i : i + 1;
      ++i;
    }
    return i;
  }

  void Flush(size_t end) {
    if (s_.mode == QUOTED_VALUE || s_.mode == UNQUOTED_VALUE) {
      ReportValue(end, false);
      s_.valueBegin = end;
    }
    if (s_.mode >= TAG_NAME && s_.mode <= SELF_CLOSING) {
      HtmlToken token;
      token.kind = s_.endTag ? HtmlToken::END_TAG : HtmlToken::START_TAG;
      token.complete = false;
      token.begin = s_.begin;
      token.end = end;
      Deliver(token);
    } else if (IsCommentMode(s_.mode)) {
      if (end > s_.begin) Report(HtmlToken::COMMENT, s_.begin, end, false);
      s_.begin = end;
    } else if (s_.mode == RAW || s_.mode == PLAINTEXT) {
      // Bytes of a possible end tag ("</scr") wait for the next piece.
      const size_t stop = s_.matched > 0 ? std::max(s_.begin, s_.rawEndTag) : end;
      if (stop > s_.begin) ReportRaw(s_.begin, stop, false);
      s_.begin = std::max(s_.begin, stop);
    }
  }

 private:
  // Skips bytes that cannot change the state: text, comment text, values.
  size_t SkipRun(std::string_view bytes, size_t i) {
    const char* data = bytes.data();
    const size_t n = bytes.size();
    auto find = [&](char c) {
      const void* hit = std::memchr(data + i, c, n - i);
      return hit == nullptr ? n : static_cast<size_t>(static_cast<const char*>(hit) - data);
    };
    switch (s_.mode) {
      case DATA:
        return find('<');
      case RAW:
        return s_.matched == 0 ? find('<') : i;
      case PLAINTEXT:
        return n;
      case COMMENT:
        return find('-');
      case QUOTED_VALUE:
        return find(s_.quote);
      case BOGUS:
        return find('>');
      default:
        return i;
    }
  }

  void Step(char c, size_t at) {
    switch (s_.mode) {
      case DATA:  // c == '<'
        s_.mode = TAG_OPEN;
        s_.begin = at;
        break;
      case TAG_OPEN:
        if (c == '!') {
          s_.mode = DECLARATION_OPEN;
          s_.declLength = 0;
        } else if (c == '/') {
          s_.mode = END_TAG_OPEN;
        } else if (IsAlpha(c)) {
          StartName(c, false);
        } else if (c == '?') {
          s_.mode = BOGUS;
        } else if (c == '<') {
          s_.begin = at;  // "<<b>": the first '<' is text
        } else {
          s_.mode = DATA;  // "a < b": the '<' is text, and so is `c`
          reconsume_ = true;
        }
        break;
      case END_TAG_OPEN:
        if (IsAlpha(c)) {
          StartName(c, true);
        } else {
          s_.mode = c == '>' ? DATA : BOGUS;  // "</>" is dropped
        }
        break;
      case TAG_NAME:
        if (IsSpace(c)) {
          s_.mode = BEFORE_ATTRIBUTE;
        } else if (c == '/') {
          s_.mode = SELF_CLOSING;
        } else if (c == '>') {
          EmitTag(at, false);
        } else {
          AddNameByte(c);
        }
        break;
      case BEFORE_ATTRIBUTE:
        if (c == '/') {
          s_.mode = SELF_CLOSING;
        } else if (c == '>') {
          EmitTag(at, false);
        } else if (!IsSpace(c)) {
          StartAttribute(at, c);
        }
        break;
      case ATTRIBUTE_NAME:
        if (IsSpace(c)) {
          s_.mode = AFTER_ATTRIBUTE;
        } else if (c == '/') {
          s_.mode = SELF_CLOSING;
        } else if (c == '=') {
          s_.mode = BEFORE_VALUE;
        } else if (c == '>') {
          EmitTag(at, false);
        } else {
          s_.attributeHash = HashByte(s_.attributeHash, Lower(c));
        }
        break;
      case AFTER_ATTRIBUTE:
        if (c == '/') {
          s_.mode = SELF_CLOSING;
        } else if (c == '=') {
          s_.mode = BEFORE_VALUE;
        } else if (c == '>') {
          EmitTag(at, false);
        } else if (!IsSpace(c)) {
          StartAttribute(at, c);
        }
        break;
      case BEFORE_VALUE:
        if (c == '"' || c == '\'') {
          s_.mode = QUOTED_VALUE;
          s_.quote = c;
          s_.valueBegin = at + 1;
        } else if (c == '>') {
          EmitTag(at, false);
        } else if (!IsSpace(c)) {
          s_.mode = UNQUOTED_VALUE;
          s_.valueBegin = at;
        }
        break;
      case QUOTED_VALUE:  // c == quote
        s_.mode = AFTER_QUOTED_VALUE;
        ReportValue(at, true);
        break;
      case AFTER_QUOTED_VALUE:
        if (IsSpace(c)) {
          s_.mode = BEFORE_ATTRIBUTE;
        } else if (c == '/') {
          s_.mode = SELF_CLOSING;
        } else if (c == '>') {
          EmitTag(at, false);
        } else {
          StartAttribute(at, c);
        }
        break;
      case UNQUOTED_VALUE:
        if (IsSpace(c)) {
          s_.mode = BEFORE_ATTRIBUTE;
          ReportValue(at, true);
        } else if (c == '>') {
          ReportValue(at, true);
          EmitTag(at, false);
        }
        break;
      case SELF_CLOSING:
        if (c == '>') {
          EmitTag(at, true);
        } else if (IsSpace(c)) {
          s_.mode = BEFORE_ATTRIBUTE;
        } else if (c != '/') {
          StartAttribute(at, c);
        }
        break;
      case DECLARATION_OPEN:
        Declaration(c, at);
        break;
      case COMMENT_START:
        if (c == '-') {
          s_.mode = COMMENT_START_DASH;
        } else if (c == '>') {
          EndComment(at);  // "<!-->"
        } else {
          s_.mode = COMMENT;
        }
        break;
      case COMMENT_START_DASH:
        if (c == '-') {
          s_.mode = COMMENT_END;
        } else if (c == '>') {
          EndComment(at);  // "<!--->"
        } else {
          s_.mode = COMMENT;
        }
        break;
      case COMMENT:  // c == '-'
        s_.mode = COMMENT_END_DASH;
        break;
      case COMMENT_END_DASH:
        s_.mode = c == '-' ? COMMENT_END : COMMENT;
        break;
      case COMMENT_END:
        if (c == '>') {
          EndComment(at);
        } else if (c == '!') {
          s_.mode = COMMENT_END_BANG;
        } else if (c != '-') {
          s_.mode = COMMENT;
        }
        break;
      case COMMENT_END_BANG:
        if (c == '>') {
          EndComment(at);  // "--!>"
        } else {
          s_.mode = c == '-' ? COMMENT_END_DASH : COMMENT;
        }
        break;
      case BOGUS:  // c == '>'
        s_.mode = DATA;
        Report(HtmlToken::DECLARATION, s_.begin, at + 1, true);
        break;
      case CDATA:
        if (c == '>' && s_.matched == 2) {
          s_.mode = DATA;
          Report(HtmlToken::CDATA, s_.begin, at + 1, true);
        } else {
          s_.matched = c == ']' ? static_cast<uint8_t>(std::min(s_.matched + 1, 2)) : 0;
        }
        break;
      case RAW:
        RawByte(c, at);
        break;
      default:
        break;
    }
  }

  void StartName(char c, bool endTag) {
    s_.mode = TAG_NAME;
    s_.endTag = endTag;
    s_.nameLength = 0;
    s_.attributes = 0;
    s_.excessBegin = 0;
    s_.nameHash = kHashSeed;
    AddNameByte(c);
  }

  void AddNameByte(char c) {
    if (s_.nameLength < HtmlScanState::kMaxName) {
      s_.name[s_.nameLength] = Lower(c);
    }
    // Names longer than any HTML knows stay unknown (and distinct).
    if (s_.nameLength < 255) ++s_.nameLength;
    s_.nameHash = HashByte(s_.nameHash, Lower(c));
  }

  void StartAttribute(size_t at, char c) {
    s_.mode = ATTRIBUTE_NAME;
    s_.attributeHash = HashByte(kHashSeed, Lower(c));
    if (s_.attributes == HtmlScanState::kMaxAttributes) s_.excessBegin = at;
    if (s_.attributes <= HtmlScanState::kMaxAttributes) ++s_.attributes;
  }

  std::string_view Name() const {
    return {s_.name, std::min<size_t>(s_.nameLength, HtmlScanState::kMaxName)};
  }

  void EmitTag(size_t at, bool selfClosing) {
    HtmlToken token;
    token.kind = s_.endTag ? HtmlToken::END_TAG : HtmlToken::START_TAG;
    token.begin = s_.begin;
    token.end = at + 1;
    token.selfClosing = selfClosing;
    const bool tooLong = s_.nameLength > HtmlScanState::kMaxName;
    token.name = tooLong ? std::string_view("?") : Name();
    token.flags = tooLong ? 0 : HtmlTagFlags(token.name);
    token.excessBegin = s_.excessBegin;
    token.nameHash = s_.nameHash;
    s_.mode = DATA;
    if (!s_.endTag && !selfClosing && (token.flags & (TAG_RAW_TEXT | TAG_PLAINTEXT)) != 0) {
      s_.mode = (token.flags & TAG_PLAINTEXT) != 0 ? PLAINTEXT : RAW;
      std::memcpy(s_.raw, s_.name, sizeof s_.raw);
      s_.rawLength = static_cast<uint8_t>(token.name.size());
      s_.rawFlags = token.flags;
      s_.rawHash = s_.nameHash;
      s_.begin = at + 1;
      s_.matched = 0;
    }
    Deliver(token);
  }

  void Declaration(char c, size_t at) {
    if (c == '>') {
      s_.mode = DATA;
      Report(HtmlToken::DECLARATION, s_.begin, at + 1, true);
      return;
    }
    s_.decl[s_.declLength++] = c;
    const std::string_view seen(s_.decl, s_.declLength);
    if (seen == "--") {
      s_.mode = COMMENT_START;
      return;
    }
    constexpr std::string_view kCdata = "[CDATA[";
    constexpr std::string_view kDoctype = "doctype";
    if (kCdata.substr(0, seen.size()) == seen) {
      if (seen.size() == kCdata.size()) {
        s_.mode = CDATA;
        s_.matched = 0;
      }
      return;
    }
    bool doctype = true;
    for (size_t k = 0; k < seen.size(); ++k) doctype = doctype && Lower(seen[k]) == kDoctype[k];
    if (seen == "-" || (doctype && seen.size() < kDoctype.size())) return;
    s_.mode = BOGUS;  // <!DOCTYPE ...> and any other "<!" run to the next '>'
  }

  void EndComment(size_t at) {
    s_.mode = DATA;
    Report(HtmlToken::COMMENT, s_.begin, at + 1, true);
  }

  void RawByte(char c, size_t at) {
    const std::string_view raw(s_.raw, s_.rawLength);
    if (s_.matched == 0) {  // c == '<'
      s_.matched = 1;
      s_.rawEndTag = at;
    } else if (s_.matched == 1) {
      s_.matched = c == '/' ? 2 : (c == '<' ? 1 : 0);
      if (c == '<') s_.rawEndTag = at;
    } else if (s_.matched < 2 + raw.size()) {
      if (Lower(c) == raw[s_.matched - 2]) {
        ++s_.matched;
      } else {
        s_.matched = c == '<' ? 1 : 0;
        if (c == '<') s_.rawEndTag = at;
      }
    } else if (IsSpace(c) || c == '/' || c == '>') {
      if (s_.rawEndTag > s_.begin) ReportRaw(s_.begin, s_.rawEndTag, true);
      // The end tag goes on like any tag: attributes, then '>'.
      s_.begin = s_.rawEndTag;
      std::memcpy(s_.name, s_.raw, sizeof s_.name);
      s_.nameLength = s_.rawLength;
      s_.nameHash = s_.rawHash;
      s_.endTag = true;
      s_.attributes = 0;
      s_.excessBegin = 0;
      s_.matched = 0;
      s_.mode = TAG_NAME;
      Step(c, at);
    } else {
      s_.matched = c == '<' ? 1 : 0;
      if (c == '<') s_.rawEndTag = at;
    }
  }

  void ReportValue(size_t end, bool complete) {
    if (s_.endTag) return;
    HtmlToken token;
    token.kind = HtmlToken::ATTRIBUTE_VALUE;
    token.begin = s_.valueBegin;
    token.end = std::max(end, s_.valueBegin);
    token.complete = complete;
    token.nameHash = s_.attributeHash;
    Deliver(token);
  }

  void ReportRaw(size_t begin, size_t end, bool complete) {
    HtmlToken token;
    token.kind = HtmlToken::RAW_TEXT;
    token.begin = begin;
    token.end = end;
    token.complete = complete;
    token.name = std::string_view(s_.raw, s_.rawLength);
    token.flags = s_.rawFlags;
    Deliver(token);
  }

  void Report(HtmlToken::Kind kind, size_t begin, size_t end, bool complete) {
    HtmlToken token;
    token.kind = kind;
    token.begin = begin;
    token.end = end;
    token.complete = complete;
    Deliver(token);
  }

  void Deliver(const HtmlToken& token) {
    if (!handler_.Token(token, s_)) stop_ = true;
  }

  HtmlScanState& s_;
  size_t base_;
  HtmlTokenHandler& handler_;
  bool stop_ = false;
  bool reconsume_ = false;  // the byte just read is text, not part of a token
};

}  // namespace

uint32_t HtmlNameHash(std::string_view lowerName) {
  uint32_t hash = kHashSeed;
  for (const char c : lowerName) hash = HashByte(hash, c);
  return hash;
}

uint32_t HtmlTagFlags(std::string_view lowerName) {
  const auto* found = std::lower_bound(
      std::begin(kTags), std::end(kTags), lowerName,
      [](const TagEntry& entry, std::string_view key) { return entry.name < key; });
  return found != std::end(kTags) && found->name == lowerName ? found->flags : 0;
}

bool HtmlScanState::InRawText() const {
  return mode == RAW || mode == PLAINTEXT;
}

size_t ScanHtml(HtmlScanState& state, std::string_view bytes, size_t base,
                HtmlTokenHandler& handler) {
  Scanner scanner(state, base, handler);
  return scanner.Run(bytes);
}

void FlushHtml(HtmlScanState& state, size_t end, HtmlTokenHandler& handler) {
  Scanner scanner(state, 0, handler);
  scanner.Flush(end);
}

}  // namespace orth::cli
