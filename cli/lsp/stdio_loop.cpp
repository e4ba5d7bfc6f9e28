#include "lsp/stdio_loop.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>

#include "lsp/framing.h"

namespace orth::cli::lsp {

namespace {

constexpr std::chrono::milliseconds RELOAD_INTERVAL{2000};

}  // namespace

void FdOutbox::Send(const Json& message) {
  if (broken_) return;
  const std::string frame = FrameMessage(SerializeMessage(message));
  for (size_t at = 0; at < frame.size();) {
    const ssize_t written = ::write(fd_, frame.data() + at, frame.size() - at);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      broken_ = true;
      return;
    }
    at += static_cast<size_t>(written);
  }
}

int ServeFd(Server& server, int inFd, const FdOutbox& out) {
  FrameReader reader;
  std::string buffer(size_t{1} << 16, '\0');
  Frame frame;
  auto lastReload = Clock::now();
  while (!server.exited() && !out.broken()) {
    auto now = Clock::now();
    auto wait = RELOAD_INTERVAL - (now - lastReload);
    if (const auto due = server.NextDue(); due && *due - now < wait) wait = *due - now;
    const auto millis = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    pollfd input{inFd, POLLIN, 0};
    const int ready =
        ::poll(&input, 1, static_cast<int>(std::clamp<long long>(millis, 0, INT_MAX)));
    if (ready < 0 && errno != EINTR) return 1;
    if (ready > 0) {
      const ssize_t count = ::read(inFd, buffer.data(), buffer.size());
      if (count < 0 && errno != EINTR && errno != EAGAIN) return 1;
      if (count == 0) break;  // the client closed its end without exit
      if (count > 0) reader.Feed(std::string_view(buffer.data(), static_cast<size_t>(count)));
      now = Clock::now();
      while (!server.exited() && reader.Next(frame)) {
        if (frame.ok) {
          server.Receive(frame.body, now);
        } else {
          server.FramingError(frame.error, frame.tooLarge);
        }
      }
    }
    now = Clock::now();
    server.RunDue(now);
    if (now - lastReload >= RELOAD_INTERVAL) {
      server.ReloadLexicons();
      lastReload = now;
    }
  }
  return server.exited() ? server.exitStatus() : 1;
}

}  // namespace orth::cli::lsp
