// Plain text: every line is checked; a line holding only white space ends a
// paragraph, so no doubled word is reported across it.
#include <cstring>
#include <memory>

#include "document/document_format.h"
#include "document/line_cut.h"

namespace orth::cli {

namespace {

class TextParser final : public DocumentParser {
 public:
  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    const size_t length = CompleteLinesLength(input, end);
    size_t paragraphStart = 0;  // where the text not yet handed on begins
    size_t position = 0;
    while (position < length) {
      size_t next = 0;
      const std::string_view line = LineAt(input.substr(0, length), position, next);
      if (IsBlankLine(line)) {
        if (position > paragraphStart) {
          sink.Text(input.substr(paragraphStart, position - paragraphStart), base + paragraphStart);
        }
        if (!inBlankRun_) sink.Break(base + position);
        inBlankRun_ = true;
        paragraphStart = next;
      } else {
        inBlankRun_ = false;
      }
      position = next;
    }
    if (length > paragraphStart) {
      sink.Text(input.substr(paragraphStart, length - paragraphStart), base + paragraphStart);
    }
    if (end == InputEnd::LAST) sink.Break(base + length);
    return length;
  }

 private:
  bool inBlankRun_ = false;
};

}  // namespace

std::unique_ptr<DocumentParser> MakePlainTextParser(const ParserContext&) {
  return std::make_unique<TextParser>();
}

const DocumentFormat& TextFormat() {
  static const DocumentFormat format{"text",
                                     {"none", "plain", "plaintext", "url"},
                                     {".txt", ".text"},
                                     {},
                                     nullptr,
                                     size_t{1} << 20,
                                     &MakePlainTextParser,
                                     "plain text: every line, paragraphs at blank lines"};
  return format;
}

}  // namespace orth::cli
