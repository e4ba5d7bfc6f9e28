// A resumable HTML tokenizer that finds tags, comments and raw text (the
// content of <script>, <style>, <title>, ...) without building a tree. The
// html format uses it beside gumbo: to emit the marks tags leave between
// words, to hand comments to the directive reader, to find where a large
// document can be cut, and to carry what is open at a cut (a comment, a
// script, a <pre>) into the next piece. Its state is a plain value, so a
// parser can keep it between pieces and copy it to go back to a line end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orth::cli {

// What HTML does with an element, by its tag name.
enum HtmlTagFlag : uint32_t {
  TAG_INLINE = 1u << 0,       // renders inside a line: a word continues across it
  TAG_VOID = 1u << 1,         // has no content and no end tag (<br>, <img>)
  TAG_SKIP_PHRASE = 1u << 2,  // its text is code, within a paragraph (<code>, <kbd>)
  TAG_SKIP_BLOCK = 1u << 3,   // its text is code or not prose, as a block (<pre>, <math>)
  TAG_RAW_TEXT = 1u << 4,     // its content is text up to its end tag (<script>, <title>)
  TAG_CHECKED_RAW = 1u << 5,  // ... and that text is prose (<title>, <textarea>)
  TAG_PLAINTEXT = 1u << 6,    // its content runs to the end of the input
  TAG_SPECIAL = 1u << 7,      // HTML's "special" elements: stray end tags stop at them
  TAG_SCOPE = 1u << 8,        // bounds the search of an end tag for its element
  TAG_FORMATTING = 1u << 9,   // reopened by the parser after a misnested end tag
  TAG_CLOSES_P = 1u << 10,    // its start tag closes an open <p>
  TAG_TABLE_PART = 1u << 11,  // table, row and cell elements
  TAG_MARKER = 1u << 12,      // bounds the reopening of formatting elements (cells)
  TAG_FOREIGN = 1u << 13,     // <svg>, <math>: "/>" closes elements inside
  TAG_LIST = 1u << 14,        // <ul>, <ol>: an </li> does not reach past them
};

// A hash that tells lower-case names apart.
uint32_t HtmlNameHash(std::string_view lowerName);

// The flags of a lower-case tag name; 0 for names HTML does not know.
uint32_t HtmlTagFlags(std::string_view lowerName);

struct HtmlToken {
  enum Kind : uint8_t {
    START_TAG,
    END_TAG,
    COMMENT,          // "<!-- ... -->", or the part of one inside the bytes scanned
    DECLARATION,      // <!DOCTYPE ...>, <?xml ...?>, other "<!...>" and bogus "</ ...>"
    CDATA,            // <![CDATA[ ... ]]>
    RAW_TEXT,         // the content of a raw text element, or the part of it scanned
    ATTRIBUTE_VALUE,  // a start tag's attribute value, without quotes, or the
                      // part of it scanned; reported before its tag
  };
  Kind kind = START_TAG;
  bool complete = true;      // false: the bytes ended inside it
  bool selfClosing = false;  // the start tag ends with "/>"
  size_t begin = 0;          // source offsets, clipped to the bytes scanned
  size_t end = 0;
  std::string_view name;   // tags and raw text: the lower-case tag name (at most
                           // kMaxName bytes kept), valid during the callback
  uint32_t flags = 0;      // HtmlTagFlags(name)
  uint32_t nameHash = 0;   // tags, attribute values: HtmlNameHash of the whole
                           // (tag or attribute) name, however long
  size_t excessBegin = 0;  // start tags with over kMaxAttributes attributes:
                           // where the first attribute past the limit begins
};

struct HtmlScanState {
  static constexpr size_t kMaxName = 15;
  static constexpr uint16_t kMaxAttributes = 64;

  uint8_t mode = 0;  // 0 is data: between tokens
  char quote = 0;
  bool endTag = false;
  uint8_t nameLength = 0;
  uint8_t rawLength = 0;
  uint8_t matched = 0;  // bytes of "</name", "]]" or "--" seen so far
  uint8_t declLength = 0;
  uint16_t attributes = 0;
  uint32_t rawFlags = 0;
  uint32_t nameHash = 0;
  uint32_t rawHash = 0;
  uint32_t attributeHash = 0;
  size_t valueBegin = 0;
  size_t begin = 0;      // where the open token (or raw text) began
  size_t rawEndTag = 0;  // where a candidate raw text end tag began
  size_t excessBegin = 0;
  char name[kMaxName] = {};
  char raw[kMaxName] = {};  // the raw text element's name
  char decl[7] = {};

  bool InData() const { return mode == 0; }
  bool InRawText() const;
};

class HtmlTokenHandler {
 public:
  virtual ~HtmlTokenHandler() = default;
  // Returns false to stop the scan after this token.
  virtual bool Token(const HtmlToken& token, const HtmlScanState& state) = 0;
  // Whether to stop as soon as the scanner is back between tokens, for a
  // caller that finishes a construct the last piece left open ("<" at its
  // end turns out to be text).
  virtual bool StopBetweenTokens() const { return false; }
};

// Scans `bytes`, the source from offset `base` on, from `state`, reporting
// each token that ends inside them. Returns the bytes consumed: all of them,
// or up to the end of the token the handler stopped at, or up to where the
// scanner got back between tokens (before a byte that is text).
size_t ScanHtml(HtmlScanState& state, std::string_view bytes, size_t base,
                HtmlTokenHandler& handler);

// Reports the part of an open comment or raw text up to `end` (the end of
// the bytes scanned) as an incomplete token, so that it is handled before a
// cut; the rest is reported from `end` on. An open tag is reported too (as
// an incomplete tag without a name), and reported again when it ends.
void FlushHtml(HtmlScanState& state, size_t end, HtmlTokenHandler& handler);

}  // namespace orth::cli
