#include "lsp/json_rpc.h"

#include "lsp/long_strings.h"

namespace orth::cli::lsp {

namespace {

// Whether the arrays and objects of `text` nest deeper than the limit: the
// JSON library would recurse that deep when it writes or copies the value.
bool NestsTooDeep(std::string_view text) {
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      const size_t end = StringEnd(text, i);
      if (end == std::string_view::npos) return false;
      i = end - 1;
    } else if (c == '[' || c == '{') {
      if (++depth > MAX_JSON_DEPTH) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

Message Invalid(int code, std::string message, Json id = nullptr) {
  Message out;
  out.kind = MessageKind::INVALID;
  out.errorCode = code;
  out.errorMessage = std::move(message);
  out.id = std::move(id);
  return out;
}

bool ValidId(const Json& id) {
  return id.is_number_integer() || id.is_string();
}

}  // namespace

Message ParseMessage(std::string_view body, size_t longString) {
  if (NestsTooDeep(body)) return Invalid(PARSE_ERROR, "JSON nested too deeply");
  LiftedStrings lifted;
  const bool lift = LiftLongStrings(body, longString, lifted);
  Json value = Json::parse(lift ? std::string_view(lifted.text) : body, nullptr, false);
  if (value.is_discarded()) return Invalid(PARSE_ERROR, "not valid JSON");
  if (lift) RestoreLongStrings(value, lifted);
  if (!value.is_object()) return Invalid(INVALID_REQUEST, "a message must be a JSON object");
  const auto version = value.find("jsonrpc");
  const auto id = value.find("id");
  const bool hasId = id != value.end();
  if (hasId && !ValidId(*id) && !id->is_null()) {
    return Invalid(INVALID_REQUEST, "an id must be a number or a string");
  }
  Json idValue = hasId ? *id : Json(nullptr);
  if (version == value.end() || *version != "2.0") {
    return Invalid(INVALID_REQUEST, "\"jsonrpc\" must be \"2.0\"", idValue);
  }
  Message out;
  out.id = idValue;
  const auto method = value.find("method");
  if (method != value.end()) {
    if (!method->is_string()) return Invalid(INVALID_REQUEST, "a method must be a string", idValue);
    const auto params = value.find("params");
    if (params != value.end() && !params->is_object() && !params->is_array() &&
        !params->is_null()) {
      return Invalid(INVALID_REQUEST, "params must be an object or an array", idValue);
    }
    if (hasId && !ValidId(*id)) return Invalid(INVALID_REQUEST, "a request needs an id", idValue);
    out.kind = hasId ? MessageKind::REQUEST : MessageKind::NOTIFICATION;
    out.method = method->get<std::string>();
    if (params != value.end()) out.params = std::move(*params);
    return out;
  }
  const auto result = value.find("result");
  const auto error = value.find("error");
  if (hasId && (result != value.end() || error != value.end())) {
    out.kind = MessageKind::RESPONSE;
    if (result != value.end()) out.result = std::move(*result);
    if (error != value.end()) out.error = std::move(*error);
    return out;
  }
  return Invalid(INVALID_REQUEST, "neither a request, a notification nor a response", idValue);
}

Json MakeResponse(const Json& id, Json result) {
  return Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

Json MakeError(const Json& id, int code, const std::string& message) {
  return Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

Json MakeNotification(const std::string& method, Json params) {
  return Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

Json MakeRequest(const Json& id, const std::string& method, Json params) {
  return Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

std::string SerializeMessage(const Json& message) {
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace orth::cli::lsp
