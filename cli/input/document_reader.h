// Reads an input in bounded pieces and hands them to a document parser, so
// that memory stays the same whatever the size of the input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/document_format.h"
#include "document/span_sink.h"

namespace orth::cli {

// Where the bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `buffer`. Returns the number read, 0 at the
  // end of the input; false (with a message in `error`) when reading fails.
  virtual bool Read(char* buffer, size_t size, size_t& got, std::string& error) = 0;
};

// A file descriptor (a file, a pipe or standard input).
class FileSource final : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}
  bool Read(char* buffer, size_t size, size_t& got, std::string& error) override;

 private:
  int fd_;
};

// Bytes already in memory (tests, the language server, pipe lines).
class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string_view bytes, size_t readSize = size_t{1} << 16)
      : bytes_(bytes), readSize_(readSize) {}
  bool Read(char* buffer, size_t size, size_t& got, std::string& error) override;

 private:
  std::string_view bytes_;
  size_t readSize_;
};

// A sink that is also told which piece of input the parser is reading, so
// that it can look at the source bytes around the spans (positions, words
// as written) before they are dropped.
class PieceSink : public SpanSink {
 public:
  // The parser is about to read `piece`, the input from offset `base` on.
  virtual void BeginPiece(std::string_view piece, size_t base) = 0;
  // The parser took the input up to offset `end`; what lies before it is
  // about to be dropped.
  virtual void EndPiece(size_t end) = 0;
};

struct ReadOptions {
  size_t window = size_t{1} << 20;    // the most bytes held at once
  size_t readSize = size_t{1} << 16;  // bytes asked of the source at a time
};

// The first bytes of a source, read ahead for detection and kept for the
// reader (they are not read twice).
struct InputHead {
  std::string bytes;
  bool ended = false;  // the whole input is in `bytes`
};
bool ReadHead(ByteSource& source, size_t size, InputHead& head, std::string& error);

// Feeds `source` (after the bytes of `head`, which come first) to `parser`
// piece by piece until the end of the input. Returns false with a message
// when reading fails; what was read before is checked.
bool ReadDocument(ByteSource& source, InputHead head, DocumentParser& parser, PieceSink& sink,
                  const ReadOptions& options, std::string& error);

}  // namespace orth::cli
