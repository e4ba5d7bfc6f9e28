#include "lsp/code_actions.h"

#include <algorithm>
#include <cstdlib>

#include "check/word_lookup.h"
#include "encoding/engine_text.h"
#include "lsp/diagnostics.h"

namespace orth::cli::lsp {

namespace {

bool ReadPosition(const Json& value, Position& out) {
  if (!value.is_object()) return false;
  const auto line = value.find("line");
  const auto character = value.find("character");
  if (line == value.end() || character == value.end() || !line->is_number_unsigned() ||
      !character->is_number_unsigned()) {
    return false;
  }
  out.line = line->get<size_t>();
  out.character = character->get<size_t>();
  return true;
}

bool ReadRange(const Json& value, Position& start, Position& end) {
  return value.is_object() && value.contains("start") && value.contains("end") &&
         ReadPosition(value["start"], start) && ReadPosition(value["end"], end);
}

// The finding a diagnostic of ours stands for, in the current text.
const Finding* FindingOf(const OpenDocument& document, const Json& diagnostic,
                         PositionEncoding encoding) {
  if (!diagnostic.is_object() || diagnostic.value("source", "") != DIAGNOSTIC_SOURCE) {
    return nullptr;
  }
  const auto data = diagnostic.find("data");
  if (data == diagnostic.end() || !data->is_object()) return nullptr;
  const std::string word = data->value("word", "");
  const std::string kind = data->value("kind", "");
  Position start, end;
  if (!data->contains("range") || !ReadRange((*data)["range"], start, end)) return nullptr;
  const auto version = data->find("version");
  const bool current = version != data->end() && version->is_number_integer() &&
                       version->get<int64_t>() == document.text.version();
  const Finding* best = nullptr;
  size_t bestDistance = SIZE_MAX;
  PositionCursor cursor(document.text.text(), document.text.lines(), encoding);
  for (const Finding& finding : document.checks.findings()) {
    if (KindName(finding.verdict) != kind || WordOf(finding) != word ||
        !IsShown(document, finding)) {
      continue;
    }
    const Position at = cursor.At(finding.begin);
    if (current) {
      if (at.line == start.line && at.character == start.character) return &finding;
      continue;
    }
    // The text changed since: the same word nearest to where it was.
    const size_t distance = at.line > start.line ? at.line - start.line : start.line - at.line;
    if (distance < bestDistance) {
      best = &finding;
      bestDistance = distance;
    }
  }
  return best;
}

Json Edit(const OpenDocument& document, size_t begin, size_t end, const std::string& text,
          const ActionOptions& options) {
  Json edit = {{"range", RangeJson(document.text, begin, end, options.encoding)},
               {"newText", text}};
  if (options.documentChanges) {
    return Json{
        {"documentChanges",
         Json::array({{{"textDocument",
                        {{"uri", document.text.uri()}, {"version", document.text.version()}}},
                       {"edits", Json::array({edit})}}})}};
  }
  return Json{{"changes", {{document.text.uri(), Json::array({edit})}}}};
}

Json Action(std::string title, const Json& diagnostic, bool preferred) {
  Json action = {{"title", std::move(title)}, {"kind", "quickfix"}};
  if (!diagnostic.is_null()) action["diagnostics"] = Json::array({diagnostic});
  if (preferred) action["isPreferred"] = true;
  return action;
}

std::string Quoted(const std::string& word) {
  return "\u00AB" + word + "\u00BB";
}

// Where a doubled word's deletion starts: the white space before it goes too.
size_t RepeatStart(std::string_view text, size_t begin) {
  while (begin > 0 && (text[begin - 1] == ' ' || text[begin - 1] == '\t' ||
                       text[begin - 1] == '\n' || text[begin - 1] == '\r')) {
    --begin;
  }
  return begin;
}

void AddActions(const OpenDocument& document, const Finding& finding, const Json& diagnostic,
                const ActionOptions& options, Json& out) {
  const std::string word = WordOf(finding);
  switch (finding.verdict) {
    case WordVerdict::DOUBLED: {
      Json action = Action("Delete the repeated word", diagnostic, true);
      action["edit"] = Edit(document, RepeatStart(document.text.text(), finding.begin), finding.end,
                            "", options);
      out.push_back(std::move(action));
      return;
    }
    case WordVerdict::REPLACEMENT:
    case WordVerdict::SUGGESTION:
    case WordVerdict::WRONG_CASE: {
      const std::string other = Latin1ToUtf8Text(finding.other);
      Json action = Action("Replace with " + Quoted(other), diagnostic, true);
      action["edit"] = Edit(document, finding.begin, finding.end, other, options);
      out.push_back(std::move(action));
      // A word in another case may be a slip for another word, or the
      // writer's choice: the suggestions follow, and it can be kept.
      if (finding.verdict != WordVerdict::WRONG_CASE) return;
      break;
    }
    default:
      break;
  }
  if (finding.verdict == WordVerdict::MISSPELLED || finding.verdict == WordVerdict::WRONG_CASE) {
    std::vector<ScoredWord> suggestions;
    SuggestionOptions suggestion;
    suggestion.maxSuggestions = options.maxSuggestions;
    if (options.session >= 0) SuggestWords(options.session, finding.word, suggestion, suggestions);
    bool first = finding.verdict == WordVerdict::MISSPELLED;
    for (const ScoredWord& scored : suggestions) {
      if (finding.verdict == WordVerdict::WRONG_CASE && scored.word == finding.other) continue;
      const std::string text = Latin1ToUtf8Text(scored.word);
      Json action = Action("Replace with " + Quoted(text), diagnostic, first);
      action["edit"] = Edit(document, finding.begin, finding.end, text, options);
      out.push_back(std::move(action));
      first = false;
    }
  }
  if (options.canAddWords) {
    Json action = Action("Add " + Quoted(word) + " to the personal word list", diagnostic, false);
    action["command"] = {{"title", "Add to the personal word list"},
                         {"command", ADD_WORD_COMMAND},
                         {"arguments", Json::array({word})}};
    out.push_back(std::move(action));
  }
  Json action = Action("Ignore " + Quoted(word) + " in this document", diagnostic, false);
  action["command"] = {{"title", "Ignore in this document"},
                       {"command", IGNORE_WORD_COMMAND},
                       {"arguments", Json::array({document.text.uri(), word})}};
  out.push_back(std::move(action));
}

}  // namespace

std::vector<const Finding*> FindingsAsked(const OpenDocument& document, const Json& params,
                                          PositionEncoding encoding) {
  std::vector<const Finding*> found;
  const Json* context = params.contains("context") ? &params["context"] : nullptr;
  if (context != nullptr && context->is_object() && context->contains("diagnostics") &&
      (*context)["diagnostics"].is_array()) {
    for (const Json& diagnostic : (*context)["diagnostics"]) {
      const Finding* finding = FindingOf(document, diagnostic, encoding);
      if (finding != nullptr && std::find(found.begin(), found.end(), finding) == found.end()) {
        found.push_back(finding);
      }
    }
  }
  Position start, end;
  if (!found.empty() || !params.contains("range") || !ReadRange(params["range"], start, end)) {
    return found;
  }
  const size_t from = document.text.OffsetOf(start, encoding);
  const size_t to = document.text.OffsetOf(end, encoding);
  for (const Finding& finding : document.checks.findings()) {
    if (finding.begin <= std::max(from, to) && finding.end >= std::min(from, to) &&
        IsShown(document, finding)) {
      found.push_back(&finding);
    }
  }
  return found;
}

Json CodeActions(const OpenDocument& document, const Json& params, const ActionOptions& options) {
  Json actions = Json::array();
  // The client's diagnostic objects go back with the actions they resolve.
  std::vector<std::pair<const Finding*, Json>> asked;
  const Json* context = params.contains("context") ? &params["context"] : nullptr;
  if (context != nullptr && context->is_object() && context->contains("diagnostics") &&
      (*context)["diagnostics"].is_array()) {
    for (const Json& diagnostic : (*context)["diagnostics"]) {
      const Finding* finding = FindingOf(document, diagnostic, options.encoding);
      if (finding != nullptr) asked.emplace_back(finding, diagnostic);
    }
  }
  if (asked.empty()) {
    for (const Finding* finding : FindingsAsked(document, params, options.encoding)) {
      asked.emplace_back(finding, Json());
    }
  }
  std::vector<const Finding*> done;
  for (const auto& [finding, diagnostic] : asked) {
    if (std::find(done.begin(), done.end(), finding) != done.end()) continue;
    done.push_back(finding);
    AddActions(document, *finding, diagnostic, options, actions);
  }
  return actions;
}

}  // namespace orth::cli::lsp
