#include "check/document_run.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "input/document_reader.h"
#include "platform/process_io.h"

namespace orth::cli {

namespace {

constexpr size_t HEAD_BYTES = 4096;

// Closes a file descriptor it opened.
struct OpenFile {
  int fd = -1;
  bool owned = false;
  ~OpenFile() {
    if (owned && fd >= 0) ::close(fd);
  }
};

}  // namespace

const DocumentFormat& FormatFor(const ModeChoice& mode, const std::string& name,
                                std::string_view head) {
  if (mode.format != nullptr) return *mode.format;
  if (name == "-") return TextFormat();
  return DetectFormat(name, head);
}

bool CheckDocument(const std::string& name, const ModeChoice& mode, DocumentChecker& checker,
                   std::string& error) {
  const bool standardInput = name == "-";
  OpenFile file;
  file.fd = standardInput ? STDIN_FILENO : OpenForReading(name);
  file.owned = !standardInput;
  const std::string shownName = standardInput ? "<stdin>" : name;
  if (file.fd < 0) {
    error = name + ": " + std::strerror(errno);
    return false;
  }
  FileSource source(file.fd);
  InputHead head;
  std::string readError;
  if (!ReadHead(source, HEAD_BYTES, head, readError)) {
    error = shownName + ": " + readError;
    return false;
  }
  const std::string headBytes = head.bytes;  // the reader takes `head` over
  const DocumentFormat& format = FormatFor(mode, name, headBytes);
  if (mode.lexicons != nullptr) {
    bool changed = false;
    if (!ChooseTechWords(*mode.lexicons, format.technical, readError, &changed)) {
      error = shownName + ": " + readError;
      return false;
    }
    if (changed) checker.ForgetLookups();
  }
  ParserContext context;
  context.fileName = standardInput ? std::string() : name;
  context.head = headBytes;
  context.modeName = mode.modeName;
  context.options = &mode.options;
  const auto parser = format.make(context);
  if (parser == nullptr) {
    error = shownName + ": the " + std::string(format.name) +
            " format is not available in this build of orthspell";
    return false;
  }
  ReadOptions read;
  read.window = format.window;
  checker.StartDocument();
  if (!ReadDocument(source, std::move(head), *parser, checker, read, readError)) {
    error = shownName + ": " + readError;
    return false;
  }
  return true;
}

}  // namespace orth::cli
