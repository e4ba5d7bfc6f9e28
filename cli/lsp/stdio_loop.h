// The language server on a pair of file descriptors (the program's standard
// input and output): reads framed messages as they arrive, runs the checks
// that fall due between them (the debounce) and, every few seconds while
// idle, looks whether another process changed the personal list.
#pragma once

#include "lsp/json_rpc.h"
#include "lsp/server.h"

namespace orth::cli::lsp {

// Writes framed messages to a file descriptor; after a write fails (the
// client went away) it writes nothing more.
class FdOutbox final : public Outbox {
 public:
  explicit FdOutbox(int fd) : fd_(fd) {}
  void Send(const Json& message) override;
  bool broken() const { return broken_; }

 private:
  int fd_;
  bool broken_ = false;
};

// Serves until the client sends exit or closes the input; returns the exit
// status (0 after shutdown then exit, 1 otherwise).
int ServeFd(Server& server, int inFd, const FdOutbox& out);

}  // namespace orth::cli::lsp
