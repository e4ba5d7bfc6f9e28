#include "lsp/paragraph_checks.h"

#include <algorithm>

#include "check/directives.h"
#include "document/line_cut.h"

namespace orth::cli::lsp {

namespace {

size_t LineStartOf(std::string_view text, size_t at) {
  if (at == 0) return 0;
  const size_t newline = text.rfind('\n', at - 1);
  return newline == std::string_view::npos ? 0 : newline + 1;
}

// Where the line holding `at` ends, after its line end.
size_t NextLineStart(std::string_view text, size_t at) {
  const size_t newline = text.find('\n', at);
  return newline == std::string_view::npos ? text.size() : newline + 1;
}

bool HoldsDirective(std::string_view text) {
  if (text.find(':') == std::string_view::npos) return false;
  std::vector<Directive> found;
  FindDirectives(text, found);
  return !found.empty();
}

}  // namespace

std::vector<size_t> ParagraphStarts(std::string_view text, size_t begin, size_t end) {
  std::vector<size_t> starts{begin};
  bool afterBlank = false;
  for (size_t at = begin; at < end;) {
    size_t next = 0;
    const std::string_view line = LineAt(text.substr(0, end), at, next);
    const bool blank = IsBlankLine(line);
    if (!blank && afterBlank && at > begin) starts.push_back(at);
    afterBlank = blank;
    at = next;
  }
  return starts;
}

void ParagraphChecks::Edited(const ByteEdit& edit) {
  // Places after the edit move with the text; places inside it go to its
  // start (what lies there is read again).
  const auto move = [&edit](size_t at) {
    if (at >= edit.oldEnd) return at - edit.oldEnd + edit.newEnd;
    return at > edit.begin ? edit.begin : at;
  };
  const auto moveEnd = [&edit](size_t at) {
    if (at >= edit.oldEnd) return at - edit.oldEnd + edit.newEnd;
    return at > edit.begin ? edit.newEnd : at;
  };
  for (Paragraph& paragraph : paragraphs_) paragraph.begin = move(paragraph.begin);
  for (Finding& finding : findings_) {
    finding.begin = move(finding.begin);
    finding.end = std::max(finding.begin, moveEnd(finding.end));
  }
  for (CodeName& name : codeNames_) name.offset = move(name.offset);
  if (dirty_) {
    dirtyBegin_ = std::min(move(dirtyBegin_), edit.begin);
    dirtyEnd_ = std::max(moveEnd(dirtyEnd_), edit.newEnd);
  } else {
    dirtyBegin_ = edit.begin;
    dirtyEnd_ = edit.newEnd;
    dirty_ = true;
  }
}

bool ParagraphChecks::NamedInCode(const Finding& finding) const {
  if (codeCounts_.empty() || finding.verdict != WordVerdict::MISSPELLED) return false;
  return codeCounts_.count(finding.wordKey) > 0 || codeCounts_.count(finding.wholeKey) > 0;
}

void ParagraphChecks::CountCode(const CodeName& name, int change) {
  if (change > 0) {
    ++codeCounts_[name.key];
    return;
  }
  const auto it = codeCounts_.find(name.key);
  if (it != codeCounts_.end() && --it->second == 0) codeCounts_.erase(it);
}

CheckOutcome ParagraphChecks::Check(std::string_view text, const ParserChoice& parser,
                                    DocumentChecker& checker, FindingCollector& collector) {
  CheckOutcome outcome;
  if (!pending()) return outcome;
  const bool whole =
      whole_ || paragraphs_.empty() || directives_ > 0 || dirtyBegin_ < NextLineStart(text, 0);
  if (whole || !CheckEdited(text, parser, checker, collector, outcome)) {
    CheckWhole(text, parser, checker, collector, outcome);
  }
  whole_ = false;
  dirty_ = false;
  return outcome;
}

void ParagraphChecks::CheckWhole(std::string_view text, const ParserChoice& parser,
                                 DocumentChecker& checker, FindingCollector& collector,
                                 CheckOutcome& outcome) {
  const std::vector<size_t> starts = ParagraphStarts(text, 0, text.size());
  CheckWindow(text, 0, text.size(), starts, parser, checker, collector, window_);
  std::vector<Paragraph> fresh(starts.size());
  for (size_t i = 0; i < starts.size(); ++i) {
    const size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    fresh[i] = {starts[i], window_.hashes[i],
                HoldsDirective(text.substr(starts[i], end - starts[i]))};
  }
  paragraphs_.clear();
  findings_.clear();
  codeNames_.clear();
  codeCounts_.clear();
  directives_ = 0;
  Splice(0, 0, std::move(fresh), 0, text.size(), window_);
  outcome = {true, true, 0, text.size()};
}

bool ParagraphChecks::CheckEdited(std::string_view text, const ParserChoice& parser,
                                  DocumentChecker& checker, FindingCollector& collector,
                                  CheckOutcome& outcome) {
  // The lines the edits touched and one more on each side: whether a line
  // starts a paragraph depends on the line before it.
  size_t from = LineStartOf(text, dirtyBegin_);
  if (from > 0) from = LineStartOf(text, from - 1);
  size_t to = NextLineStart(text, std::min(dirtyEnd_, text.size()));
  to = NextLineStart(text, to);
  const size_t count = paragraphs_.size();
  auto beginOf = [this](size_t i) { return paragraphs_[i].begin; };
  const size_t first =
      static_cast<size_t>(
          std::upper_bound(paragraphs_.begin(), paragraphs_.end(), from,
                           [](size_t at, const Paragraph& p) { return at < p.begin; }) -
          paragraphs_.begin()) -
      1;
  size_t last = first + 1;
  while (last < count && beginOf(last) < to) ++last;
  const size_t begin = beginOf(first);
  const size_t end = last < count ? beginOf(last) : text.size();

  // The paragraphs of the edited part, which must hold no directive.
  const std::vector<size_t> starts = ParagraphStarts(text, begin, end);
  std::vector<Paragraph> fresh(starts.size());
  for (size_t i = 0; i < starts.size(); ++i) {
    const size_t stop = i + 1 < starts.size() ? starts[i + 1] : end;
    fresh[i].begin = starts[i];
    if (HoldsDirective(text.substr(starts[i], stop - starts[i]))) return false;
  }

  // The margins.
  size_t left = first;
  if (first > 0) {
    do --left;
    while (left > 0 && begin - beginOf(left) < MARGIN_BYTES);
  }
  size_t right = last;
  if (last < count) {
    do ++right;
    while (right < count && beginOf(right) - end < MARGIN_BYTES);
  }
  const size_t windowBegin = beginOf(left);
  const size_t windowEnd = right < count ? beginOf(right) : text.size();
  std::vector<size_t> all;
  all.reserve((first - left) + starts.size() + (right - last));
  for (size_t i = left; i < first; ++i) all.push_back(beginOf(i));
  all.insert(all.end(), starts.begin(), starts.end());
  for (size_t i = last; i < right; ++i) all.push_back(beginOf(i));

  CheckWindow(text, windowBegin, windowEnd, all, parser, checker, collector, window_);
  for (size_t i = left; i < first; ++i) {
    if (window_.hashes[i - left] != paragraphs_[i].hash) return false;
  }
  const size_t rightStart = (first - left) + starts.size();
  for (size_t i = last; i < right; ++i) {
    if (window_.hashes[rightStart + (i - last)] != paragraphs_[i].hash) return false;
  }
  for (size_t i = 0; i < fresh.size(); ++i) fresh[i].hash = window_.hashes[(first - left) + i];
  Splice(first, last, std::move(fresh), windowBegin, windowEnd, window_);
  outcome = {true, false, windowBegin, windowEnd};
  return true;
}

void ParagraphChecks::Splice(size_t first, size_t last, std::vector<Paragraph> fresh, size_t begin,
                             size_t end, WindowResult& result) {
  for (size_t i = first; i < last; ++i) directives_ -= paragraphs_[i].directive ? 1 : 0;
  for (const Paragraph& paragraph : fresh) directives_ += paragraph.directive ? 1 : 0;
  paragraphs_.erase(paragraphs_.begin() + static_cast<std::ptrdiff_t>(first),
                    paragraphs_.begin() + static_cast<std::ptrdiff_t>(last));
  paragraphs_.insert(paragraphs_.begin() + static_cast<std::ptrdiff_t>(first),
                     std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));

