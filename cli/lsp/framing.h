// The base protocol of the language server: messages framed by a
// "Content-Length: N" header block ("\r\n" line ends; a bare "\n" is taken
// too), then N bytes of JSON.
//
// The reader never trusts the stream: a header block without a usable
// Content-Length, one that does not end within a few KiB, or a length over
// the limit each give one error and reading goes on after the bad part (the
// body of a message over the limit is skipped as it arrives, never held).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orth::cli::lsp {

inline constexpr size_t MAX_MESSAGE_BYTES = size_t{64} << 20;  // 64 MiB

struct Frame {
  bool ok = true;         // a message body; false: a framing error
  bool tooLarge = false;  // the error is a message over the limit
  std::string body;       // the message
  std::string error;      // what was wrong
};

class FrameReader {
 public:
  explicit FrameReader(size_t maxBody = MAX_MESSAGE_BYTES) : maxBody_(maxBody) {}

  // More bytes of the stream.
  void Feed(std::string_view bytes);

  // The next complete message or error, in stream order; false when more
  // bytes are needed first.
  bool Next(Frame& frame);

  // Bytes held that do not make a complete message yet.
  size_t pending() const { return buffer_.size() - start_; }

 private:
  bool ReadHeader(Frame& frame);
  void Drop(size_t count);

  size_t maxBody_;
  std::string buffer_;
  size_t start_ = 0;       // buffer_ before it is consumed
  size_t bodyLength_ = 0;  // the body being read, once its header is
  bool inBody_ = false;
  size_t skipping_ = 0;  // bytes of a refused body still to discard
};

// A message with its header, ready to write.
std::string FrameMessage(std::string_view body);

}  // namespace orth::cli::lsp
