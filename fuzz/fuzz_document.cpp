// One document format's parser over arbitrary bytes, read in pieces of
// fuzzed sizes: every span lies inside the input and comes in source order,
// Text hands on the input's own bytes, and the reader always gets to the end.
// Built once per format; ORTH_FUZZ_FORMAT names it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/document_format.h"
#include "fuzz_support.h"
#include "input/document_reader.h"

namespace {

using namespace orth::cli;

class ContractSink final : public PieceSink {
 public:
  explicit ContractSink(std::string_view input) : input_(input) {}

  void BeginPiece(std::string_view piece, size_t base) override {
    Expect(base == taken_, "a piece starts where the last one was taken");
    Expect(input_.substr(base, piece.size()) == piece, "a piece is the input's bytes");
    pieceEnd_ = base + piece.size();
  }
  void EndPiece(size_t end) override {
    Expect(end >= taken_ && end <= pieceEnd_, "the taken part lies inside the piece");
    taken_ = end;
  }
  void Text(std::string_view bytes, size_t offset, TextRole) override {
    At(offset, offset + bytes.size());
    Expect(input_.substr(offset, bytes.size()) == bytes, "Text is the input's own bytes");
  }
  void Decoded(std::string_view, size_t begin, size_t end, TextRole) override {
    Expect(begin <= end, "a decoded range is not reversed");
    At(begin, end);
  }
  void Markup(size_t offset) override { At(offset, offset); }
  void Break(size_t offset) override { At(offset, offset); }
  void Comment(std::string_view bytes, size_t offset) override {
    At(offset, offset + bytes.size());
    Expect(input_.substr(offset, bytes.size()) == bytes, "a comment is the input's own bytes");
  }

  size_t taken() const { return taken_; }

 private:
  void At(size_t begin, size_t end) {
    Expect(begin >= last_, "spans come in source order");
    Expect(end <= pieceEnd_, "a span lies inside the piece being read");
    last_ = begin;
  }
  static void Expect(bool holds, const char* property) {
    if (!holds) orth::fuzz::Fail(property);
  }

  std::string_view input_;
  size_t last_ = 0;
  size_t taken_ = 0;
  size_t pieceEnd_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orth::fuzz::FuzzInput in{data, size};
  const uint8_t shape = in.Byte();
  const uint8_t nameChoice = in.Byte();
  const std::string document = in.Take(in.Remaining());

  const DocumentFormat* format = FindFormat(ORTH_FUZZ_FORMAT);
  if (format == nullptr) orth::fuzz::Fail("the fuzzed format exists");
  FormatOptions options;
  options.texCheckComments = (shape & 0x80) != 0;
  options.texCommands.push_back({"qq", "pP"});
  options.texCommands.push_back({"textbf", "o"});
  ParserContext context;
  // The aliases may choose a variant of the format (a language of code).
  const size_t names = format->aliases.size() + 1;
  const size_t chosen = nameChoice % names;
  context.modeName = std::string(chosen == 0 ? format->name : format->aliases[chosen - 1]);
  context.head = std::string_view(document).substr(0, 4096);
  context.options = &options;
  auto parser = format->make(context);

  ContractSink sink(document);
  // Windows from 64 bytes to 8 KiB and reads from 1 byte up, so that pieces
  // end everywhere; a window of 0 keeps the format's own.
  ReadOptions read;
  read.window = (shape & 7) == 7 ? format->window : size_t{64} << (shape & 7);
  read.readSize = 1 + ((shape >> 3) & 15) * 97;
  orth::cli::StringSource source(document, read.readSize);
  std::string error;
  ReadDocument(source, InputHead{}, *parser, sink, read, error);
  if (sink.taken() != document.size()) orth::fuzz::Fail("the reader takes the whole input");
  return 0;
}
