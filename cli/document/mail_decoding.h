// The decoding a mail needs before its text can be checked: character sets,
// quoted-printable and base64 bodies, and the encoded words of a Subject
// ("=?utf-8?q?caf=C3=A9?="). Decoded text keeps, run by run, the source
// bytes it came from, so that words are reported where they stand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/span_sink.h"

namespace orth::cli {

enum class MailCharset : uint8_t {
  UTF8,         // UTF-8 and US-ASCII (the default)
  WINDOWS1252,  // ISO-8859-1 read as Windows-1252, as mail readers do
  UNSUPPORTED,  // any other: the text is not checked
};

// The character set a charset parameter names ("utf-8", "ISO-8859-1").
MailCharset CharsetNamed(std::string_view name);

// Decoded UTF-8 text with the source bytes of each run.
struct MailText {
  struct Run {
    size_t begin = 0;  // [begin, end) in `text`
    size_t end = 0;
    size_t sourceBegin = 0;  // the source bytes it came from
    size_t sourceEnd = 0;
    bool literal = false;  // the text is the source bytes themselves
  };
  std::string text;
  std::vector<Run> runs;

  void Clear() {
    text.clear();
    runs.clear();
  }
  // Source bytes at `source` that read as themselves.
  void AppendLiteral(std::string_view bytes, size_t source);
  // UTF-8 `decoded` standing for the source bytes [sourceBegin, sourceEnd).
  void AppendDecoded(std::string_view decoded, size_t sourceBegin, size_t sourceEnd);
  // Source bytes in `charset`: literal where they are ASCII or UTF-8,
  // decoded where the charset says otherwise.
  void AppendInCharset(std::string_view bytes, size_t source, MailCharset charset);
  // The source offset of `text[at]` (the end of the last run at the end).
  size_t SourceAt(size_t at) const;
};

// Hands `text[from, to)` to `sink`: literal runs as Text, the others as
// Decoded over their source bytes.
void EmitMapped(const MailText& text, size_t from, size_t to, SpanSink& sink);

// Appends the decoded bytes of one quoted-printable line (without its line
// end) at source offset `source`. Returns whether it ends in a soft line
// break ("=" at the end), which joins it to the next line.
bool AppendQuotedPrintable(std::string_view line, size_t source, MailCharset charset,
                           MailText& out);

// A base64 body read line by line: a group of four characters or a
// character cut at a line end carries to the next line.
class Base64Reader {
 public:
  // Appends what `line` (at source offset `source`) decodes to.
  void Append(std::string_view line, size_t source, MailCharset charset, MailText& out);
  void Reset() { *this = Base64Reader(); }

 private:
  uint32_t bits_ = 0;
  int sextets_ = 0;          // of the group being read
  std::string pending_;      // decoded bytes not yet ending a character
  size_t pendingBegin_ = 0;  // the source offset they start at
};

// Emits the value of a Subject field line (or a folded continuation line,
// which starts with white space) at source offset `source`: encoded words
// decoded, white space between two encoded words dropped. `lastEncoded`
// says whether the text so far ended in an encoded word; it is updated.
void EmitSubjectLine(std::string_view value, size_t source, bool& lastEncoded, SpanSink& sink);

}  // namespace orth::cli
