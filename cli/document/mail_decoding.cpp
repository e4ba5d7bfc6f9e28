#include "document/mail_decoding.h"

#include <algorithm>
#include <cctype>

namespace orth::cli {

namespace {

// Windows-1252 at 0x80 to 0x9F (0 where it has no character).
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// `bytes` in `charset` as UTF-8.
std::string ToUtf8(std::string_view bytes, MailCharset charset) {
  if (charset != MailCharset::WINDOWS1252) return std::string(bytes);
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte < 0xA0) {
      const uint16_t code = kWindows1252[byte - 0x80];
      AppendUtf8(code != 0 ? code : ' ', out);
    } else {
      AppendUtf8(byte, out);
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Whether `bytes` ends where a UTF-8 character ends.
bool EndsWholeCharacter(std::string_view bytes) {
  for (size_t back = 1; back <= 4 && back <= bytes.size(); ++back) {
    const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return back >= length;
  }
  return true;  // continuation bytes alone: nothing will complete them
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

// The decoded bytes of a quoted-printable run ("=C3=A9", "_" a space in a
// Subject) are gathered and handed on one run at a time.
struct EscapeRun {
  std::string bytes;
  size_t begin = 0;
  size_t end = 0;
  void Add(char byte, size_t from, size_t to) {
    if (bytes.empty()) begin = from;
    bytes += byte;
    end = to;
  }
  void Flush(MailCharset charset, MailText& out) {
    if (bytes.empty()) return;
    out.AppendDecoded(ToUtf8(bytes, charset), begin, end);
    bytes.clear();
  }
};

// Decodes the text of a Q-encoded word, `_` a space.
void AppendQEncoded(std::string_view text, size_t source, MailCharset charset, MailText& out) {
  EscapeRun run;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      run.Add(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])), source + i,
              source + i + 3);
      i += 3;
      continue;
    }
    run.Flush(charset, out);
    if (text[i] == '_') {
      out.AppendDecoded(" ", source + i, source + i + 1);
    } else {
      out.AppendInCharset(text.substr(i, 1), source + i, charset);
    }
    ++i;
  }
  run.Flush(charset, out);
}

std::string DecodeBase64(std::string_view text) {
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    const int value = Base64Value(c);
    if (value < 0) continue;
    bits = (bits << 6) | static_cast<uint32_t>(value);
    if (++count == 4) {
      out += static_cast<char>(bits >> 16);
      out += static_cast<char>(bits >> 8);
      out += static_cast<char>(bits);
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) out += static_cast<char>(bits >> 4);
  if (count == 3) {
    out += static_cast<char>(bits >> 10);
    out += static_cast<char>(bits >> 2);
  }
  return out;
}

// An encoded word at `value[at]`: "=?charset?Q?text?=". Returns its length,
// 0 when there is none. A try stops at the first "?" or space past where it
// can be, so that trying at every "=?" of a line stays linear.
size_t EncodedWordLength(std::string_view value, size_t at, std::string_view& charset,
                         char& encoding, std::string_view& text) {
  if (value.substr(at, 2) != "=?") return 0;
  const auto stopAt = [&value](size_t from) {
    const size_t stop = value.find_first_of(" \t?", from);
    return stop == std::string_view::npos ? value.size() : stop;
  };
  const size_t charsetEnd = stopAt(at + 2);
  if (charsetEnd == at + 2 || charsetEnd + 3 >= value.size() || value[charsetEnd] != '?' ||
      value[charsetEnd + 2] != '?')
    return 0;
  const size_t textEnd = stopAt(charsetEnd + 3);
  if (value.substr(textEnd, 2) != "?=") return 0;
  charset = value.substr(at + 2, charsetEnd - at - 2);
  encoding = static_cast<char>(std::toupper(static_cast<unsigned char>(value[charsetEnd + 1])));
  text = value.substr(charsetEnd + 3, textEnd - charsetEnd - 3);
  if (encoding != 'Q' && encoding != 'B') return 0;
  return textEnd + 2 - at;
}

}  // namespace

