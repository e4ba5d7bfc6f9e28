#include "document/html_region.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "document/html_entities.h"

namespace orth::cli {

namespace {

bool IsAsciiAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

constexpr std::string_view kSoftHyphen = "\xC2\xAD";
const uint32_t kHtmlHash = HtmlNameHash("html");
const uint32_t kBodyHash = HtmlNameHash("body");

// Where `piece` lies in `buffer`, if it lies inside it at all: gumbo leaves
// pieces empty or pointing elsewhere for the nodes it makes up.
bool Locate(const GumboStringPiece& piece, std::string_view buffer, size_t& offset) {
  if (piece.data == nullptr || piece.length == 0) return false;
  const auto start = reinterpret_cast<uintptr_t>(buffer.data());
  const auto at = reinterpret_cast<uintptr_t>(piece.data);
  if (at < start || at - start > buffer.size() || piece.length > buffer.size() - (at - start)) {
    return false;
  }
  offset = at - start;
  return true;
}

// The elements whose text is not prose: code, scripts, formulas.
bool SkipsContent(GumboTag tag) {
  if (tag == GUMBO_TAG_UNKNOWN || tag >= GUMBO_TAG_LAST) return false;
  const uint32_t flags = HtmlTagFlags(gumbo_normalized_tagname(tag));
  return (flags & TAG_CHECKED_RAW) == 0 &&
         (flags & (TAG_SKIP_PHRASE | TAG_SKIP_BLOCK | TAG_RAW_TEXT)) != 0;
}

// Code elements (code, kbd, samp, var, tt, pre): not scripts or styles.
bool IsCode(GumboTag tag) {
  const uint32_t flags = HtmlTagFlags(gumbo_normalized_tagname(tag));
  return (flags & TAG_RAW_TEXT) == 0;
}

bool HasValue(const GumboElement& element, const char* name, std::string_view value) {
  const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
  return attribute != nullptr && attribute->value != nullptr &&
         EqualNoCase(attribute->value, value);
}

constexpr std::string_view kProseAttributes[] = {"alt", "title", "placeholder", "aria-label",
                                                 "aria-description"};

// The attributes people read: alternative text, tooltips, placeholders,
// labels for screen readers, the captions of buttons and a page's summary.
bool IsChecked(const GumboElement& element, std::string_view name) {
  for (const std::string_view prose : kProseAttributes) {
    if (name == prose) return true;
  }
  if (name == "value" && element.tag == GUMBO_TAG_INPUT) {
    return HasValue(element, "type", "button") || HasValue(element, "type", "submit") ||
           HasValue(element, "type", "reset");
  }
  return name == "content" && element.tag == GUMBO_TAG_META &&
         HasValue(element, "name", "description");
}

class TreeWalk {
 public:
  TreeWalk(std::string_view source, std::string_view buffer, size_t base,
           const HtmlRegionScan& scan, HtmlEvents& events)
      : source_(source), buffer_(buffer), base_(base), scan_(scan), events_(events) {}

  // Depth first without recursion: trees may be a few hundred levels deep.
  void Run(GumboNode* root) {
    std::vector<std::pair<const GumboVector*, unsigned>> stack;
    Visit(root, stack);
    while (!stack.empty()) {
      auto& [children, next] = stack.back();
      if (next >= children->length) {
        stack.pop_back();
        continue;
      }
      auto* child = static_cast<GumboNode*>(children->data[next++]);
      Visit(child, stack);
    }
  }

 private:
  void Visit(GumboNode* node, std::vector<std::pair<const GumboVector*, unsigned>>& stack) {
    if (node == nullptr) return;
    switch (node->type) {
      case GUMBO_NODE_DOCUMENT:
        stack.emplace_back(&node->v.document.children, 0u);
        break;
      case GUMBO_NODE_ELEMENT:
      case GUMBO_NODE_TEMPLATE: {
        const GumboElement& element = node->v.element;
        // Copies the parser makes of misnested formatting elements share
        // their attributes with the original, and are not the author's code
        // markup: an unclosed <code> costs its paragraph, not the page.
        const bool copy = (node->parse_flags & (GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT |
                                                GUMBO_INSERTION_ADOPTION_AGENCY_CLONED)) != 0;
        if (!copy) Attributes(element);
        if (!copy && SkipsContent(element.tag) && !SelfClosed(element)) {
          if (IsCode(element.tag)) CodeText(node);
          break;
        }
        stack.emplace_back(&element.children, 0u);
        break;
      }
      case GUMBO_NODE_TEXT:
      case GUMBO_NODE_WHITESPACE: {  // "a<b> </b>b" is two words
        size_t offset = 0;
        if (Locate(node->v.text.original_text, buffer_, offset)) {
          events_.AddRawText(source_.substr(offset, node->v.text.original_text.length),
                             base_ + offset, false, scan_.blanks);
        }
        break;
      }
      default:  // comments (the scanner has them), CDATA
        break;
    }
  }

