// gitcommit_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  static_cast<void>(head);
  return false;
}

}  // namespace

const DocumentFormat& GitCommitFormat() {
  static const DocumentFormat format{
      "gitcommit",
      {"git-commit", "commit"},
      {"COMMIT_EDITMSG", "MERGE_MSG", "TAG_EDITMSG", "SQUASH_MSG"},
      {},
      &Sniff,
      size_t{1} << 20,
      &MakePlainTextParser,
      "git commit messages: not # comments or the diff below the scissors"};
  return format;
}

}  // namespace orth::cli
