// The checking stage: receives the spans of a document from its parser,
// turns them into the engine's Latin-1 text, finds the words the way the
// engine does, leaves out what is not a word (non_words.h) and what inline
// directives exclude (directives.h), checks each word with the engine and
// tells a FindingSink what it found, with the source bytes and the line and
// column of each finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "check/directives.h"
#include "check/identifier_parts.h"
#include "encoding/source_position.h"
#include "input/document_reader.h"

namespace orth::cli {

struct CheckPolicy {
  uint32_t engineOptions = 0;  // OPT_* bits of the word check
  bool reportDoubled = true;
  uint32_t skipKinds = 0;        // NonWordKind bits of what is left unchecked
  bool splitIdentifiers = true;  // check camelCase words part by part
  bool latin1Input = false;      // the input is Latin-1, not UTF-8
};

enum class WordVerdict {
  CORRECT,      // a word the lexicons know
  MISSPELLED,   // found in no lexicon
  REPLACEMENT,  // a replacement list holds it: `other` is the replacement
  SUGGESTION,   // a suggest list holds it: `other` is the suggestion
  DOUBLED,      // the word repeats the one before it
  WRONG_CASE,   // known in another case only: `other` is the word in that case
};

// One checked word (or part of an identifier).
struct CheckedWord {
  WordVerdict verdict = WordVerdict::CORRECT;
  std::string_view word;   // Latin-1, as the engine checked it
  std::string_view other;  // Latin-1, for REPLACEMENT, SUGGESTION and WRONG_CASE
  size_t sourceBegin = 0;  // the word's bytes in the input
  size_t sourceEnd = 0;
};

class DocumentChecker;

class FindingSink {
 public:
  virtual ~FindingSink() = default;
  // Called for each word in order. A misspelled word that is also doubled
  // comes twice, the misspelling first. Correct words come only when
  // wantsCorrectWords() says so. The views are valid during the call only;
  // checker.Position and checker.Written describe the word there.
  virtual void Word(const CheckedWord& word, DocumentChecker& checker) = 0;
  virtual bool wantsCorrectWords() const { return false; }
};

class DocumentChecker final : public PieceSink {
 public:
  DocumentChecker(int32_t session, const CheckPolicy& policy, FindingSink& findings);
  ~DocumentChecker() override;
  DocumentChecker(const DocumentChecker&) = delete;
  DocumentChecker& operator=(const DocumentChecker&) = delete;

  // Starts a new input: positions from line 1, no directive in force, no
  // word remembered.
  void StartDocument();

  // Whether the text from the next piece on is Latin-1 (else UTF-8): for a
  // client that sends both.
  void SetLatin1Input(bool latin1);

  // The line and column of a source offset of the piece being read.
  TextPosition Position(size_t sourceOffset) { return position_.At(sourceOffset); }
  // The input's own bytes [begin, end) of the piece being read.
  std::string_view Written(size_t begin, size_t end) const;

  uint64_t wordsChecked() const { return wordsChecked_; }

  // Forgets the answers remembered for words: call it when a lexicon of the
  // session changed (a word added to a personal list).
  void ForgetLookups();
  // Some bytes of the input were not UTF-8 and were read as Latin-1.
  bool sawInvalidUtf8() const { return invalidUtf8_; }

  void BeginPiece(std::string_view piece, size_t base) override;
  void EndPiece(size_t end) override;
  void Text(std::string_view bytes, size_t offset, TextRole role) override;
  void Decoded(std::string_view decoded, size_t begin, size_t end, TextRole role) override;
  void Markup(size_t offset) override;
  void Break(size_t offset) override;
  void Comment(std::string_view bytes, size_t offset) override;
  void Code(std::string_view bytes, size_t offset) override;

 private:
  // Engine bytes from `engineStart` on come from the source: one byte each
  // from sourceBegin on when `linear`, else all of them from the whole range
  // [sourceBegin, sourceEnd) (a multi-byte character, an entity).
  struct Segment {
    size_t engineStart;
    size_t sourceBegin;
    size_t sourceEnd;
    bool linear;
  };
  struct Event {
    size_t engineIndex;
    size_t sourceOffset;
    Directive directive;
  };

  void AddSegment(size_t sourceBegin, size_t sourceEnd, bool linear);
  void AppendUtf8(std::string_view bytes, size_t offset);
  void BlankFormatDirectives(size_t from);
  void CheckBuffer();
  void ApplyEvents(size_t upTo);
  void CheckToken(size_t begin, size_t end, bool plain);
  void CheckWord(size_t begin, size_t end, char following, uint8_t classes, uint32_t hash);
  void CheckWordText(size_t begin, size_t end, uint32_t hash);
  int32_t LookUp(std::string_view word, uint32_t hash, std::string& other);
  bool NamedInCode(std::string_view word) const;
  void Report(WordVerdict verdict, size_t begin, size_t end, std::string_view other);
  void SourceRange(size_t begin, size_t end, size_t& sourceBegin, size_t& sourceEnd) const;
  void ForgetPreviousWord() { previousLength_ = 0; }
  bool MarkupBetween(size_t from, size_t to);

  int32_t session_;
  CheckPolicy policy_;
  FindingSink& findings_;
  SourcePosition position_;

  std::string_view piece_;
  size_t pieceBase_ = 0;

  std::string engine_;  // the checked text of the piece, '\0' where a span breaks
  std::vector<Segment> segments_;
  std::vector<size_t> markups_;  // engine indexes of Markup calls
  size_t nextMarkup_ = 0;
  std::vector<Event> events_;
  size_t nextEvent_ = 0;

  // The word before, lower case, for the doubled-word test; a word longer
  // than the array is not remembered.
  char previousWord_[64] = {};
  size_t previousLength_ = 0;  // 0: none
  size_t previousEnd_ = 0;     // where it ends in engine_
  bool disabled_ = false;
  std::vector<size_t> quietLines_;  // lines whose findings are dropped
  int32_t ignoreLex_ = -1;          // words of "ignore" directives
  // The words of the document's code, lower case: a misspelled word among
  // them names something in the code.
  std::unordered_set<std::string> codeWords_;
  std::string codeWord_;  // scratch
  bool invalidUtf8_ = false;
  uint64_t wordsChecked_ = 0;

  // The engine's answers for recent words without another word to report:
  // running text repeats its common words all the time.
  struct CachedLookup {
    uint32_t hash = 0;
    uint32_t length = 0;  // 0: empty
    char word[24] = {};   // zero after the word
    int32_t result = 0;
  };
  std::vector<CachedLookup> lookups_;

  std::string word_;  // scratch, for the engine's NUL-terminated words
  std::string other_;
  std::vector<Directive> found_;
  std::vector<WordPart> parts_;
};

}  // namespace orth::cli
