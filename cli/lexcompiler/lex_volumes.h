// Volumes: a word list too big for one lexicon file, spread over several.
//
// A section holds at most MAX_SECTION_SIZE bytes and the short-word table at
// most MAX_SHORT_WORDS words. The large word lists of French, Portuguese or
// Catalan need more than that for their busiest letter pairs («de», «co»). The
// compiler then writes volumes: NAME.olx, NAME.2.olx, NAME.3.olx ..., each a
// complete lexicon of the ordinary format. Every word is in exactly one of
// them, and a front end opens all volumes of a name together; since a lookup
// asks every open lexicon, the volumes answer as one dictionary would.
#pragma once

#include <string>
#include <vector>

#include "lexcompiler/lex_layout.h"
#include "lexcompiler/volume_names.h"
#include "lexcompiler/word_spelling.h"

namespace orth {

// One volume: its share of the words and its sections' encoded data (in the
// order of layout.sections).
struct LexVolume {
  LexLayout layout;
  std::vector<std::vector<unsigned char>> sectionData;
};

// Spreads the words of `full` over as few volumes as the limits allow, all
// written with the same tokens. A section that fits stays whole in the first
// volume; one that does not is cut, in section order, into the fewest
// pieces of near equal word counts that each fit, piece i going to volume i;
// the short words fill the first volume's table, then the next ones'. False
// with `error` when a word cannot be written at all or more than
// `mostVolumes` volumes would be needed (with 1, the error of the section
// that does not fit).
bool SplitIntoVolumes(const LexLayout& full, const TokenList& tokens, size_t mostVolumes,
                      std::vector<LexVolume>& volumes, std::string& error);

}  // namespace orth
