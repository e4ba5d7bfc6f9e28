#include "lsp/diagnostics.h"

#include "encoding/engine_text.h"
#include "encoding/latin1_classes.h"

namespace orth::cli::lsp {

namespace {

std::string LowerLatin1(std::string_view word) {
  std::string lower(word);
  for (char& c : lower) c = ToLower(c);
  return lower;
}

std::string MessageOf(const Finding& finding) {
  const std::string word = WordOf(finding);
  switch (finding.verdict) {
    case WordVerdict::DOUBLED:
      return "Repeated word \u00AB" + word + "\u00BB";
    case WordVerdict::REPLACEMENT:
    case WordVerdict::SUGGESTION:
      return "\u00AB" + word + "\u00BB: use \u00AB" + Latin1ToUtf8Text(finding.other) + "\u00BB";
    case WordVerdict::WRONG_CASE:
      return "\u00AB" + word + "\u00BB is written \u00AB" + Latin1ToUtf8Text(finding.other) +
             "\u00BB";
    default:
      return "Unknown word \u00AB" + word + "\u00BB";
  }
}

}  // namespace

const char* KindName(WordVerdict verdict) {
  switch (verdict) {
    case WordVerdict::DOUBLED:
      return "doubled";
    case WordVerdict::REPLACEMENT:
      return "replacement";
    case WordVerdict::SUGGESTION:
      return "suggestion";
    case WordVerdict::WRONG_CASE:
      return "case";
    default:
      return "misspelled";
  }
}

bool IsShown(const OpenDocument& document, const Finding& finding) {
  if (finding.verdict == WordVerdict::WRONG_CASE) {
    return document.ignored.empty() || document.ignored.count(LowerLatin1(finding.word)) == 0;
  }
  if (finding.verdict != WordVerdict::MISSPELLED) return true;
  if (document.checks.NamedInCode(finding)) return false;
  return document.ignored.empty() || document.ignored.count(LowerLatin1(finding.word)) == 0;
}

std::string WordOf(const Finding& finding) {
  return Latin1ToUtf8Text(finding.word);
}

Json RangeJson(Position start, Position end) {
  return Json{{"start", {{"line", start.line}, {"character", start.character}}},
              {"end", {{"line", end.line}, {"character", end.character}}}};
}

Json RangeJson(const TextDocument& document, size_t begin, size_t end, PositionEncoding encoding) {
  return RangeJson(document.PositionOf(begin, encoding), document.PositionOf(end, encoding));
}

Json PublishParams(const OpenDocument& document, int severity, PositionEncoding encoding) {
  Json diagnostics = Json::array();
  // The findings come in order of their starts, and so (words do not nest)
  // of their ends.
  const TextDocument& text = document.text;
  PositionCursor starts(text.text(), text.lines(), encoding);
  PositionCursor ends(text.text(), text.lines(), encoding);
  for (const Finding& finding : document.checks.findings()) {
    if (!IsShown(document, finding)) continue;
    Json range = RangeJson(starts.At(finding.begin), ends.At(finding.end));
    diagnostics.push_back(Json{{"range", range},
                               {"severity", severity},
                               {"code", KindName(finding.verdict)},
                               {"source", DIAGNOSTIC_SOURCE},
                               {"message", MessageOf(finding)},
                               {"data",
                                {{"word", WordOf(finding)},
                                 {"kind", KindName(finding.verdict)},
                                 {"range", range},
                                 {"version", document.text.version()}}}});
  }
  return Json{{"uri", document.text.uri()},
              {"version", document.text.version()},
              {"diagnostics", std::move(diagnostics)}};
}

}  // namespace orth::cli::lsp
