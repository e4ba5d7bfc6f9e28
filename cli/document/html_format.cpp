// HTML and XML: the text people read, and the attributes that carry prose
// (alt, title, placeholder, aria-label, aria-description, the value of
// <input type=button|submit|reset>, the content of <meta name=description>).
// Not checked: tags and other attributes, the content of <script>, <style>,
// <code>, <pre>, <kbd>, <samp>, <var>, <tt>, <xmp>, <listing>, <math> and
// of <iframe>, <noembed> and <noframes> (fallbacks written as markup),
// doctypes, processing instructions and CDATA. <title> and <textarea> are
// prose. Comments go to the directive reader. Character references are
// decoded ("na&iuml;ve" is one word); a named one HTML does not define
// ("&product;", an XML entity) parts words and is not checked.
//
// Gumbo builds the tree (html_region.cpp); a scanner of our own
// (html_scanner.cpp) finds the tags, comments and attribute positions and
// bounds gumbo's work (html_nesting.cpp). Gumbo parses a whole stretch at
// once and takes some 15 to 60 times its size in memory, so the format asks
// for a window of 1 MiB (HtmlIdentity): smaller documents are parsed whole. A
// larger one is parsed a piece at a time, each cut in the second half of
// the window, at a line end where nothing is open if it can; what is open at
// a cut (a comment, a script, a tag split over lines, a <pre>) carries into
// the next piece. The pipe's one line at a time goes through the same path.
#include <memory>

#include "document/document_format.h"
#include "document/format_identities.h"
#include "document/html_fragments.h"
#include "document/html_region.h"
#include "document/html_scanner.h"
#include "document/html_spans.h"

namespace orth::cli {

namespace {

// The longest prefix of `bytes` that does not end inside a UTF-8 character.
size_t CompleteCharacters(std::string_view bytes) {
  size_t start = bytes.size();
  for (int back = 0; back < 4 && start > 0; ++back) {
    const auto byte = static_cast<unsigned char>(bytes[start - 1]);
    if ((byte & 0xC0) != 0x80) {
      const size_t need = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return bytes.size() - (start - 1) >= need ? bytes.size() : start - 1;
    }
    --start;
  }
  return bytes.size();  // not UTF-8 there: any cut will do
}

// Carries a skipped stretch into a piece: what is left of a comment, a
// script, a tag or a <pre> from the piece before.
class Resume final : public HtmlTokenHandler {
 public:
  Resume(std::string_view piece, size_t base, HtmlSkip& skip, SpanSink& sink)
      : piece_(piece), base_(base), skip_(skip), sink_(sink) {}

  bool Token(const HtmlToken& token, const HtmlScanState& state) override {
    const size_t begin = std::max(token.begin, base_);
    if (!token.complete &&
        (token.kind == HtmlToken::START_TAG || token.kind == HtmlToken::END_TAG)) {
      return true;  // the rest of the tag comes with the next piece
    }
    switch (token.kind) {
      case HtmlToken::START_TAG:
      case HtmlToken::END_TAG: {
        if (token.begin >= base_ && !skip_.active) {
          // A tag after the carried stretch is read again with the text
          // after it (its attributes too).
          stop = token.begin;
          rescan = true;
          return false;
        }
        const HtmlSkip::Effect effect = skip_.Follow(token);
        if (effect == HtmlSkip::ENDS_BEFORE && token.begin >= base_) {
          // So is the block that ends a <code>.
          skip_ = HtmlSkip{};
          stop = token.begin;
          rescan = true;
          return false;
        }
        // A tag the last piece cut was marked there, at its start.
        if (token.begin < base_) break;
        if ((token.flags & TAG_INLINE) != 0) {
          sink_.Markup(begin);
        } else {
          sink_.Break(begin);
        }
        break;
      }
      case HtmlToken::COMMENT:
        if (token.begin >= base_) sink_.Markup(begin);
        sink_.Comment(piece_.substr(begin - base_, token.end - begin), begin);
        break;
      case HtmlToken::DECLARATION:
      case HtmlToken::CDATA:
        sink_.Break(begin);
        break;
      case HtmlToken::RAW_TEXT:
        // The rest of a <title> or <textarea> is prose; of a script, not.
        if ((token.flags & TAG_CHECKED_RAW) != 0 && !skip_.active && token.end > begin) {
          HtmlEvents events;
          events.AddRawText(piece_.substr(begin - base_, token.end - begin), begin, false, {});
          events.Emit(piece_, base_, sink_);
        }
        return true;
      case HtmlToken::ATTRIBUTE_VALUE:
        // The rest of a tag the last piece cut: "<img src=x.png\n alt='...'>".
        if (IsProseAttribute(token.nameHash) && !skip_.active && state.begin < base_ &&
            token.end > begin) {
          HtmlEvents events;
          events.Add(HtmlEvent::BREAK, begin);
          events.AddRawText(piece_.substr(begin - base_, token.end - begin), begin, true, {});
          events.Add(HtmlEvent::BREAK, token.end);
          events.Emit(piece_, base_, sink_);
        }
        return true;
    }
    return !(state.InData() && !skip_.active);
  }

