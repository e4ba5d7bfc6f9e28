#include "lsp/server.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "encoding/engine_text.h"
#include "encoding/latin1_classes.h"
#include "lsp/code_actions.h"
#include "lsp/diagnostics.h"
#include "orth.h"

namespace orth::cli::lsp {

namespace {

// A request's params lack something it needs: answered with INVALID_PARAMS.
class ParamsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const Json& Member(const Json& object, const char* key) {
  if (!object.is_object()) throw ParamsError(std::string("params must be an object"));
  const auto found = object.find(key);
  if (found == object.end()) throw ParamsError(std::string("'") + key + "' is missing");
  return *found;
}

// The same in a message the handler may take strings out of.
Json& Member(Json& object, const char* key) {
  return const_cast<Json&>(Member(std::as_const(object), key));
}

std::string StringMember(const Json& object, const char* key) {
  const Json& value = Member(object, key);
  if (!value.is_string()) throw ParamsError(std::string("'") + key + "' must be a string");
  return value.get<std::string>();
}

// The same, taken out of the message (a document's text is not copied).
std::string TakeString(Json& object, const char* key) {
  Json& value = Member(object, key);
  if (!value.is_string()) throw ParamsError(std::string("'") + key + "' must be a string");
  return std::move(value.get_ref<std::string&>());
}

std::string UriOf(const Json& params) {
  return StringMember(Member(params, "textDocument"), "uri");
}

Position PositionOf(const Json& value) {
  const Json& line = Member(value, "line");
  const Json& character = Member(value, "character");
  if (!line.is_number_unsigned() || !character.is_number_unsigned()) {
    throw ParamsError("a position needs a line and a character (numbers from 0)");
  }
  return {line.get<size_t>(), character.get<size_t>()};
}

TextChange ChangeOf(Json& value) {
  TextChange change;
  change.text = TakeString(value, "text");
  const auto range = value.find("range");
  if (range != value.end() && !range->is_null()) {
    change.whole = false;
    change.start = PositionOf(Member(*range, "start"));
    change.end = PositionOf(Member(*range, "end"));
  }
  return change;
}

// Whether a capability path ("workspace", "configuration") is true.
bool Capability(const Json& capabilities, std::initializer_list<const char*> path) {
  const Json* at = &capabilities;
  for (const char* key : path) {
    if (!at->is_object()) return false;
    const auto found = at->find(key);
    if (found == at->end()) return false;
    at = &*found;
  }
  return at->is_boolean() && at->get<bool>();
}

bool OffersUtf8(const Json& capabilities) {
  const auto general = capabilities.find("general");
  if (general == capabilities.end() || !general->is_object()) return false;
  const auto encodings = general->find("positionEncodings");
  if (encodings == general->end() || !encodings->is_array()) return false;
  return std::any_of(encodings->begin(), encodings->end(),
                     [](const Json& name) { return name == "utf-8"; });
}

bool SameSettings(const Settings& a, const Settings& b) {
  return SameLexicons(a, b) && SamePolicy(a, b) && a.modes == b.modes &&
         a.maxSuggestions == b.maxSuggestions && a.severity == b.severity;
}

// The "orthspell" object of settings a client sends: the member of that
// name, or null when there is none.
const Json& Section(const Json& settings) {
  static const Json none;
  if (!settings.is_object()) return none;
  const auto found = settings.find(SETTINGS_SECTION);
  return found == settings.end() ? none : *found;
}

// A word the user may add: one line of letters and the like, which the
// engine's Latin-1 can hold.
bool WordToAdd(const std::string& utf8, std::string& latin1) {
  if (utf8.empty() || utf8.size() > 128 || !IsValidUtf8(utf8) || !WordToLatin1(utf8, latin1)) {
    return false;
  }
  return std::none_of(latin1.begin(), latin1.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || byte == 0x7F || (byte >= 0x80 && byte < 0xA0);
  });
}

std::string LowerLatin1(std::string_view word) {
  std::string lower(word);
  for (char& c : lower) c = ToLower(c);
  return lower;
}

}  // namespace