  // The text under a code element, for the names the prose may mention.
  void CodeText(GumboNode* root) {
    std::vector<std::pair<const GumboVector*, unsigned>> stack;
    stack.emplace_back(&root->v.element.children, 0u);
    while (!stack.empty()) {
      auto& [children, next] = stack.back();
      if (next >= children->length) {
        stack.pop_back();
        continue;
      }
      auto* child = static_cast<GumboNode*>(children->data[next++]);
      if (child->type == GUMBO_NODE_ELEMENT) {
        stack.emplace_back(&child->v.element.children, 0u);
      } else if (child->type == GUMBO_NODE_TEXT) {
        size_t offset = 0;
        if (Locate(child->v.text.original_text, buffer_, offset)) {
          events_.Add(HtmlEvent::CODE, base_ + offset,
                      base_ + offset + child->v.text.original_text.length);
        }
      }
    }
  }

  // "<code/>" in XHTML: nothing to skip, though HTML would leave it open.
  bool SelfClosed(const GumboElement& element) const {
    size_t offset = 0;
    if (!Locate(element.original_tag, buffer_, offset)) return false;
    const std::string_view tag = source_.substr(offset, element.original_tag.length);
    return tag.size() >= 3 && tag.front() == '<' && tag.substr(tag.size() - 2) == "/>";
  }

  void Attributes(const GumboElement& element) {
    size_t offset = 0;
    if (element.attributes.length == 0 || !Locate(element.original_tag, buffer_, offset)) return;
    const auto [first, last] =
        std::equal_range(scan_.values.begin(), scan_.values.end(), base_ + offset,
                         [](const auto& a, const auto& b) { return TagOf(a) < TagOf(b); });
    for (unsigned i = 0; i < element.attributes.length; ++i) {
      const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
      if (attribute->name == nullptr || !IsChecked(element, attribute->name)) continue;
      // The first of the tag's values with that name: gumbo drops repeats.
      const uint32_t hash = HtmlNameHash(attribute->name);
      const auto value = std::find_if(
          first, last, [hash](const HtmlAttributeValue& v) { return v.nameHash == hash; });
      if (value == last || value->end <= value->begin || value->begin < base_ ||
          value->end > base_ + source_.size()) {
        continue;
      }
      events_.Add(HtmlEvent::BREAK, value->begin);
      events_.AddRawText(source_.substr(value->begin - base_, value->end - value->begin),
                         value->begin, true, scan_.blanks);
      events_.Add(HtmlEvent::BREAK, value->end);
    }
  }

  static size_t TagOf(const HtmlAttributeValue& value) { return value.tag; }
  static size_t TagOf(size_t tag) { return tag; }