  bool StopBetweenTokens() const override { return !skip_.active; }

  size_t stop = 0;      // where the carried stretch ends before a tag
  bool rescan = false;  // that is to be read again

 private:
  std::string_view piece_;
  size_t base_;
  HtmlSkip& skip_;
  SpanSink& sink_;
};

// Where a full piece may be cut, best first: after its last byte when that
// ends a line (the pipe's lines are always taken whole); a line end where
// nothing is open; the end of a block tag or comment; any line end; the
// end of an inline tag. Only cuts that take at least half of the piece
// (with what a carried comment or script took before) are considered, so
// that the work stays linear. The scanner's state is kept at each, to go
// back to it.
class CutFinder final : public HtmlTokenHandler {
 public:
  struct Cut {
    bool valid = false;
    size_t at = 0;
    HtmlScanState state;
    HtmlRegionScan::Mark scan;
    size_t events = 0;
  };

  // `size` bytes from `base` on, of which at least `minimum` are to be
  // taken; 0 when the carried stretch before them took enough.
  CutFinder(size_t size, size_t base, size_t minimum, HtmlRegionScan& scan, HtmlEvents& events)
      : size_(size), base_(base), minimum_(minimum), scan_(scan), events_(events) {
    if (minimum == 0) Offer(1, 0, HtmlScanState{});
  }

  bool Token(const HtmlToken& token, const HtmlScanState& state) override {
    scan_.Token(token, state);
    if (token.complete && state.InData() && !scan_.skip.active) {
      const bool inlineTag =
          (token.flags & TAG_INLINE) != 0 &&
          (token.kind == HtmlToken::START_TAG || token.kind == HtmlToken::END_TAG);
      Offer(inlineTag ? 4 : 2, token.end - base_, state);
    }
    return true;
  }

  void LineEnd(size_t at, const HtmlScanState& state) {
    const bool clean = state.InData() && !scan_.skip.active;
    Offer(at == size_ ? 0 : clean ? 1 : 3, at, state);
  }

  const Cut* Best() const {
    for (const Cut& cut : cuts_) {
      if (cut.valid) return &cut;
    }
    return nullptr;
  }

 private:
  void Offer(size_t rank, size_t at, const HtmlScanState& state) {
    if (at < minimum_) return;
    cuts_[rank] = {true, at, state, scan_.Save(), events_.size()};
  }

  size_t size_;
  size_t base_;
  size_t minimum_;
  HtmlRegionScan& scan_;
  HtmlEvents& events_;
  Cut cuts_[5];
};

}  // namespace

class HtmlDocumentParser final : public DocumentParser {
 public:
  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    if (end == InputEnd::MORE) return 0;  // gumbo wants whole documents
    const bool last = end == InputEnd::LAST;
    if (!last) {
      const size_t complete = CompleteCharacters(input);
      if (complete > 0) input = input.substr(0, complete);
    }
    size_t taken = Carry(input, base, last, sink);
    if (taken < input.size()) {
      // Take at least half of a full piece, and something.
      const size_t half = input.size() / 2;
      const size_t minimum =
          taken > 0 ? (taken >= half ? 0 : half - taken) : std::max<size_t>(half, 1);
      taken += Region(input.substr(taken), base + taken, last, minimum, sink);
    }
    if (last) sink.Break(base + input.size());
    return taken;
  }

  // Takes all of `html`, a piece of a document read in pieces of the
  // caller's choosing; what it leaves open carries into the next.
  void Fragment(std::string_view html, size_t base, SpanSink& sink) {
    const size_t taken = Carry(html, base, false, sink);
    if (taken < html.size()) Region(html.substr(taken), base + taken, false, kWhole, sink);
  }

  bool Open() const { return !state_.InData() || skip_.active; }

