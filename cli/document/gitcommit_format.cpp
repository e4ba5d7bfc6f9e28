// Git commit messages (COMMIT_EDITMSG and the other files git opens in an
// editor): the message is checked; git's "#" comment lines go to the
// directive reader; the diff that "git commit -v" puts below the scissors
// line is skipped, and so are trailers ("Signed-off-by: Name <mail>").
//
// Every line is decided when it is read, so that a message fed one line at a
// time gives what the whole file gives. Git calls a block of trailers the
// last paragraph; a reader that cannot look ahead takes instead a line whose
// key is a known trailer anywhere below the subject, and a "Key: value" line
// with any key once its paragraph has held only trailers so far (a hyphen in
// the key, as in "Change-Id:", is enough to start such a paragraph).
#include <array>
#include <cctype>
#include <memory>

#include "document/document_format.h"
#include "document/line_cut.h"

namespace orth::cli {

namespace {

// Keys taken for trailers wherever they stand below the subject, besides
// every key ending in "-by" (Signed-off-by, Reviewed-by, Co-authored-by...).
constexpr std::array<std::string_view, 14> kKnownTrailers = {
    "cc",       "bcc",      "fixes", "fix", "closes", "close", "closed",
    "resolves", "resolved", "link",  "bug", "refs",   "ref",   "change-id"};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The key of a "Key: value" line ("Signed-off-by"), or empty when the line
// is not one: a key is letters, digits and hyphens, right at the line start.
std::string_view TrailerKey(std::string_view line) {
  size_t i = 0;
  while (i < line.size() &&
         (std::isalnum(static_cast<unsigned char>(line[i])) != 0 || (i > 0 && line[i] == '-')))
    ++i;
  if (i == 0 || i >= line.size() || line[i] != ':') return {};
  if (i + 1 < line.size() && line[i + 1] != ' ' && line[i + 1] != '\t') return {};
  return line.substr(0, i);
}

bool IsKnownTrailer(std::string_view key) {
  if (key.size() > 3 && EqualNoCase(key.substr(key.size() - 3), "-by")) return true;
  for (const std::string_view known : kKnownTrailers) {
    if (EqualNoCase(key, known)) return true;
  }
  return false;
}

// "# ------------------------ >8 ------------------------": what follows is
// the diff, not the message.
bool IsScissors(std::string_view line) {
  if (line.substr(0, 3) != "# -") return false;
  const size_t cut = line.find(" >8 ");
  if (cut == std::string_view::npos) return false;
  return line.find_first_not_of('-', 2) == cut &&
         line.find_first_not_of('-', cut + 4) == std::string_view::npos;
}

class GitCommitParser final : public DocumentParser {
 public:
  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    const size_t length = ForEachPieceLine(input, base, end, [&](const PieceLine& line) {
      if (afterScissors_) return false;
      if (atLineStart_) kind_ = Classify(line.text);
      switch (kind_) {
        case Kind::TEXT:
          sink.Text(line.withEnd, line.offset);
          break;
        case Kind::COMMENT:
          if (!line.text.empty()) sink.Comment(line.text, line.offset);
          break;
        case Kind::TRAILER:
          if (atLineStart_) sink.Break(line.offset);
          break;
        case Kind::BLANK:
          if (!inBlankRun_) sink.Break(line.offset);
          inBlankRun_ = true;
          break;
        case Kind::SCISSORS:
          afterScissors_ = true;
          sink.Break(line.offset);
          break;
      }
      atLineStart_ = line.complete;  // the whole line has come
      return true;
    });
    if (end == InputEnd::LAST && !afterScissors_) sink.Break(base + length);
    return length;
  }

 private:
  enum class Kind { TEXT, COMMENT, TRAILER, BLANK, SCISSORS };

  // What a line is, from its start; it updates what the message has shown
  // so far (the subject, the paragraph the line belongs to).
  Kind Classify(std::string_view line) {
    if (!line.empty() && line[0] == '#') return IsScissors(line) ? Kind::SCISSORS : Kind::COMMENT;
    if (IsBlankLine(line)) {
      if (seenText_) inSubject_ = false;
      paragraphLines_ = 0;
      paragraphTrailers_ = 0;
      return Kind::BLANK;
    }
    inBlankRun_ = false;
    const bool trailersSoFar = paragraphLines_ == paragraphTrailers_;
    const bool afterTrailer = paragraphLines_ > 0 && trailersSoFar;
    ++paragraphLines_;
    Kind kind = Kind::TEXT;
    if (!inSubject_) {
      if ((line[0] == ' ' || line[0] == '\t') && lastWasTrailer_) {
        kind = Kind::TRAILER;  // a folded trailer value
      } else if (const std::string_view key = TrailerKey(line); !key.empty()) {
        const bool hyphenated = key.find('-') != std::string_view::npos;
        if (IsKnownTrailer(key) || afterTrailer || (hyphenated && trailersSoFar))
          kind = Kind::TRAILER;
      }
    }
    seenText_ = true;
    lastWasTrailer_ = kind == Kind::TRAILER;
    if (lastWasTrailer_) ++paragraphTrailers_;
    return kind;
  }

  Kind kind_ = Kind::TEXT;   // the kind of the line being read
  bool atLineStart_ = true;  // the next byte starts a line (a long line comes in pieces)
  bool afterScissors_ = false;
  bool seenText_ = false;  // a line of the message has been read
  bool inSubject_ = true;  // still in the first paragraph
  bool inBlankRun_ = false;
  bool lastWasTrailer_ = false;
  size_t paragraphLines_ = 0;     // lines of the current paragraph so far
  size_t paragraphTrailers_ = 0;  // how many of them are trailers
};

std::unique_ptr<DocumentParser> MakeGitCommitParser(const ParserContext&) {
  return std::make_unique<GitCommitParser>();
}

}  // namespace

const DocumentFormat& GitCommitFormat() {
  static const DocumentFormat format{
      "gitcommit",
      {"git-commit", "commit"},
      {"COMMIT_EDITMSG", "MERGE_MSG", "TAG_EDITMSG", "SQUASH_MSG"},
      {},
      nullptr,
      size_t{1} << 16,
      &MakeGitCommitParser,
      "git commit messages: not # comments, trailers or the diff below the scissors"};
  return format;
}

}  // namespace orth::cli
