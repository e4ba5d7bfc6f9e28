// The interactive correction of one part: block check, screen, keys, undo.
#include "commands/fix_session.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "encoding/engine_text.h"
#include "orth.h"
#include "check/word_lookup.h"

namespace orth::cli {

namespace {

constexpr uint32_t MISS_BITS = RES_MISSPELLED | RES_CHANGE_WORD | RES_SUGGEST_WORD;

constexpr char KEY_HELP[] =
    "[1-9] replace  r type a replacement  a add to list  i ignore  I ignore all\n"
    "d delete doubled word  u undo  q save and quit  x quit without saving\n";

// The part's block, reopened when it must grow or go back to an earlier text.
struct PartBlock {
  int32_t session = -1;
  int32_t block = -1;
  uint32_t capacity = 0;

  PartBlock() = default;
  PartBlock(const PartBlock&) = delete;
  PartBlock& operator=(const PartBlock&) = delete;
  ~PartBlock() { Close(); }

  void Close() {
    if (block >= 0) ORTH_CloseBlock(session, block);
    block = -1;
  }

  uint32_t Cursor() const {
    uint32_t cursor = 0;
    ORTH_GetBlockInfo(session, block, nullptr, nullptr, &cursor, nullptr);
    return cursor;
  }

  std::string Text() const {
    std::string text(capacity, '\0');
    const int32_t length = ORTH_GetBlock(session, block, text.data(), capacity);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
  }