 private:
  static constexpr size_t kWhole = ~size_t{0};

  // Finishes what the last piece left open; returns the bytes taken.
  size_t Carry(std::string_view input, size_t base, bool last, SpanSink& sink) {
    if (state_.InData() && !skip_.active) return 0;
    Resume resume(input, base, skip_, sink);
    const size_t scanned = ScanHtml(state_, input, base, resume);
    if (resume.rescan) {
      state_ = HtmlScanState{};
      return resume.stop - base;
    }
    if (state_.InData() && !skip_.active) {  // done: the rest is read afresh
      state_ = HtmlScanState{};
      return scanned;
    }
    FlushHtml(state_, base + input.size(), resume);
    if (last) state_ = HtmlScanState{};
    return input.size();  // still open: the next piece goes on
  }

  // Parses a stretch that starts between tokens and returns the bytes
  // taken: at least `minimum` (kWhole: all) unless `last`, all.
  size_t Region(std::string_view input, size_t base, bool last, size_t minimum, SpanSink& sink) {
    HtmlEvents events;
    HtmlRegionScan scan(events, input, base);
    state_ = HtmlScanState{};
    size_t cut = input.size();
    if (last || minimum == kWhole) {
      ScanHtml(state_, input, base, scan);
    } else {
      cut = ScanToCut(input, base, minimum, scan, events);
      if (cut == 0) return 0;
    }
    scan.documentEnds = last;
    FlushHtml(state_, base + cut, scan);
    skip_ = scan.skip;
    AddGumboEvents(input.substr(0, cut), base, scan, events);
    events.Emit(input.substr(0, cut), base, sink);
    return cut;
  }

  // Scans the piece and picks where to cut it (see CutFinder).
  size_t ScanToCut(std::string_view input, size_t base, size_t minimum, HtmlRegionScan& scan,
                   HtmlEvents& events) {
    CutFinder finder(input.size(), base, minimum, scan, events);
    size_t position = 0;
    while (position < input.size()) {
      const size_t newline = input.find('\n', position);
      const size_t next = newline == std::string_view::npos ? input.size() : newline + 1;
      ScanHtml(state_, input.substr(position, next - position), base + position, finder);
      position = next;
      if (newline != std::string_view::npos) finder.LineEnd(position, state_);
    }
    if (const CutFinder::Cut* cut = finder.Best()) {
      state_ = cut->state;
      scan.Restore(cut->scan);
      events.Truncate(cut->events);
      return cut->at;
    }
    const size_t space = input.find_last_of(" \t");
    if (space == std::string_view::npos || space + 1 < minimum) return input.size();
    // Rare (no line end and no tag in half a window): scan again up to the
    // space.
    events.Truncate(0);
    scan.Restore({});
    scan.nesting = HtmlNesting{};
    state_ = HtmlScanState{};
    ScanHtml(state_, input.substr(0, space + 1), base, scan);
    return space + 1;
  }

  HtmlScanState state_;
  HtmlSkip skip_;
};

namespace {

std::unique_ptr<DocumentParser> MakeHtmlParser(const ParserContext&) {
  return std::make_unique<HtmlDocumentParser>();
}

}  // namespace

HtmlFragments::HtmlFragments() : parser_(std::make_unique<HtmlDocumentParser>()) {}
HtmlFragments::~HtmlFragments() = default;
HtmlFragments::HtmlFragments(HtmlFragments&&) noexcept = default;
HtmlFragments& HtmlFragments::operator=(HtmlFragments&&) noexcept = default;

void HtmlFragments::Emit(std::string_view html, size_t base, SpanSink& sink) {
  parser_->Fragment(html, base, sink);
}

bool HtmlFragments::SkipsText() const {
  return parser_->Open();
}

void EmitHtmlSpans(std::string_view html, size_t base, SpanSink& sink) {
  HtmlEvents events;
  HtmlRegionScan scan(events, html, base);
  HtmlScanState state;
  ScanHtml(state, html, base, scan);
  scan.documentEnds = true;
  FlushHtml(state, base + html.size(), scan);
  AddGumboEvents(html, base, scan, events);
  events.Emit(html, base, sink);
}

const DocumentFormat& HtmlFormat() {
  static const DocumentFormat format = [] {
    DocumentFormat row = HtmlIdentity();
    row.make = &MakeHtmlParser;
    row.summary = "HTML and XML: text and prose attributes (alt, title, ...), not code or scripts";
    return row;
  }();
  return format;
}

}  // namespace orth::cli