Server::Server(Outbox& out, Lexicons& lexicons, Settings settings,
               std::chrono::milliseconds debounce)
    : out_(out), lexicons_(lexicons), settings_(std::move(settings)), debounce_(debounce) {}

Server::~Server() = default;

void Server::Reply(const Json& id, Json result) {
  out_.Send(MakeResponse(id, std::move(result)));
}

void Server::Fail(const Json& id, int code, const std::string& message) {
  out_.Send(MakeError(id, code, message));
}

void Server::Notify(const std::string& method, Json params) {
  out_.Send(MakeNotification(method, std::move(params)));
}

void Server::ShowMessage(int type, const std::string& text) {
  Notify("window/showMessage", Json{{"type", type}, {"message", "orthspell: " + text}});
}

void Server::FramingError(const std::string& error, bool tooLarge) {
  Fail(nullptr, tooLarge ? INVALID_REQUEST : PARSE_ERROR, error);
}

void Server::Receive(std::string_view body, Clock::time_point now) {
  Message message = ParseMessage(body);
  if (message.kind == MessageKind::INVALID) {
    Fail(message.id, message.errorCode, message.errorMessage);
    return;
  }
  // Params of the wrong shape: the request fails, a notification is logged.
  const auto badParams = [this, &message](const char* what) {
    if (message.kind == MessageKind::REQUEST) {
      Fail(message.id, INVALID_PARAMS, what);
    } else {
      Notify("window/logMessage", Json{{"type", 2}, {"message", message.method + ": " + what}});
    }
  };
  try {
    Dispatch(message, now);
  } catch (const ParamsError& error) {
    badParams(error.what());
  } catch (const Json::exception& error) {
    badParams(error.what());
  } catch (const std::exception& error) {
    if (message.kind == MessageKind::REQUEST) Fail(message.id, INTERNAL_ERROR, error.what());
  }
}

void Server::Dispatch(Message& message, Clock::time_point now) {
  static const std::map<std::string_view, Handler> REQUESTS = {
      {"initialize", &Server::Initialize},
      {"shutdown", &Server::Shutdown},
      {"textDocument/codeAction", &Server::CodeAction},
      {"workspace/executeCommand", &Server::ExecuteCommand},
  };
  static const std::map<std::string_view, Handler> NOTIFICATIONS = {
      {"initialized", &Server::Initialized},
      {"exit", &Server::Exit},
      {"textDocument/didOpen", &Server::DidOpen},
      {"textDocument/didChange", &Server::DidChange},
      {"textDocument/didClose", &Server::DidClose},
      {"textDocument/didSave", &Server::DidSave},
      {"workspace/didChangeConfiguration", &Server::DidChangeConfiguration},
  };
  if (message.kind == MessageKind::RESPONSE) {
    Response(message, now);
    return;
  }
  const bool request = message.kind == MessageKind::REQUEST;
  if (!request && message.method == "exit") {
    Exit(message, now);
    return;
  }
  if (request && shutdown_) {
    Fail(message.id, INVALID_REQUEST, "the server is shut down");
    return;
  }
  if (!initialized_ && message.method != "initialize") {
    // Notifications before initialize are dropped, as the protocol says.
    if (request) Fail(message.id, SERVER_NOT_INITIALIZED, "initialize comes first");
    return;
  }
  if (shutdown_) return;
  const auto& table = request ? REQUESTS : NOTIFICATIONS;
  const auto handler = table.find(message.method);
  if (handler == table.end()) {
    // Unknown notifications ($/cancelRequest, $/setTrace among them) are
    // ignored; every request is answered.
    if (request) Fail(message.id, METHOD_NOT_FOUND, "no method " + message.method);
    return;
  }
  (this->*handler->second)(message, now);
}