  // Opens the block over text with room to grow and walks to the first word
  // at or after cursor.
  bool Open(const std::string& text, uint32_t cursor, uint32_t minimumCapacity = 0) {
    Close();
    const auto length = static_cast<uint32_t>(text.size());
    capacity = std::max<uint32_t>(minimumCapacity, length + length / 4 + 256);
    block = ORTH_OpenBlock(session, text.data(), length, capacity, 1);
    if (block < 0) return false;
    while (Cursor() < cursor && ORTH_NextBlockWord(session, block) == 0) {
    }
    return true;
  }
};

struct UndoStep {
  bool textChange = true;  // else a word added to a list
  MappedText text;         // the text before the change
  uint32_t cursor = 0;
  int32_t lex = -1;
  std::string word;
  bool personal = false;
};

struct Finding {
  std::string word;  // engine bytes
  std::size_t start = 0;
  bool doubled = false;
  bool miss = false;
  std::vector<std::string> suggestions;  // engine bytes
};

// The entries of a text lexicon.
std::vector<std::string> ListLex(int32_t session, int32_t lex) {
  std::vector<std::string> entries;
  int32_t size = 0;
  if (lex < 0 || ORTH_GetLexInfo(session, lex, &size, nullptr, nullptr, nullptr) < 0)
    return entries;
  std::vector<char> buffer(static_cast<std::size_t>(size) + 2);
  const int32_t count =
      ORTH_GetLex(session, lex, buffer.data(), static_cast<uint32_t>(buffer.size()));
  const char* p = buffer.data();
  for (int32_t i = 0; i < count; ++i, p += std::strlen(p) + 1) entries.emplace_back(p);
  return entries;
}

std::vector<std::string> SuggestionsFor(const FixContext& context, const std::string& word,
                                        const char* replacement) {
  std::vector<std::string> out;
  if (replacement != nullptr && replacement[0] != '\0') out.emplace_back(replacement);
  const int max = context.maxSuggestions;
  std::vector<ScoredWord> found;
  SuggestWords(context.session, word, {max, context.classic, SUGGEST_LEVEL_AUTO}, found);
  for (ScoredWord& s : found) {
    if (std::find(out.begin(), out.end(), s.word) == out.end()) out.push_back(std::move(s.word));
  }
  if (out.size() > static_cast<std::size_t>(max)) out.resize(static_cast<std::size_t>(max));
  return out;
}

// The engine positions of the line holding position pos (without its end).
std::pair<std::size_t, std::size_t> LineAround(const std::string& text, std::size_t pos) {
  const std::size_t begin = pos == 0 ? 0 : text.rfind('\n', pos - 1);
  const std::size_t start = begin == std::string::npos || pos == 0 ? 0 : begin + 1;
  std::size_t end = text.find('\n', pos);
  if (end == std::string::npos) end = text.size();
  return {start, end};
}

// One line of the text for the screen, the word highlighted when it is in
// it, cut to a window around the word when it is too long.
std::string ShowLine(const FixContext& context, const MappedText& text, std::size_t begin,
                     std::size_t end, const Finding* finding) {
  const std::size_t width = static_cast<std::size_t>(TerminalWidth(*context.terminal)) - 10;
  if (end - begin > width) {
    const std::size_t center = finding != nullptr ? finding->start : begin;
    begin = std::max(begin, center > width / 2 ? center - width / 2 : begin);
    end = std::min(end, begin + width);
  }
  if (finding == nullptr || finding->start < begin || finding->start >= end) {
    return DisplayMappedText(text, begin, end);
  }
  const std::size_t wordEnd = std::min(end, finding->start + finding->word.size());
  return DisplayMappedText(text, begin, finding->start) +
         Highlight(*context.terminal, DisplayMappedText(text, finding->start, wordEnd)) +
         DisplayMappedText(text, wordEnd, end);
}

void ShowFinding(const FixContext& context, const MappedText& text, const Finding& finding,
                 const std::string& note) {
  Terminal& terminal = *context.terminal;
  const std::string& engine = text.engine;
  const std::size_t line =
      context.firstLine +
      static_cast<std::size_t>(std::count(
          engine.begin(), engine.begin() + static_cast<std::ptrdiff_t>(finding.start), '\n'));
  const auto [begin, end] = LineAround(engine, finding.start);
  const std::string word =
      DisplayMappedText(text, finding.start, finding.start + finding.word.size());
  std::string out;
  if (terminal.screen) {
    ClearScreen(terminal);
    out += "orthspell fix: " + context.fileName + "  (part " +
           std::to_string(context.partIndex + 1) + " of " + std::to_string(context.partCount) +
           ")\n\n";
    if (begin > 0) {
      const auto [pb, pe] = LineAround(engine, begin - 1);
      out += "  " + ShowLine(context, text, pb, pe, nullptr) + "\n";
    }
    out += "> " + ShowLine(context, text, begin, end, &finding) + "\n";
    if (end < engine.size()) {
      const auto [nb, ne] = LineAround(engine, end + 1);
      out += "  " + ShowLine(context, text, nb, ne, nullptr) + "\n";
    }
    out += "\n";
  } else {
    out += context.fileName + ":" + std::to_string(line) + ": " +
           ShowLine(context, text, begin, end, &finding) + "\n";
  }
  out +=
      finding.doubled ? "doubled word '" + word + "'" : "'" + word + "' is not in the dictionary";
  out += terminal.screen ? "  (line " + std::to_string(line) + ")\n" : "\n";
  for (std::size_t i = 0; i < finding.suggestions.size(); ++i) {
    out += "  " + std::to_string(i + 1) + ") " + Latin1ToUtf8Text(finding.suggestions[i]) +
           (i % 3 == 2 || i + 1 == finding.suggestions.size() ? "\n" : "");
  }
  if (terminal.screen) out += "\n" + std::string(KEY_HELP);
  if (!note.empty()) out += note + "\n";
  std::fputs(out.c_str(), terminal.out);
}

}  // namespace

FixOutcome FixPart(FixContext& context, MappedText& text) {
  PartBlock block;
  block.session = context.session;
  if (!block.Open(text.engine, 0)) return FixOutcome::FAILED;
  std::vector<UndoStep> undo;
  std::string note;

  // Applies one engine edit at the cursor and keeps text in step with it.
  auto edit = [&](auto&& change) -> bool {
    UndoStep step;
    step.text = text;
    step.cursor = block.Cursor();
    int32_t result = change();
    // The part grows past its room: reopen it with twice the room.
    for (int grown = 0; result == ERR_BUFFER_TOO_SMALL && grown < 16; ++grown) {
      if (!block.Open(text.engine, step.cursor, block.capacity * 2)) return false;
      result = change();
    }
    if (result < 0) {
      note = "the change does not fit (code " + std::to_string(result) + ")";
      return true;
    }
    SyncMappedText(text, block.Text(), step.cursor);
    undo.push_back(std::move(step));
    ++context.changes;
    return true;
  };
  auto addWord = [&](int32_t lex, const std::string& word, bool personal) {
    const std::vector<std::string> before = ListLex(context.session, lex);
    if (lex < 0 || ORTH_AddToLex(context.session, lex, word.c_str(), nullptr) < 0) {
      note = "cannot add '" + Latin1ToUtf8Text(word) + "' to the word list";
      return;
    }
    UndoStep step;
    step.textChange = false;
    step.cursor = block.Cursor();
    step.lex = lex;
    // The entry the list stores (the word's look-up form), if it is new.
    for (const std::string& entry : ListLex(context.session, lex)) {
      if (std::find(before.begin(), before.end(), entry) == before.end()) step.word = entry;
    }
    step.personal = personal;
    if (personal) context.personalModified = true;
    undo.push_back(std::move(step));
  };

  for (;;) {
    char word[1024] = {};
    char other[WORD_MAX + 8] = {};
    const int32_t findings = ORTH_CheckBlock(context.session, block.block, context.options, word,
                                             sizeof word, other, sizeof other);
    if (findings < 0) return FixOutcome::FAILED;
    if ((findings & RES_END_OF_BLOCK) != 0) return FixOutcome::PART_DONE;
    Finding finding;
    finding.word = word;
    const std::size_t found = text.engine.find(finding.word, block.Cursor());
    finding.start = found == std::string::npos ? block.Cursor() : found;
    finding.doubled = (findings & RES_DOUBLED_WORD) != 0;
    finding.miss = (findings & MISS_BITS) != 0;
    if (finding.miss) {
      finding.suggestions =
          SuggestionsFor(context, finding.word,
                         (findings & (RES_CHANGE_WORD | RES_SUGGEST_WORD)) ? other : nullptr);
    }

    bool next = false;  // leave the key loop and check again
    while (!next) {
      ShowFinding(context, text, finding, note);
      note.clear();
      const std::optional<char> key = ReadKey(*context.terminal, "? ");
      if (!key) return FixOutcome::QUIT_WITHOUT_SAVING;
      std::fputc('\n', context.terminal->out);
      const char k = *key;
      if (k >= '1' && k <= '9') {
        const auto index = static_cast<std::size_t>(k - '1');
        if (index >= finding.suggestions.size()) {
          note = "no suggestion " + std::string(1, k);
          continue;
        }
        const std::string replacement = finding.suggestions[index];
        if (!edit([&] {
              return ORTH_ReplaceBlockWord(context.session, block.block, replacement.c_str());
            }))
          return FixOutcome::FAILED;
        next = true;
      } else if (k == 'r') {
        const std::optional<std::string> typed = ReadTextLine(*context.terminal, "replace with: ");
        if (!typed || typed->empty()) continue;
        std::string latin1;
        if (!WordToLatin1(*typed, latin1)) {
          note = "the replacement holds a character the engine cannot check";
          continue;
        }
        if (!edit([&] {
              return ORTH_ReplaceBlockWord(context.session, block.block, latin1.c_str());
            }))
          return FixOutcome::FAILED;
        next = true;
      } else if (k == 'a' && finding.miss) {
        const bool personal = context.personalLex >= 0;
        addWord(personal ? context.personalLex : context.runLex, finding.word, personal);
        next = true;
      } else if (k == 'i') {
        if (ORTH_NextBlockWord(context.session, block.block) < 0) return FixOutcome::PART_DONE;
        next = true;
      } else if (k == 'I') {
        if (finding.miss) addWord(context.runLex, finding.word, false);
        if (!finding.miss && ORTH_NextBlockWord(context.session, block.block) < 0) {
          return FixOutcome::PART_DONE;
        }
        next = true;
      } else if (k == 'd' && finding.doubled) {
        if (!edit([&] { return ORTH_DelBlockWord(context.session, block.block); }))
          return FixOutcome::FAILED;
        next = true;
      } else if (k == 'u') {
        if (undo.empty()) {
          note = "nothing to undo";
          continue;
        }
        UndoStep step = std::move(undo.back());
        undo.pop_back();
        if (step.textChange) {
          text = std::move(step.text);
          if (!block.Open(text.engine, step.cursor, block.capacity)) return FixOutcome::FAILED;
          --context.changes;
        } else {
          if (!step.word.empty()) ORTH_DelFromLex(context.session, step.lex, step.word.c_str());
          // Back to the word, so that it is reported again.
          if (!block.Open(text.engine, step.cursor, block.capacity)) return FixOutcome::FAILED;
        }
        next = true;
      } else if (k == 'q') {
        return FixOutcome::SAVE_AND_QUIT;
      } else if (k == 'x') {
        return FixOutcome::QUIT_WITHOUT_SAVING;
      } else {
        note = KEY_HELP;
      }
    }
  }
}

}  // namespace orth::cli
