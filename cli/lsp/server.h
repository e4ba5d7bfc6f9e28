// The language server's state and its answers to each method: the settings,
// the engine session, the open documents and when each is checked next.
// It reads message bodies and writes messages through an Outbox, and knows
// nothing of pipes or clocks of its own (stdio_loop.h drives it), so that the
// tests and the fuzz target run it as the program does.
//
// Checks run on the current text of a document only, so a document's
// diagnostics always go out for its latest version; a check after an edit
// waits for a short pause in the edits (the debounce), one on open does not.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/document_checker.h"
#include "lsp/json_rpc.h"
#include "lsp/lexicons.h"
#include "lsp/open_document.h"
#include "lsp/settings.h"

namespace orth::cli::lsp {

inline constexpr std::chrono::milliseconds DEFAULT_DEBOUNCE{40};

class Server {
 public:
  Server(Outbox& out, Lexicons& lexicons, Settings settings,
         std::chrono::milliseconds debounce = DEFAULT_DEBOUNCE);
  ~Server();

  // One message body from the client, received at `now`.
  void Receive(std::string_view body, Clock::time_point now);
  // A framing error (see framing.h): answered with an error without an id,
  // "invalid request" for a message over the limit, else "parse error".
  void FramingError(const std::string& error, bool tooLarge);

  // Runs the checks due at `now` and publishes their diagnostics.
  void RunDue(Clock::time_point now);
  // When the next check is due, if any is.
  std::optional<Clock::time_point> NextDue() const;
  // Reads the personal list again when another process changed it, and
  // re-checks the open documents if it did.
  void ReloadLexicons();

  // Whether the client sent exit, and the status to exit with (0 after
  // shutdown, 1 without).
  bool exited() const { return exited_; }
  int exitStatus() const { return shutdown_ ? 0 : 1; }

 private:
  using Handler = void (Server::*)(Message&, Clock::time_point);

  void Dispatch(Message& message, Clock::time_point now);
  void Reply(const Json& id, Json result);
  void Fail(const Json& id, int code, const std::string& message);
  void Notify(const std::string& method, Json params);
  void ShowMessage(int type, const std::string& text);

  // Requests.
  void Initialize(Message& message, Clock::time_point now);
  void Shutdown(Message& message, Clock::time_point now);
  void CodeAction(Message& message, Clock::time_point now);
  void ExecuteCommand(Message& message, Clock::time_point now);
  // Notifications.
  void Initialized(Message& message, Clock::time_point now);
  void Exit(Message& message, Clock::time_point now);
  void DidOpen(Message& message, Clock::time_point now);
  void DidChange(Message& message, Clock::time_point now);
  void DidClose(Message& message, Clock::time_point now);
  void DidSave(Message& message, Clock::time_point now);
  void DidChangeConfiguration(Message& message, Clock::time_point now);
  // A response to a request of the server's.
  void Response(Message& message, Clock::time_point now);

  // Settings.
  void RequestConfiguration();
  void ApplySettings(const Json& object);
  void UseSettings(Settings next, bool force);

  // Documents.
  OpenDocument* Find(const Json& params);
  void ChooseParser(OpenDocument& document);
  void CheckNow(OpenDocument& document);
  // Opens the technical word list for a document of a technical format and
  // closes it for the others.
  void UseTechWordsFor(const OpenDocument& document);
  void Publish(OpenDocument& document);
  void RecheckAll();

  Outbox& out_;
  Lexicons& lexicons_;
  Settings settings_;
  std::chrono::milliseconds debounce_;
  bool lexiconsOpen_ = false;

  bool initialized_ = false;
  bool shutdown_ = false;
  bool exited_ = false;
  PositionEncoding encoding_ = PositionEncoding::UTF16;
  bool clientConfiguration_ = false;  // the client answers workspace/configuration
  bool documentChanges_ = false;      // the client takes versioned edits
  int64_t nextRequest_ = 1;
  std::vector<int64_t> configurationRequests_;  // sent, not answered yet

  FindingCollector collector_;
  std::unique_ptr<DocumentChecker> checker_;
  std::map<std::string, std::unique_ptr<OpenDocument>> documents_;  // by URI
};

}  // namespace orth::cli::lsp