  std::string_view source_;  // the original bytes
  std::string_view buffer_;  // what gumbo read: the same, or a blanked copy
  size_t base_;
  const HtmlRegionScan& scan_;
  HtmlEvents& events_;
};

}  // namespace

void HtmlEvents::Add(HtmlEvent::Kind kind, size_t begin, size_t end) {
  HtmlEvent event;
  event.kind = kind;
  event.begin = begin;
  event.end = std::max(begin, end);
  events_.push_back(event);
}

void HtmlEvents::AddDecoded(std::string_view utf8, size_t begin, size_t end) {
  HtmlEvent event;
  event.kind = HtmlEvent::DECODED;
  event.size = static_cast<uint8_t>(std::min(utf8.size(), sizeof event.utf8));
  std::memcpy(event.utf8, utf8.data(), event.size);
  event.begin = begin;
  event.end = end;
  events_.push_back(event);
}

void HtmlEvents::AddRawText(std::string_view raw, size_t offset, bool attribute,
                            const HtmlBlanks& blanks) {
  auto blank = std::upper_bound(
      blanks.begin(), blanks.end(), offset,
      [](size_t at, const std::pair<size_t, size_t>& range) { return at < range.second; });
  size_t run = 0;  // where the plain text not yet added begins
  size_t i = 0;
  // A byte-order mark opens the input; it is not text.
  if (offset == 0 && raw.substr(0, 3) == "\xEF\xBB\xBF") run = i = 3;
  auto flush = [&](size_t to) {
    if (to > run) Add(HtmlEvent::TEXT, offset + run, offset + to);
  };
  while (i < raw.size()) {
    const size_t limit =
        blank == blanks.end()
            ? raw.size()
            : std::min(raw.size(), blank->first > offset ? blank->first - offset : 0);
    if (i >= limit) {  // inside a blanked range
      flush(i);
      i = std::max(i, std::min(raw.size(), blank->second - offset));
      run = i;
      ++blank;
      continue;
    }
    const char c = raw[i];
    if (c == '&') {
      const HtmlEntity entity = ReadHtmlEntity(raw.substr(i, limit - i), attribute);
      if (entity.kind != HtmlEntity::NONE) {
        flush(i);
        if (entity.kind == HtmlEntity::UNKNOWN) {
          // "&product;": an entity an XML document defines; not checked.
          Add(HtmlEvent::BREAK, offset + i);
        } else if (entity.text() == kSoftHyphen) {
          Add(HtmlEvent::MARKUP, offset + i);  // "hy&shy;phen" is one word
        } else {
          AddDecoded(entity.text(), offset + i, offset + i + entity.length);
        }
        i += entity.length;
        run = i;
        continue;
      }
    } else if (c == '<' && !attribute && i + 1 < limit &&
               (IsAsciiAlpha(raw[i + 1]) || raw[i + 1] == '/' || raw[i + 1] == '!' ||
                raw[i + 1] == '?')) {
      // A tag gumbo dropped but kept inside the text node ("x</span>y"), or
      // markup inside <title> and <textarea>.
      flush(i);
      Add(HtmlEvent::BREAK, offset + i);
      const size_t close = raw.find('>', i);
      i = close == std::string_view::npos ? raw.size() : close + 1;
      run = i;
      continue;
    }
    ++i;
  }
  flush(raw.size());
}

void HtmlEvents::Emit(std::string_view bytes, size_t base, SpanSink& sink) {
  std::stable_sort(events_.begin(), events_.end(),
                   [](const HtmlEvent& a, const HtmlEvent& b) { return a.begin < b.begin; });
  size_t last = base;
  const size_t stop = base + bytes.size();
  for (const HtmlEvent& event : events_) {
    if (event.begin < last || event.end > stop) continue;
    switch (event.kind) {
      case HtmlEvent::TEXT:
        sink.Text(bytes.substr(event.begin - base, event.end - event.begin), event.begin);
        last = event.end;
        break;
      case HtmlEvent::DECODED:
        sink.Decoded(std::string_view(event.utf8, event.size), event.begin, event.end);
        last = event.end;
        break;
      case HtmlEvent::MARKUP:
        sink.Markup(event.begin);
        last = event.begin;
        break;
      case HtmlEvent::BREAK:
        sink.Break(event.begin);
        last = event.begin;
        break;
      case HtmlEvent::COMMENT:
        sink.Comment(bytes.substr(event.begin - base, event.end - event.begin), event.begin);
        last = event.end;
        break;
      case HtmlEvent::CODE:  // consumes nothing: what is inside may still speak
        sink.Code(bytes.substr(event.begin - base, event.end - event.begin), event.begin);
        break;
    }
  }
  events_.clear();
}

HtmlSkip::Effect HtmlSkip::Follow(const HtmlToken& token) {
  if (token.kind != HtmlToken::START_TAG && token.kind != HtmlToken::END_TAG) return NONE;
  Effect effect = NONE;
  if (active) {
    if (token.kind == HtmlToken::END_TAG && token.nameHash == hash) {
      active = false;
      return ENDS_AFTER;
    }
    if (!phrase || (token.flags & (TAG_CLOSES_P | TAG_TABLE_PART)) == 0) return NONE;
    active = false;  // "<code>x</p>": the paragraph ends the code
    effect = ENDS_BEFORE;
  }
  const uint32_t skips = TAG_SKIP_PHRASE | TAG_SKIP_BLOCK;
  if (token.kind == HtmlToken::START_TAG && !token.selfClosing && (token.flags & skips) != 0 &&
      (token.flags & (TAG_RAW_TEXT | TAG_PLAINTEXT)) == 0) {
    active = true;
    hash = token.nameHash;
    phrase = (token.flags & TAG_SKIP_PHRASE) != 0;
  }
  return effect;
}

bool IsProseAttribute(uint32_t nameHash) {
  static const auto hashes = [] {
    std::vector<uint32_t> all;
    for (const std::string_view name : kProseAttributes) all.push_back(HtmlNameHash(name));
    return all;
  }();
  return std::find(hashes.begin(), hashes.end(), nameHash) != hashes.end();
}

void HtmlRegionScan::Restore(const Mark& mark) {
  blanks.resize(mark.blanks);
  values.resize(mark.values);
  pending_ = mark.pending;
  skip = mark.skip;
}

void HtmlRegionScan::AddProseValues() {
  for (const HtmlAttributeValue& value : pending_) {
    if (!IsProseAttribute(value.nameHash) || value.end <= value.begin || value.begin < base_ ||
        value.end > base_ + source_.size()) {
      continue;
    }
    events_.Add(HtmlEvent::BREAK, value.begin);
    events_.AddRawText(source_.substr(value.begin - base_, value.end - value.begin), value.begin,
                       true, blanks);
    events_.Add(HtmlEvent::BREAK, value.end);
  }
}

bool HtmlRegionScan::Token(const HtmlToken& token, const HtmlScanState&) {
  const auto mark = (token.flags & TAG_INLINE) != 0 ? HtmlEvent::MARKUP : HtmlEvent::BREAK;
  if (token.kind == HtmlToken::ATTRIBUTE_VALUE) {
    pending_.push_back({0, token.nameHash, token.begin, token.end});
    return true;
  }
  if (!token.complete && (token.kind == HtmlToken::START_TAG || token.kind == HtmlToken::END_TAG)) {
    // A tag the end of the stretch cuts (the next piece has the rest): gumbo
    // drops it, but only after reading every attribute in it.
    if (!documentEnds) AddProseValues();
    pending_.clear();
    blanks.emplace_back(token.begin, token.end);
    events_.Add(HtmlEvent::BREAK, token.begin);
    return true;
  }
  switch (token.kind) {
    case HtmlToken::START_TAG: {
      const bool raw = (token.flags & (TAG_RAW_TEXT | TAG_PLAINTEXT)) != 0;
      if (!nesting.Admit(token) || (raw && token.selfClosing)) {
        // "<script/>" is empty, as XHTML means it; HTML would read the rest
        // of the page as script.
        blanks.emplace_back(token.begin, token.end);
        pending_.clear();
      } else if (token.excessBegin != 0) {
        blanks.emplace_back(token.excessBegin, token.end - 1);
      }
      for (HtmlAttributeValue& value : pending_) {
        value.tag = token.begin;
        values.push_back(value);
      }
      // Gumbo merges the attributes of <html> and <body> into elements
      // that, read as body content, are not in its tree.
      if (token.nameHash == kHtmlHash || token.nameHash == kBodyHash) AddProseValues();
      events_.Add(mark, token.begin);
      skip.Follow(token);
      break;
    }
    case HtmlToken::END_TAG:
      nesting.Admit(token);
      events_.Add(mark, token.begin);
      skip.Follow(token);
      break;
    case HtmlToken::COMMENT:
      // A comment renders as nothing: "foo<!-- -->bar" reads "foobar".
      events_.Add(HtmlEvent::MARKUP, token.begin);
      events_.Add(HtmlEvent::COMMENT, token.begin, token.end);
      break;
    case HtmlToken::DECLARATION:
      events_.Add(HtmlEvent::BREAK, token.begin);
      break;
    case HtmlToken::CDATA:
      events_.Add(HtmlEvent::BREAK, token.begin);
      blanks.emplace_back(token.begin, token.end);
      break;
    case HtmlToken::RAW_TEXT:  // gumbo's text nodes have it
    case HtmlToken::ATTRIBUTE_VALUE:
      break;
  }
  pending_.clear();
  return true;
}

namespace {

// Renames every <select> and </select> tag of `text` to <xelect>, letter for
// letter. The gumbo of Debian 12 (0.10.1) fails an assertion, and aborts the
// process, on a select inside SVG or MathML inside a table
// ("<table><svg><select><title><select><td>"); as an element of no special
// kind the tag has nothing to trip over, and its options are read the same.
// Returns whether anything was renamed.
bool RenameSelectTags(std::string& text) {
  static constexpr std::string_view kName = "select";
  bool renamed = false;
  for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
    size_t name = at + 1;
    if (name < text.size() && text[name] == '/') ++name;
    if (text.size() - name < kName.size() + 1) break;
    bool same = true;
    for (size_t i = 0; i < kName.size() && same; ++i) {
      same = (text[name + i] | 0x20) == kName[i];
    }
    const char after = text[name + kName.size()];
    if (!same || std::isalnum(static_cast<unsigned char>(after)) || after == '-') continue;
    text[name] = 'x';
    renamed = true;
  }
  return renamed;
}

}  // namespace

void AddGumboEvents(std::string_view bytes, size_t base, const HtmlRegionScan& scan,
                    HtmlEvents& events) {
  const HtmlBlanks& blanks = scan.blanks;
  std::string copy(bytes);
  for (const auto& [begin, end] : blanks) {
    if (begin < base || end > base + bytes.size() || begin >= end) continue;
    std::memset(copy.data() + (begin - base), ' ', end - begin);
  }
  RenameSelectTags(copy);
  const std::string_view buffer = copy;
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;  // nobody reads them; they cost memory on bad pages
  // Read as the content of <body>: a piece of a large document starts in
  // the middle of one, and a document's first modes would drop the white
  // space that parts its first word from the last word of the piece before.
  options.fragment_context = GUMBO_TAG_BODY;
  GumboOutput* output = gumbo_parse_with_options(&options, buffer.data(), buffer.size());
  if (output == nullptr) return;
  TreeWalk(bytes, buffer, base, scan, events).Run(output->document);
  gumbo_destroy_output(&options, output);
}

}  // namespace orth::cli
