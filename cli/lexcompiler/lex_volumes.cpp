#include "lexcompiler/lex_volumes.h"

#include <algorithm>

#include "lex/section_format.h"
#include "lexcompiler/section_encoder.h"

namespace orth {

namespace {

// The volume `index`, created (empty) when the list is shorter.
LexVolume& VolumeAt(std::vector<LexVolume>& volumes, size_t index) {
  if (volumes.size() <= index) volumes.resize(index + 1);
  return volumes[index];
}

// Cuts a section into `pieces` runs of near equal word counts, in order, and
// encodes each. False (with the encoder's error) when one does not fit.
bool EncodePieces(const SectionWords& section, size_t pieces, const TokenList& tokens,
                  std::vector<SectionWords>& cut, std::vector<std::vector<unsigned char>>& data,
                  std::string& error) {
  cut.assign(pieces, SectionWords{});
  data.assign(pieces, {});
  const size_t count = section.words.size();
  for (size_t p = 0; p < pieces; ++p) {
    SectionWords& piece = cut[p];
    piece.position = section.position;
    piece.first = section.first;
    piece.second = section.second;
    piece.words.assign(section.words.begin() + static_cast<ptrdiff_t>(count * p / pieces),
                       section.words.begin() + static_cast<ptrdiff_t>(count * (p + 1) / pieces));
    if (!EncodeSection(piece, tokens, data[p], error)) return false;
  }
  return true;
}

}  // namespace

bool SplitIntoVolumes(const LexLayout& full, const TokenList& tokens, size_t mostVolumes,
                      std::vector<LexVolume>& volumes, std::string& error) {
  volumes.clear();
  VolumeAt(volumes, 0);
  // The short words are in table order already; each volume's table keeps it.
  for (size_t i = 0; i < full.shortWords.size(); ++i) {
    VolumeAt(volumes, i / MAX_SHORT_WORDS).layout.shortWords.push_back(full.shortWords[i]);
  }
  std::vector<SectionWords> cut;
  std::vector<std::vector<unsigned char>> data;
  for (const SectionWords& section : full.sections) {
    const size_t most = std::min(mostVolumes, section.words.size());
    size_t pieces = 1;
    while (!EncodePieces(section, pieces, tokens, cut, data, error)) {
      if (++pieces > most) return false;  // the last error says why
    }
    for (size_t p = 0; p < pieces; ++p) {
      LexVolume& volume = VolumeAt(volumes, p);
      volume.layout.sections.push_back(std::move(cut[p]));
      volume.sectionData.push_back(std::move(data[p]));
    }
  }
  if (volumes.size() > mostVolumes) {
    error = "the word list needs " + std::to_string(volumes.size()) + " volumes, more than " +
            std::to_string(mostVolumes);
    return false;
  }
  error.clear();
  return true;
}

}  // namespace orth