MailCharset CharsetNamed(std::string_view name) {
  std::string lower;
  for (const char c : name.substr(0, name.find('*'))) {  // "utf-8*en": RFC 2231's language
    if (c != '"' && c != ' ' && c != '\t')
      lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (lower.empty() || lower == "utf-8" || lower == "utf8" || lower == "us-ascii" ||
      lower == "ascii")
    return MailCharset::UTF8;
  if (lower == "iso-8859-1" || lower == "iso8859-1" || lower == "latin1" ||
      lower == "windows-1252" || lower == "cp1252")
    return MailCharset::WINDOWS1252;
  return MailCharset::UNSUPPORTED;
}

void MailText::AppendLiteral(std::string_view bytes, size_t source) {
  if (bytes.empty()) return;
  if (!runs.empty() && runs.back().literal && runs.back().sourceEnd == source) {
    runs.back().end += bytes.size();
    runs.back().sourceEnd += bytes.size();
  } else {
    runs.push_back({text.size(), text.size() + bytes.size(), source, source + bytes.size(), true});
  }
  text.append(bytes);
}

void MailText::AppendDecoded(std::string_view decoded, size_t sourceBegin, size_t sourceEnd) {
  if (decoded.empty()) return;
  runs.push_back({text.size(), text.size() + decoded.size(), sourceBegin, sourceEnd, false});
  text.append(decoded);
}

void MailText::AppendInCharset(std::string_view bytes, size_t source, MailCharset charset) {
  if (charset != MailCharset::WINDOWS1252) {
    AppendLiteral(bytes, source);
    return;
  }
  size_t i = 0;
  while (i < bytes.size()) {
    size_t stop = i;
    const bool high = static_cast<unsigned char>(bytes[i]) >= 0x80;
    while (stop < bytes.size() && (static_cast<unsigned char>(bytes[stop]) >= 0x80) == high) ++stop;
    const std::string_view part = bytes.substr(i, stop - i);
    if (high) {
      AppendDecoded(ToUtf8(part, charset), source + i, source + stop);
    } else {
      AppendLiteral(part, source + i);
    }
    i = stop;
  }
}

size_t MailText::SourceAt(size_t at) const {
  if (runs.empty()) return 0;
  const auto run = std::upper_bound(runs.begin(), runs.end(), at,
                                    [](size_t offset, const Run& r) { return offset < r.end; });
  if (run == runs.end()) return runs.back().sourceEnd;
  if (at < run->begin) return run->sourceBegin;
  return run->literal ? run->sourceBegin + (at - run->begin) : run->sourceBegin;
}

void EmitMapped(const MailText& text, size_t from, size_t to, SpanSink& sink) {
  to = std::min(to, text.text.size());
  auto run = std::upper_bound(text.runs.begin(), text.runs.end(), from,
                              [](size_t offset, const MailText::Run& r) { return offset < r.end; });
  for (; run != text.runs.end() && run->begin < to; ++run) {
    const size_t begin = std::max(from, run->begin);
    const size_t end = std::min(to, run->end);
    if (begin >= end) continue;
    const std::string_view part = std::string_view(text.text).substr(begin, end - begin);
    if (run->literal) {
      sink.Text(part, run->sourceBegin + (begin - run->begin));
    } else {
      sink.Decoded(part, run->sourceBegin, run->sourceEnd);
    }
  }
}

bool AppendQuotedPrintable(std::string_view line, size_t source, MailCharset charset,
                           MailText& out) {
  // Pending is either a run of escapes or literal bytes from `literal` on,
  // never both, so that they are appended in source order.
  EscapeRun run;
  size_t literal = 0;
  size_t i = 0;
  auto flushLiteral = [&]() {
    if (i > literal)
      out.AppendInCharset(line.substr(literal, i - literal), source + literal, charset);
    literal = i;
  };
  while (i < line.size()) {
    if (line[i] == '=' && IsBlank(line.substr(i + 1))) {  // a soft line break
      flushLiteral();
      run.Flush(charset, out);
      return true;
    }
    if (line[i] == '=' && i + 2 < line.size() && HexValue(line[i + 1]) >= 0 &&
        HexValue(line[i + 2]) >= 0) {
      flushLiteral();
      run.Add(static_cast<char>(HexValue(line[i + 1]) * 16 + HexValue(line[i + 2])), source + i,
              source + i + 3);
      i += 3;
      literal = i;
      continue;
    }
    run.Flush(charset, out);  // a literal byte (a lone "=" too) ends a run of escapes
    ++i;
  }
  flushLiteral();
  run.Flush(charset, out);
  return false;
}

void Base64Reader::Append(std::string_view line, size_t source, MailCharset charset,
                          MailText& out) {
  // A group begun on an earlier line is reported from this line's start.
  size_t groupBegin = source;
  for (size_t i = 0; i < line.size(); ++i) {
    const int value = Base64Value(line[i]);
    const size_t before = pending_.size();
    if (value >= 0) {
      if (sextets_ == 0) groupBegin = source + i;
      bits_ = (bits_ << 6) | static_cast<uint32_t>(value);
      if (++sextets_ < 4) continue;
      pending_ += static_cast<char>(bits_ >> 16);
      pending_ += static_cast<char>(bits_ >> 8);
      pending_ += static_cast<char>(bits_);
      bits_ = 0;
      sextets_ = 0;
    } else if (line[i] == '=') {  // padding ends the group early
      if (sextets_ == 2) pending_ += static_cast<char>(bits_ >> 4);
      if (sextets_ == 3) {
        pending_ += static_cast<char>(bits_ >> 10);
        pending_ += static_cast<char>(bits_ >> 2);
      }
      bits_ = 0;
      sextets_ = 0;
    }
    if (pending_.empty()) continue;
    if (before == 0) pendingBegin_ = groupBegin;
    pendingBegin_ = std::max(pendingBegin_, source);
    if (charset == MailCharset::WINDOWS1252 || EndsWholeCharacter(pending_) ||
        pending_.size() > 6) {
      out.AppendDecoded(ToUtf8(pending_, charset), pendingBegin_, source + i + 1);
      pending_.clear();
    }
  }
}

void EmitSubjectLine(std::string_view value, size_t source, bool& lastEncoded, SpanSink& sink) {
  size_t i = 0;
  while (i <= value.size()) {
    // The next encoded word, or the end of the value.
    size_t at = value.find("=?", i);
    std::string_view charsetName;
    std::string_view text;
    char encoding = 0;
    size_t length = 0;
    while (at != std::string_view::npos &&
           (length = EncodedWordLength(value, at, charsetName, encoding, text)) == 0)
      at = value.find("=?", at + 2);
    const size_t stop = at == std::string_view::npos ? value.size() : at;
    const std::string_view gap = value.substr(i, stop - i);
    // White space between two encoded words is dropped; white space at a
    // line end waits for what the next line starts with.
    if (!gap.empty() && !(IsBlank(gap) && (lastEncoded || stop == value.size()))) {
      sink.Text(gap, source + i);
      lastEncoded = false;
    }
    if (at == std::string_view::npos) break;
    const MailCharset charset = CharsetNamed(charsetName);
    if (charset == MailCharset::UNSUPPORTED) {
      sink.Break(source + at);
    } else if (encoding == 'Q') {
      MailText decoded;
      const auto textAt = static_cast<size_t>(text.data() - value.data());
      AppendQEncoded(text, source + textAt, charset, decoded);
      EmitMapped(decoded, 0, decoded.text.size(), sink);
    } else {
      sink.Decoded(ToUtf8(DecodeBase64(text), charset), source + at, source + at + length);
    }
    lastEncoded = true;
    i = at + length;
  }
}

}  // namespace orth::cli