  const auto findingAt = [](const Finding& finding, size_t at) { return finding.begin < at; };
  const auto oldFindings = std::lower_bound(findings_.begin(), findings_.end(), begin, findingAt);
  const auto oldFindingsEnd = std::lower_bound(oldFindings, findings_.end(), end, findingAt);
  const auto at = findings_.erase(oldFindings, oldFindingsEnd);
  findings_.insert(at, std::make_move_iterator(result.findings.begin()),
                   std::make_move_iterator(result.findings.end()));

  const auto nameAt = [](const CodeName& name, size_t offset) { return name.offset < offset; };
  const auto oldNames = std::lower_bound(codeNames_.begin(), codeNames_.end(), begin, nameAt);
  const auto oldNamesEnd = std::lower_bound(oldNames, codeNames_.end(), end, nameAt);
  for (auto it = oldNames; it != oldNamesEnd; ++it) CountCode(*it, -1);
  std::stable_sort(result.codeNames.begin(), result.codeNames.end(),
                   [](const CodeName& a, const CodeName& b) { return a.offset < b.offset; });
  for (const CodeName& name : result.codeNames) CountCode(name, +1);
  const auto nameSlot = codeNames_.erase(oldNames, oldNamesEnd);
  codeNames_.insert(nameSlot, result.codeNames.begin(), result.codeNames.end());
}

}  // namespace orth::cli::lsp
