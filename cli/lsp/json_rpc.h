// JSON-RPC 2.0 as the language server reads and writes it: one message body
// becomes a request, a notification or a response (to a request the server
// sent), or an error to answer with; replies are built here too.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace orth::cli::lsp {

using Json = nlohmann::json;

// Error codes of JSON-RPC and of the protocol.
inline constexpr int PARSE_ERROR = -32700;
inline constexpr int INVALID_REQUEST = -32600;
inline constexpr int METHOD_NOT_FOUND = -32601;
inline constexpr int INVALID_PARAMS = -32602;
inline constexpr int INTERNAL_ERROR = -32603;
inline constexpr int SERVER_NOT_INITIALIZED = -32002;
inline constexpr int REQUEST_FAILED = -32803;
inline constexpr int REQUEST_CANCELLED = -32800;

// The deepest nesting of arrays and objects a message may have.
inline constexpr int MAX_JSON_DEPTH = 64;

enum class MessageKind { REQUEST, NOTIFICATION, RESPONSE, INVALID };

struct Message {
  MessageKind kind = MessageKind::INVALID;
  Json id;             // requests and responses: a number or a string (null if unknown)
  std::string method;  // requests and notifications
  Json params;         // requests and notifications: an object, an array or null
  Json result;         // responses
  Json error;          // responses with an error
  // INVALID: the error to answer with (its code and message).
  int errorCode = 0;
  std::string errorMessage;
};

// Reads one message body; strings of `longString` bytes or more are read
// apart from the JSON library (long_strings.h).
Message ParseMessage(std::string_view body, size_t longString = size_t{16} << 10);

Json MakeResponse(const Json& id, Json result);
Json MakeError(const Json& id, int code, const std::string& message);
Json MakeNotification(const std::string& method, Json params);
Json MakeRequest(const Json& id, const std::string& method, Json params);

// A message as its body text: always valid UTF-8 (bytes that are not are
// replaced), never an exception.
std::string SerializeMessage(const Json& message);

// Sends messages to the client.
class Outbox {
 public:
  virtual ~Outbox() = default;
  virtual void Send(const Json& message) = 0;
};

}  // namespace orth::cli::lsp
