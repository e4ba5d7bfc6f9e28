// E-mail (one message, or an mbox of many): the Subject and the body are
// checked; every other header, quoted lines, the signature and the parts
// that are not text (images, attachments, calendars, forwarded messages)
// are skipped. MIME multiparts are followed, nested too; quoted-printable
// and base64 text is decoded in its character set (mail_decoding.h); HTML
// parts go to the HTML reader.
//
// Every line moves one state machine (message headers, part headers, body)
// by one step, so that a mail fed one line at a time reads as the whole
// file does, and a malformed message costs no more than its own lines: the
// next "From " line of an mbox starts afresh whatever came before.
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "document/document_format.h"
#include "document/line_cut.h"
#include "document/mail_body.h"
#include "document/mail_decoding.h"

namespace orth::cli {

namespace {

constexpr size_t kMaxNesting = 8;         // multiparts followed inside each other
constexpr size_t kMaxBoundary = 200;      // RFC 2046 allows 70
constexpr size_t kMaxHeaderValue = 1024;  // of the fields that say how a body reads

std::string Lower(std::string_view text) {
  std::string lower;
  for (const char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view Trim(std::string_view text) {
  const size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t\r") + 1 - start);
}

// The value of parameter `name` (lower case) in a header value such as
// `text/plain; charset="utf-8"; format=flowed`.
std::string Parameter(std::string_view value, std::string_view name) {
  size_t at = value.find(';');
  while (at != std::string_view::npos) {
    const std::string_view rest = Trim(value.substr(at + 1));
    const size_t equals = rest.find('=');
    const size_t stop = rest.find(';');
    if (equals != std::string_view::npos && equals < stop &&
        Lower(Trim(rest.substr(0, equals))) == name) {
      std::string_view found = Trim(rest.substr(equals + 1));
      if (!found.empty() && found[0] == '"') {
        const size_t close = found.find('"', 1);
        return std::string(found.substr(1, close == std::string_view::npos ? close : close - 1));
      }
      return std::string(Trim(found.substr(0, found.find(';'))));
    }
    at = value.find(';', at + 1);
  }
  return {};
}

// An mbox postmark: "From sender Mon Jan  1 00:00:00 2024" (a time in it).
bool IsPostmark(std::string_view line) {
  if (line.substr(0, 5) != "From ") return false;
  for (size_t i = 6; i + 2 < line.size(); ++i) {
    if (line[i] == ':' && std::isdigit(static_cast<unsigned char>(line[i - 1])) != 0 &&
        std::isdigit(static_cast<unsigned char>(line[i + 1])) != 0 &&
        std::isdigit(static_cast<unsigned char>(line[i + 2])) != 0)
      return true;
  }
  return false;
}

// The name of a header field line ("Subject" of "Subject: Hi"), empty when
// the line is not one.
std::string_view FieldName(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return {};
  for (const char c : line.substr(0, colon)) {
    if (c <= ' ' || c > '~') return {};
  }
  return line.substr(0, colon);
}

// Whether a part of this type is text people wrote: text/plain and the
// other text types (text/markdown, text/asciidoc, text/enriched), but not
// the text types that hold data or code (calendars, cards, patches, style
// sheets, scripts, tables).
bool IsProseType(std::string_view type) {
  if (type.empty()) return true;
  if (type.rfind("text/", 0) != 0) return false;
  for (const std::string_view data :
       {"text/calendar", "text/vcard", "text/x-vcard", "text/directory", "text/x-patch",
        "text/x-diff", "text/css", "text/javascript", "text/csv", "text/tab-separated-values",
        "text/rfc822-headers", "text/xml", "text/x-c", "text/x-python", "text/x-shellscript"}) {
    if (type == data) return false;
  }
  return true;
}

class EmailParser final : public DocumentParser {
 public:
  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    const size_t length = ForEachPieceLine(input, base, end, [&](const PieceLine& line) {
      if (atLineStart_) {
        Line(line.text, line.offset, line.lineEnd, sink);
      } else if (stage_ == Stage::BODY) {
        // The rest of a line longer than the window.
        Body(line.text, line.offset, line.lineEnd, sink);
      } else {
        FieldText(line.text, line.offset, sink);
      }
      atLineStart_ = line.complete;
      return true;
    });
    if (end == InputEnd::LAST) sink.Break(base + length);
    return length;
  }

 private:
  enum class Stage : uint8_t { HEADERS, PART_HEADERS, BODY };
  enum class Field : uint8_t { OTHER, SUBJECT, CONTENT_TYPE, TRANSFER_ENCODING, DISPOSITION };
  enum class Content : uint8_t { PLAIN, HTML, SKIP };
  enum class Transfer : uint8_t { IDENTITY, QUOTED_PRINTABLE, BASE64 };

  void Line(std::string_view line, size_t at, std::string_view lineEnd, SpanSink& sink) {
    const bool blank = IsBlankLine(line);
    if (previousBlank_ && IsPostmark(line)) {
      StartMessage();
      sink.Break(at);
      previousBlank_ = false;
      return;
    }
    previousBlank_ = blank;
    if (stage_ == Stage::BODY) {
      if (!Boundary(line, at, sink)) Body(line, at, lineEnd, sink);
      return;
    }
    if (blank) {
      EndHeaders(at, sink);
    } else if (line[0] == ' ' || line[0] == '\t') {
      FieldText(line, at, sink);  // a folded field
    } else if (const std::string_view name = FieldName(line); !name.empty()) {
      if (field_ == Field::SUBJECT) sink.Break(at);
      const std::string lower = Lower(name);
      field_ = lower == "subject" && stage_ == Stage::HEADERS ? Field::SUBJECT
               : lower == "content-type"                      ? Field::CONTENT_TYPE
               : lower == "content-transfer-encoding"         ? Field::TRANSFER_ENCODING
               : lower == "content-disposition"               ? Field::DISPOSITION
                                                              : Field::OTHER;
      if (field_ == Field::SUBJECT) subjectEncoded_ = false;
      if (std::string* value = FieldValue()) value->clear();
      FieldText(line.substr(name.size() + 1), at + name.size() + 1, sink);
    } else {
      // Not a field: the headers ended without their blank line, and this
      // line is the body's first.
      EndHeaders(at, sink);
      if (!Boundary(line, at, sink)) Body(line, at, lineEnd, sink);
    }
  }

  // Where the value of the field being read is kept, if it is kept.
  std::string* FieldValue() {
    switch (field_) {
      case Field::CONTENT_TYPE:
        return &contentType_;
      case Field::TRANSFER_ENCODING:
        return &transferEncoding_;
      case Field::DISPOSITION:
        return &disposition_;
      default:
        return nullptr;
    }
  }

  // Text of the field being read: a Subject is checked, the fields that say
  // how the body reads are kept, the others skipped.
  void FieldText(std::string_view text, size_t at, SpanSink& sink) {
    if (field_ == Field::SUBJECT) {
      EmitSubjectLine(text, at, subjectEncoded_, sink);
    } else if (std::string* value = FieldValue()) {
      value->append(text.substr(0, kMaxHeaderValue - std::min(kMaxHeaderValue, value->size())));
    }
  }

  void EndHeaders(size_t at, SpanSink& sink) {
    sink.Break(at);
    field_ = Field::OTHER;
    stage_ = Stage::BODY;
    plain_.Reset();
    html_.Reset();
    base64_.Reset();
    const std::string type = Lower(
        Trim(std::string_view(contentType_).substr(0, std::string_view(contentType_).find(';'))));
    const std::string encoding = Lower(Trim(transferEncoding_));
    charset_ = CharsetNamed(Parameter(contentType_, "charset"));
    transfer_ = encoding == "quoted-printable" ? Transfer::QUOTED_PRINTABLE
                : encoding == "base64"         ? Transfer::BASE64
                                               : Transfer::IDENTITY;
    const bool knownTransfer = transfer_ != Transfer::IDENTITY || encoding.empty() ||
                               encoding == "7bit" || encoding == "8bit" || encoding == "binary";
    content_ = type == "text/html" || type == "application/xhtml+xml" ? Content::HTML
               : IsProseType(type)                                    ? Content::PLAIN
                                                                      : Content::SKIP;
    if (!knownTransfer || charset_ == MailCharset::UNSUPPORTED ||
        Lower(Trim(disposition_)).rfind("attachment", 0) == 0)
      content_ = Content::SKIP;
    if (type.rfind("multipart/", 0) == 0) {
      // The preamble before the first boundary is not read.
      content_ = Content::SKIP;
      const std::string boundary = Parameter(contentType_, "boundary");
      if (!boundary.empty() && boundary.size() <= kMaxBoundary && boundaries_.size() < kMaxNesting)
        boundaries_.push_back(boundary);
    }
    contentType_.clear();
    transferEncoding_.clear();
    disposition_.clear();
  }

  // Whether the line is a boundary of an open multipart ("--b" opens the
  // next part, "--b--" closes the multipart), and if so follows it.
  bool Boundary(std::string_view line, size_t at, SpanSink& sink) {
    if (line.substr(0, 2) != "--") return false;
    for (size_t depth = boundaries_.size(); depth-- > 0;) {
      const std::string& boundary = boundaries_[depth];
      if (line.substr(2, boundary.size()) != boundary) continue;
      std::string_view rest = line.substr(2 + boundary.size());
      const bool closes = rest.substr(0, 2) == "--";
      if (closes) rest.remove_prefix(2);
      if (!IsBlankLine(rest)) continue;
      boundaries_.resize(depth + (closes ? 0 : 1));
      sink.Break(at);
      if (closes) {
        content_ = Content::SKIP;  // the epilogue, up to the enclosing multipart's next boundary
      } else {
        stage_ = Stage::PART_HEADERS;
        field_ = Field::OTHER;
      }
      return true;
    }
    return false;
  }

  void Body(std::string_view line, size_t at, std::string_view lineEnd, SpanSink& sink) {
    if (content_ == Content::SKIP || plain_.ended()) return;
    decoded_.Clear();
    switch (transfer_) {
      case Transfer::IDENTITY:
        decoded_.AppendInCharset(line, at, charset_);
        decoded_.AppendLiteral(lineEnd, at + line.size());
        break;
      case Transfer::QUOTED_PRINTABLE:
        if (!AppendQuotedPrintable(line, at, charset_, decoded_))
          decoded_.AppendLiteral(lineEnd, at + line.size());
        break;
      case Transfer::BASE64:
        base64_.Append(line, at, charset_, decoded_);
        break;
    }
    if (content_ == Content::PLAIN) {
      plain_.Read(decoded_, at, sink);
    } else {
      html_.Read(decoded_, sink);
    }
  }

  void StartMessage() {
    stage_ = Stage::HEADERS;
    field_ = Field::OTHER;
    boundaries_.clear();
    contentType_.clear();
    transferEncoding_.clear();
    disposition_.clear();
  }

  bool atLineStart_ = true;
  bool previousBlank_ = true;  // an mbox postmark follows a blank line or starts the file
  Stage stage_ = Stage::HEADERS;
  Field field_ = Field::OTHER;  // the header field being read
  bool subjectEncoded_ = false;
  std::string contentType_;  // of the header block being read
  std::string transferEncoding_;
  std::string disposition_;
  std::vector<std::string> boundaries_;  // of the open multiparts, outermost first
  // The part being read.
  Content content_ = Content::PLAIN;
  Transfer transfer_ = Transfer::IDENTITY;
  MailCharset charset_ = MailCharset::UTF8;
  PlainMailBody plain_;
  HtmlMailBody html_;
  Base64Reader base64_;
  MailText decoded_;  // the decoded text of the line being read
};

bool Sniff(std::string_view head) {
  if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
  return head.rfind("From ", 0) == 0 || StartsWithNoCase(head, "Return-Path:") ||
         StartsWithNoCase(head, "Received:") || StartsWithNoCase(head, "Delivered-To:") ||
         StartsWithNoCase(head, "From:") || StartsWithNoCase(head, "Message-ID:") ||
         StartsWithNoCase(head, "MIME-Version:");
}

std::unique_ptr<DocumentParser> MakeEmailParser(const ParserContext&) {
  return std::make_unique<EmailParser>();
}

}  // namespace

const DocumentFormat& EmailFormat() {
  static const DocumentFormat format{"email",
                                     {"mail", "eml", "mbox"},
                                     {".eml", ".mbox", ".mbx"},
                                     {},
                                     &Sniff,
                                     size_t{1} << 16,
                                     &MakeEmailParser,
                                     "e-mail: Subject and body, not headers, quotes or signature"};
  return format;
}

}  // namespace orth::cli
