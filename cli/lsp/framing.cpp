#include "lsp/framing.h"

#include <algorithm>
#include <cctype>

namespace orth::cli::lsp {

namespace {

constexpr size_t MAX_HEADER_BYTES = 8192;

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// The end of the header block in `text` (after its empty line) and where
// that block's text ends, or npos.
size_t HeaderEnd(std::string_view text, size_t& blockEnd) {
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    const size_t next = at + 1;
    if (next < text.size() && text[next] == '\n') {
      blockEnd = at;
      return next + 1;
    }
    if (next + 1 < text.size() && text[next] == '\r' && text[next + 1] == '\n') {
      blockEnd = at;
      return next + 2;
    }
  }
  return std::string_view::npos;
}

}  // namespace

void FrameReader::Feed(std::string_view bytes) {
  if (skipping_ > 0) {
    const size_t skipped = std::min(skipping_, bytes.size());
    skipping_ -= skipped;
    bytes.remove_prefix(skipped);
  }
  if (start_ > 0 && start_ >= buffer_.size() / 2) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
}

void FrameReader::Drop(size_t count) {
  start_ += count;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
}

bool FrameReader::ReadHeader(Frame& frame) {
  const std::string_view text = std::string_view(buffer_).substr(start_);
  size_t blockEnd = 0;
  const size_t end = HeaderEnd(text.substr(0, MAX_HEADER_BYTES + 4), blockEnd);
  if (end == std::string_view::npos) {
    if (text.size() <= MAX_HEADER_BYTES) return false;
    frame.ok = false;
    frame.error = "a header block longer than 8 KiB";
    Drop(text.size());
    return true;
  }
  bool found = false;
  bool valid = false;
  size_t length = 0;
  std::string_view block = text.substr(0, blockEnd);
  while (!block.empty()) {
    const size_t lineEnd = block.find('\n');
    const std::string_view line = block.substr(0, lineEnd);
    block = lineEnd == std::string_view::npos ? std::string_view{} : block.substr(lineEnd + 1);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos ||
        !SameNoCase(Trim(line.substr(0, colon)), "content-length")) {
      continue;
    }
    const std::string_view value = Trim(line.substr(colon + 1));
    found = true;
    valid = !value.empty() && value.size() <= 18 &&
            std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    length = 0;
    for (const char c : value) length = valid ? length * 10 + static_cast<size_t>(c - '0') : 0;
  }
  Drop(end);
  if (!found || !valid) {
    frame.ok = false;
    frame.error =
        found ? "a Content-Length that is not a number" : "a header without Content-Length";
    return true;
  }
  if (length > maxBody_) {
    frame.ok = false;
    frame.tooLarge = true;
    frame.error = "a message of " + std::to_string(length) + " bytes, over the limit of " +
                  std::to_string(maxBody_ >> 20) + " MiB";
    const size_t held = std::min(length, pending());
    Drop(held);
    skipping_ = length - held;
    return true;
  }
  bodyLength_ = length;
  inBody_ = true;
  return false;
}

bool FrameReader::Next(Frame& frame) {
  frame = Frame{};
  if (!inBody_ && ReadHeader(frame)) return true;
  if (!inBody_ || pending() < bodyLength_) return false;
  frame.body.assign(buffer_, start_, bodyLength_);
  Drop(bodyLength_);
  inBody_ = false;
  return true;
}

std::string FrameMessage(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

}  // namespace orth::cli::lsp
