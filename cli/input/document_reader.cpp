#include "input/document_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orth::cli {

bool FileSource::Read(char* buffer, size_t size, size_t& got, std::string& error) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) {
      got = static_cast<size_t>(n);
      return true;
    }
    if (errno == EINTR) continue;
    error = std::strerror(errno);
    return false;
  }
}

bool StringSource::Read(char* buffer, size_t size, size_t& got, std::string&) {
  got = std::min({size, readSize_, bytes_.size()});
  std::memcpy(buffer, bytes_.data(), got);
  bytes_.remove_prefix(got);
  return true;
}

bool ReadHead(ByteSource& source, size_t size, InputHead& head, std::string& error) {
  head.bytes.clear();
  head.ended = false;
  head.bytes.resize(size);
  size_t filled = 0;
  while (filled < size) {
    size_t got = 0;
    if (!source.Read(head.bytes.data() + filled, size - filled, got, error)) {
      head.bytes.resize(filled);
      return false;
    }
    if (got == 0) {
      head.ended = true;
      break;
    }
    filled += got;
  }
  head.bytes.resize(filled);
  return true;
}

bool ReadDocument(ByteSource& source, InputHead head, DocumentParser& parser, PieceSink& sink,
                  const ReadOptions& options, std::string& error) {
  const size_t window = std::max<size_t>(options.window, 64);
  std::string buffer = std::move(head.bytes);
  bool ended = head.ended;
  bool failed = false;
  size_t base = 0;
  // After a call that took nothing, the parser is asked again only once the
  // buffer has doubled, so that a long line costs linear time however small
  // the reads are.
  size_t askAgainAt = 0;
  // `buffer` holds what the parser has not taken yet, from offset `base` of
  // the input on; taken bytes are dropped before the buffer grows.
  for (;;) {
    if (!ended && buffer.size() < window) {
      const size_t old = buffer.size();
      const size_t want = std::min(options.readSize, window - old);
      buffer.resize(old + want);
      size_t got = 0;
      if (!source.Read(buffer.data() + old, want, got, error)) {
        failed = true;
        got = 0;
      }
      buffer.resize(old + got);
      if (got == 0) ended = true;
    }
    const InputEnd end = ended                     ? InputEnd::LAST
                         : buffer.size() >= window ? InputEnd::FULL
                                                   : InputEnd::MORE;
    if (end == InputEnd::MORE && buffer.size() < askAgainAt) continue;
    const std::string_view piece(buffer);
    sink.BeginPiece(piece, base);
    size_t taken = std::min(parser.Parse(piece, base, end, sink), piece.size());
    // A parser that must take something and does not is not allowed to
    // stall the reader: its piece is taken as read.
    if (end == InputEnd::LAST || (end == InputEnd::FULL && taken == 0)) taken = piece.size();
    askAgainAt = taken == 0 ? 2 * piece.size() : 0;
    sink.EndPiece(base + taken);
    buffer.erase(0, taken);
    base += taken;
    if (ended && buffer.empty()) break;
  }
  return !failed;
}

}  // namespace orth::cli
