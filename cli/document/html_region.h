// The spans of a stretch of HTML that gumbo parses at once (a whole
// document, a piece of a large one, a fragment in Markdown): the scanner
// (html_scanner.h) reports tags and comments, gumbo's tree says which text
// is read and which attributes, and the two are merged in source order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "document/html_nesting.h"
#include "document/html_scanner.h"
#include "document/span_sink.h"

namespace orth::cli {

// What is handed to the sink, held until every source has spoken.
struct HtmlEvent {
  enum Kind : uint8_t { TEXT, DECODED, MARKUP, BREAK, COMMENT, CODE };
  Kind kind = TEXT;
  uint8_t size = 0;  // DECODED: bytes of `utf8`
  char utf8[8] = {};
  size_t begin = 0;  // source offsets
  size_t end = 0;
};

// Source ranges hidden from gumbo: CDATA sections, "<script/>", the start
// tags HtmlNesting turns away and the attributes past the limit. They are
// turned into spaces in the copy gumbo reads, so that every offset stays.
using HtmlBlanks = std::vector<std::pair<size_t, size_t>>;

class HtmlEvents {
 public:
  void Add(HtmlEvent::Kind kind, size_t begin, size_t end = 0);
  void AddDecoded(std::string_view utf8, size_t begin, size_t end);
  // The events of raw source text (a text node, an attribute value):
  // plain runs, character references and, outside attributes, the tags
  // gumbo kept as text; blanked ranges are left out.
  void AddRawText(std::string_view raw, size_t offset, bool attribute, const HtmlBlanks& blanks);
  size_t size() const { return events_.size(); }
  void Truncate(size_t size) { events_.resize(size); }
  // Sorts by offset and hands everything to `sink`; `bytes` are the source
  // from `base` on, and hold every range added. Events that would overlap
  // one handed on before are dropped.
  void Emit(std::string_view bytes, size_t base, SpanSink& sink);

 private:
  std::vector<HtmlEvent> events_;
};

// Whether the content of a tag that starts skipping is still being skipped
// at a cut, so that the next piece goes on skipping: <pre> until </pre>,
// <code> until </code> or the next block.
struct HtmlSkip {
  enum Effect : uint8_t { NONE, ENDS_BEFORE, ENDS_AFTER };
  uint32_t hash = 0;
  bool phrase = false;
  bool active = false;

  Effect Follow(const HtmlToken& token);
};

// Whether an attribute (by HtmlNameHash of its name) holds prose wherever
// it stands: alt, title, placeholder, aria-label, aria-description.
bool IsProseAttribute(uint32_t nameHash);

// An attribute value as the scanner found it: gumbo's own positions of
// attribute values are wrong for some (a value-less attribute gives its
// name, an unquoted value that starts with a reference starts after it), so
// gumbo says which attributes count and the scanner says where they are.
struct HtmlAttributeValue {
  size_t tag = 0;  // where its start tag begins
  uint32_t nameHash = 0;
  size_t begin = 0;  // the value, without quotes
  size_t end = 0;
};

// Turns the scanner's tokens over one stretch (`source`, from `base` on)
// into events, blanks and attribute values.
class HtmlRegionScan final : public HtmlTokenHandler {
 public:
  HtmlRegionScan(HtmlEvents& events, std::string_view source, size_t base)
      : events_(events), source_(source), base_(base) {}
  bool Token(const HtmlToken& token, const HtmlScanState& state) override;

  // What the scan has found up to some point, to go back to it.
  struct Mark {
    size_t blanks = 0;
    size_t values = 0;
    std::vector<HtmlAttributeValue> pending;
    HtmlSkip skip;
  };
  Mark Save() const { return {blanks.size(), values.size(), pending_, skip}; }
  void Restore(const Mark& mark);

  HtmlBlanks blanks;
  std::vector<HtmlAttributeValue> values;  // of the start tags gumbo sees, in order
  HtmlNesting nesting;
  HtmlSkip skip;
  // Set before the last tokens of a document: a tag it ends inside never
  // ends, and its attributes are nobody's text.
  bool documentEnds = false;

 private:
  // Adds the prose values of the tag being scanned as they stand.
  void AddProseValues();

  HtmlEvents& events_;
  std::string_view source_;
  size_t base_;
  // The attribute values of the tag being scanned.
  std::vector<HtmlAttributeValue> pending_;
};

// Parses `bytes` (the source from `base` on, scanned by `scan`) with gumbo
// and adds the events of its text nodes and checked attributes.
void AddGumboEvents(std::string_view bytes, size_t base, const HtmlRegionScan& scan,
                    HtmlEvents& events);

}  // namespace orth::cli
