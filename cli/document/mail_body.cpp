#include "document/mail_body.h"

#include <algorithm>
#include <cctype>

#include "document/html_spans.h"

namespace orth::cli {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// Where `needle` (lower case) occurs in `text` from `from` on, ignoring
// ASCII case.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty() || text.size() < needle.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && std::tolower(static_cast<unsigned char>(text[i + k])) == needle[k])
      ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

// Hands on what EmitHtmlSpans says of decoded text, at the source bytes the
// text came from.
class MappedSink final : public SpanSink {
 public:
  MappedSink(const MailText& text, SpanSink& out) : text_(text), out_(out) {}

  void Text(std::string_view bytes, size_t offset, TextRole) override {
    EmitMapped(text_, offset, offset + bytes.size(), out_);
  }
  void Decoded(std::string_view decoded, size_t begin, size_t end, TextRole role) override {
    out_.Decoded(decoded, text_.SourceAt(begin), std::max(text_.SourceAt(begin), Source(end)),
                 role);
  }
  void Markup(size_t offset) override { out_.Markup(text_.SourceAt(offset)); }
  void Break(size_t offset) override { out_.Break(text_.SourceAt(offset)); }
  void Comment(std::string_view bytes, size_t offset) override {
    // Only a comment that stands as it is in the source can be handed on.
    const MailText::Run* run = RunAt(offset);
    if (run != nullptr && run->literal && offset + bytes.size() <= run->end)
      out_.Comment(bytes, run->sourceBegin + (offset - run->begin));
  }

 private:
  // The run that holds text[at], or null past the end.
  const MailText::Run* RunAt(size_t at) const {
    const auto run =
        std::upper_bound(text_.runs.begin(), text_.runs.end(), at,
                         [](size_t offset, const MailText::Run& r) { return offset < r.end; });
    return run == text_.runs.end() || run->begin > at ? nullptr : &*run;
  }

  // The source offset just after text[end - 1].
  size_t Source(size_t end) const {
    if (end == 0) return text_.SourceAt(0);
    const MailText::Run* run = RunAt(end - 1);
    if (run == nullptr) return text_.SourceAt(end);
    return run->literal ? run->sourceBegin + (end - run->begin) : run->sourceEnd;
  }

  const MailText& text_;
  SpanSink& out_;
};

}  // namespace

void PlainMailBody::Read(const MailText& text, size_t floor, SpanSink& sink) {
  const std::string_view bytes = text.text;
  size_t i = 0;
  while (i < bytes.size() && !ended_) {
    const char c = bytes[i];
    switch (line_) {
      case Line::START:
        if (c == '\n') {
          if (!blankRun_) sink.Break(text.SourceAt(i));
          blankRun_ = true;
          quotedRun_ = false;
          indented_ = false;
          ++i;
        } else if (IsSpace(c)) {
          indented_ = true;
          ++i;
        } else if (c == '>') {
          if (!quotedRun_) sink.Break(text.SourceAt(i));
          quotedRun_ = true;
          blankRun_ = false;
          line_ = Line::QUOTED;
        } else if (c == '-' && !indented_) {
          dashes_ = "-";
          dashesAt_ = text.SourceAt(i);
          line_ = Line::DASHES;
          ++i;
        } else if (!indented_ && bytes.substr(i, 11) == "diff --git ") {
          sink.Break(text.SourceAt(i));
          ended_ = true;
        } else {
          blankRun_ = false;
          quotedRun_ = false;
          line_ = Line::TEXT;
        }
        break;
      case Line::DASHES:
        if ((dashes_ == "-" && c == '-') || (dashes_ == "--" && c == ' ')) {
          dashes_ += c;
          ++i;
        } else if (c == '\r' && dashes_ != "-") {
          ++i;
        } else if (c == '\n' && dashes_ != "-") {
          sink.Break(text.SourceAt(i));  // a signature follows
          ended_ = true;
        } else {
          // Not a signature line: the dashes begin its text.
          const size_t at = std::max(dashesAt_, floor);
          sink.Decoded(dashes_, at, std::max(at, text.SourceAt(i)));
          blankRun_ = false;
          quotedRun_ = false;
          line_ = Line::TEXT;
        }
        break;
      case Line::TEXT:
      case Line::QUOTED: {
        const size_t newline = bytes.find('\n', i);
        const size_t stop = newline == std::string_view::npos ? bytes.size() : newline + 1;
        if (line_ == Line::TEXT) EmitMapped(text, i, stop, sink);
        if (newline != std::string_view::npos) {
          line_ = Line::START;
          indented_ = false;
        }
        i = stop;
        break;
      }
    }
  }
}

void HtmlMailBody::Read(const MailText& text, SpanSink& sink) {
  const std::string_view bytes = text.text;
  size_t i = 0;
  while (i < bytes.size()) {
    size_t found = 0;
    switch (state_) {
      case State::COMMENT:
        found = bytes.find("-->", i);
        i = found == std::string_view::npos ? bytes.size() : found + 3;
        if (found != std::string_view::npos) state_ = State::OUTSIDE;
        break;
      case State::TAG:  // then a script's or style's text when the tag opened one
        found = bytes.find('>', i);
        i = found == std::string_view::npos ? bytes.size() : found + 1;
        if (found != std::string_view::npos) state_ = rawEnd_.empty() ? State::OUTSIDE : State::RAW;
        break;
      case State::RAW:  // up to the end tag, which is then read as a tag
        found = FindNoCase(bytes, rawEnd_, i);
        i = found == std::string_view::npos ? bytes.size() : found;
        if (found != std::string_view::npos) {
          state_ = State::TAG;
          rawEnd_.clear();
        }
        break;
      case State::OUTSIDE: {
        // The longest stretch that closes all it opens goes to the HTML
        // reader; what stays open carries to the next line.
        size_t safe = bytes.size();
        State next = State::OUTSIDE;
        size_t j = i;
        while (j < bytes.size()) {
          const size_t open = bytes.find('<', j);
          if (open == std::string_view::npos) break;
          if (bytes.substr(open, 4) == "<!--") {
            const size_t close = bytes.find("-->", open + 4);
            if (close == std::string_view::npos) {
              safe = open;
              next = State::COMMENT;
              rawEnd_.clear();
              break;
            }
            j = close + 3;
            continue;
          }
          // A script or style element's text is not read, whether its
          // start tag ends on this line or a later one.
          std::string_view raw;
          for (const std::string_view name : {"script", "style"}) {
            if (FindNoCase(bytes.substr(open + 1, name.size()), name, 0) == 0) raw = name;
          }
          rawEnd_ = raw.empty() ? std::string() : "</" + std::string(raw);
          const size_t close = bytes.find('>', open + 1);
          if (close == std::string_view::npos) {
            safe = open;
            next = State::TAG;
            break;
          }
          j = close + 1;
          if (!raw.empty()) {
            const size_t endTag = FindNoCase(bytes, rawEnd_, j);
            if (endTag == std::string_view::npos) {
              safe = j;
              next = State::RAW;
            } else {
              j = endTag;
            }
          }
          if (next != State::OUTSIDE) break;
        }
        if (safe > i) {
          MappedSink mapped(text, sink);
          EmitHtmlSpans(bytes.substr(i, safe - i), i, mapped);
        }
        if (next != State::OUTSIDE) sink.Break(text.SourceAt(safe));
        state_ = next;
        i = safe;
        break;
      }
    }
  }
}

}  // namespace orth::cli