void Server::Initialize(Message& message, Clock::time_point) {
  if (initialized_) {
    Fail(message.id, INVALID_REQUEST, "initialize was already sent");
    return;
  }
  const Json& params = message.params.is_object() ? message.params : Json::object();
  const Json capabilities = params.value("capabilities", Json::object());
  if (capabilities.is_object()) {
    encoding_ = OffersUtf8(capabilities) ? PositionEncoding::UTF8 : PositionEncoding::UTF16;
    clientConfiguration_ = Capability(capabilities, {"workspace", "configuration"});
    documentChanges_ = Capability(capabilities, {"workspace", "workspaceEdit", "documentChanges"});
  }
  initialized_ = true;
  Settings next = settings_;
  const auto options = params.find("initializationOptions");
  if (options != params.end() && options->is_object()) {
    // Either the "orthspell" object itself or an object holding it.
    const Json& section = Section(*options);
    std::vector<std::string> problems;
    ReadSettings(section.is_null() ? *options : section, next, problems);
    for (const std::string& problem : problems) ShowMessage(2, problem);
  }
  const std::string version = std::to_string(ORTH_VERSION_MAJOR) + "." +
                              std::to_string(ORTH_VERSION_MINOR) + "." +
                              std::to_string(ORTH_VERSION_PATCH);
  Reply(message.id,
        Json{{"capabilities",
              {{"positionEncoding", encoding_ == PositionEncoding::UTF8 ? "utf-8" : "utf-16"},
               {"textDocumentSync",
                {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
               {"codeActionProvider", {{"codeActionKinds", Json::array({"quickfix"})}}},
               {"executeCommandProvider",
                {{"commands", Json::array({ADD_WORD_COMMAND, IGNORE_WORD_COMMAND})}}}}},
             {"serverInfo", {{"name", "orthspell"}, {"version", version}}}});
  UseSettings(std::move(next), true);
}

void Server::Initialized(Message&, Clock::time_point) {
  if (clientConfiguration_) RequestConfiguration();
}

void Server::Shutdown(Message& message, Clock::time_point) {
  shutdown_ = true;
  Reply(message.id, nullptr);
}

void Server::Exit(Message&, Clock::time_point) {
  exited_ = true;
}

void Server::RequestConfiguration() {
  const int64_t id = nextRequest_++;
  configurationRequests_.push_back(id);
  // Named section: Neovim 0.7 answers nothing for an item without one.
  out_.Send(MakeRequest(id, "workspace/configuration",
                        Json{{"items", Json::array({{{"section", SETTINGS_SECTION}}})}}));
}

void Server::Response(Message& message, Clock::time_point) {
  if (!message.id.is_number_integer()) return;
  const auto found = std::find(configurationRequests_.begin(), configurationRequests_.end(),
                               message.id.get<int64_t>());
  if (found == configurationRequests_.end()) return;
  configurationRequests_.erase(found);
  if (message.result.is_array() && !message.result.empty() && message.result[0].is_object()) {
    ApplySettings(message.result[0]);
  }
}

void Server::DidChangeConfiguration(Message& message, Clock::time_point) {
  const Json& section =
      message.params.is_object() ? Section(message.params.value("settings", Json())) : Json();
  if (section.is_object()) {
    ApplySettings(section);
  } else if (clientConfiguration_) {
    RequestConfiguration();
  }
}

void Server::ApplySettings(const Json& object) {
  Settings next = settings_;
  std::vector<std::string> problems;
  ReadSettings(object, next, problems);
  for (const std::string& problem : problems) ShowMessage(2, problem);
  UseSettings(std::move(next), false);
}

void Server::UseSettings(Settings next, bool force) {
  if (!force && lexiconsOpen_ && SameSettings(settings_, next)) return;
  if (!lexiconsOpen_ || !SameLexicons(settings_, next)) {
    std::string error;
    if (lexicons_.Open(next, error)) {
      lexiconsOpen_ = true;
    } else {
      ShowMessage(1, error);
      // The lexicons that are open (if any) stay, and so do their names.
      next.common.dictionaries = settings_.common.dictionaries;
      next.common.personalList = settings_.common.personalList;
      next.common.replacementList = settings_.common.replacementList;
      next.common.techWords = settings_.common.techWords;
      next.common.rareWords = settings_.common.rareWords;
    }
  }
  settings_ = std::move(next);
  checker_.reset();
  if (lexiconsOpen_) {
    checker_ =
        std::make_unique<DocumentChecker>(lexicons_.session(), MakePolicy(settings_), collector_);
  }
  for (auto& [uri, document] : documents_) ChooseParser(*document);
  RecheckAll();
}

void Server::RecheckAll() {
  for (auto& [uri, document] : documents_) {
    document->checks.Invalidate();
    CheckNow(*document);
  }
}

void Server::ReloadLexicons() {
  if (!lexiconsOpen_) return;
  std::string error;
  if (!lexicons_.ReloadIfChanged(error)) return;
  if (!error.empty()) ShowMessage(1, error);
  if (checker_) checker_->ForgetLookups();
  RecheckAll();
}

OpenDocument* Server::Find(const Json& params) {
  const auto found = documents_.find(UriOf(params));
  return found == documents_.end() ? nullptr : found->second.get();
}

void Server::ChooseParser(OpenDocument& document) {
  const std::string& text = document.text.text();
  ParserChoice choice =
      lsp::ChooseParser(settings_, document.text.languageId(), FilePathOfUri(document.text.uri()),
                        std::string_view(text).substr(0, 4096));
  if (!SameParser(choice, document.parser)) {
    document.parser = std::move(choice);
    document.checks = ParagraphChecks();
  }
}

void Server::CheckNow(OpenDocument& document) {
  document.checkAt.reset();
  if (checker_ && document.parser.format != nullptr) {
    UseTechWordsFor(document);
    document.checks.Check(document.text.text(), document.parser, *checker_, collector_);
  }
  Publish(document);
}

void Server::UseTechWordsFor(const OpenDocument& document) {
  const bool technical = document.parser.format != nullptr && document.parser.format->technical;
  if (lexiconsOpen_ && lexicons_.UseTechWordsFor(technical) && checker_) checker_->ForgetLookups();
}

void Server::Publish(OpenDocument& document) {
  const int64_t version = document.text.version();
  if (document.published && *document.published > version) return;
  document.published = version;
  Notify("textDocument/publishDiagnostics", PublishParams(document, settings_.severity, encoding_));
}

void Server::DidOpen(Message& message, Clock::time_point) {
  Json& item = Member(message.params, "textDocument");
  const Json& version = Member(item, "version");
  if (!version.is_number_integer()) throw ParamsError("'version' must be a number");
  const std::string uri = StringMember(item, "uri");
  std::string languageId = StringMember(item, "languageId");
  auto document = std::make_unique<OpenDocument>(
      TextDocument(uri, std::move(languageId), version.get<int64_t>(), TakeString(item, "text")));
  ChooseParser(*document);
  OpenDocument& opened = *(documents_[uri] = std::move(document));
  CheckNow(opened);
}

void Server::DidChange(Message& message, Clock::time_point now) {
  OpenDocument* document = Find(message.params);
  if (document == nullptr) throw ParamsError("the document is not open");
  const Json& version = Member(Member(message.params, "textDocument"), "version");
  if (!version.is_number_integer()) throw ParamsError("'version' must be a number");
  Json& changes = Member(message.params, "contentChanges");
  if (!changes.is_array()) throw ParamsError("'contentChanges' must be an array");
  // All of them are read before any is applied: a bad one changes nothing.
  std::vector<TextChange> read;
  read.reserve(changes.size());
  for (Json& change : changes) read.push_back(ChangeOf(change));
  bool nearHead = false;
  for (const TextChange& change : read) {
    const ByteEdit edit = document->text.Apply(change, encoding_);
    document->checks.Edited(edit);
    nearHead = nearHead || edit.begin < 4096;
  }
  document->text.SetVersion(version.get<int64_t>());
  // The first bytes may say what the document is ("#!", front matter).
  if (nearHead) ChooseParser(*document);
  document->checkAt = now + debounce_;
}

void Server::DidClose(Message& message, Clock::time_point) {
  const std::string uri = UriOf(message.params);
  if (documents_.erase(uri) == 0) return;
  Notify("textDocument/publishDiagnostics", Json{{"uri", uri}, {"diagnostics", Json::array()}});
}

void Server::DidSave(Message&, Clock::time_point) {
  ReloadLexicons();
}

void Server::RunDue(Clock::time_point now) {
  for (auto& [uri, document] : documents_) {
    if (document->checkAt && *document->checkAt <= now) CheckNow(*document);
  }
}

std::optional<Clock::time_point> Server::NextDue() const {
  std::optional<Clock::time_point> next;
  for (const auto& [uri, document] : documents_) {
    if (document->checkAt && (!next || *document->checkAt < *next)) next = document->checkAt;
  }
  return next;
}

void Server::CodeAction(Message& message, Clock::time_point) {
  OpenDocument* document = Find(message.params);
  if (document == nullptr) {
    Reply(message.id, Json::array());
    return;
  }
  // Actions are built from findings of the text as it is now.
  if (document->checkAt) CheckNow(*document);
  UseTechWordsFor(*document);  // the suggestions come from the document's lexicons
  ActionOptions options;
  options.session = lexiconsOpen_ ? lexicons_.session() : -1;
  options.maxSuggestions = settings_.maxSuggestions;
  options.encoding = encoding_;
  options.documentChanges = documentChanges_;
  options.canAddWords = lexiconsOpen_ && lexicons_.canAddWords();
  Reply(message.id, CodeActions(*document, message.params, options));
}

void Server::ExecuteCommand(Message& message, Clock::time_point) {
  const std::string command = StringMember(message.params, "command");
  const Json arguments = message.params.value("arguments", Json::array());
  if (!arguments.is_array()) throw ParamsError("'arguments' must be an array");
  const auto stringAt = [&arguments](size_t index) {
    if (index >= arguments.size() || !arguments[index].is_string()) {
      throw ParamsError("argument " + std::to_string(index + 1) + " must be a string");
    }
    return arguments[index].get<std::string>();
  };
  if (command == ADD_WORD_COMMAND) {
    std::string latin1;
    if (!WordToAdd(stringAt(0), latin1)) {
      Fail(message.id, INVALID_PARAMS, "not a word the personal list can hold");
      return;
    }
    std::string error;
    if (!lexiconsOpen_ || !lexicons_.AddWord(latin1, error)) {
      if (error.empty()) error = "no dictionary is open";
      ShowMessage(1, error);
      Fail(message.id, REQUEST_FAILED, error);
      return;
    }
    // The diagnostics go out before the answer: a client that waits for the
    // answer may read no further in the same chunk of input (eglot 1.9).
    if (checker_) checker_->ForgetLookups();
    RecheckAll();
    Reply(message.id, nullptr);
    return;
  }
  if (command == IGNORE_WORD_COMMAND) {
    const std::string uri = stringAt(0);
    std::string latin1;
    if (!WordToAdd(stringAt(1), latin1)) {
      Fail(message.id, INVALID_PARAMS, "not a word");
      return;
    }
    const auto found = documents_.find(uri);
    if (found == documents_.end()) {
      Fail(message.id, INVALID_PARAMS, "the document is not open");
      return;
    }
    found->second->ignored.insert(LowerLatin1(latin1));
    Publish(*found->second);
    Reply(message.id, nullptr);
    return;
  }
  Fail(message.id, INVALID_PARAMS, "no command " + command);
}

}  // namespace orth::cli::lsp
