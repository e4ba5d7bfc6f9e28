// The file names of a dictionary's volumes (see lex_volumes.h), shared by the
// compiler that writes them and the front ends that open them together.
#pragma once

#include <cstddef>
#include <string>

namespace orth {

// The most volumes a dictionary may have: a session has 16 lexicon slots, and
// the personal and replacement lists and other dictionaries need theirs.
inline constexpr size_t MAX_VOLUMES = 8;

// `path` with `infix` put before the ending of its file name ("fr.olx" and
// ".2" give "fr.2.olx"), or after a name without an ending ("fr.2").
inline std::string BeforeEnding(const std::string& path, const std::string& infix) {
  const size_t nameStart =
      path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= nameStart) return path + infix;
  return path.substr(0, dot) + infix + path.substr(dot);
}

// The file of volume `index` (0 is the first) of the lexicon `path`:
// "fr.olx" gives "fr.olx", "fr.2.olx", "fr.3.olx" ...; a name without an
// ending gets the number appended ("fr" gives "fr.2").
inline std::string VolumeFileName(const std::string& path, size_t index) {
  if (index == 0) return path;
  return BeforeEnding(path, "." + std::to_string(index + 1));
}

// True for the stem of a second or later volume ("fr.2" of fr.2.olx): such a
// file is opened with its first volume, never named on its own.
inline bool IsLaterVolumeStem(const std::string& stem) {
  const size_t dot = stem.find_last_of('.');
  if (dot == std::string::npos || dot + 1 >= stem.size() || stem.size() - dot > 3) return false;
  size_t number = 0;
  for (size_t i = dot + 1; i < stem.size(); ++i) {
    if (stem[i] < '0' || stem[i] > '9') return false;
    number = number * 10 + static_cast<size_t>(stem[i] - '0');
  }
  return number >= 2 && number <= MAX_VOLUMES;
}

// The rare-word list of a dictionary sits beside it: "en_US.olx" gives
// "en_US.rare.olx" (and its own volumes, "en_US.rare.2.olx" ...). The front
// ends open it with the dictionary, as check-only (LEXOPT_CHECK_ONLY): its
// words are accepted, never suggested.
inline constexpr char RARE_WORDS_INFIX[] = ".rare";

inline std::string RareWordsFileName(const std::string& path) {
  return BeforeEnding(path, RARE_WORDS_INFIX);
}

// True for the stem of a file that is opened with a dictionary, never named
// on its own: a later volume ("fr.2") or a rare-word list ("en_US.rare",
// "en_US.rare.2").
inline bool IsCompanionStem(const std::string& stem) {
  if (IsLaterVolumeStem(stem)) return true;
  const std::string infix = RARE_WORDS_INFIX;
  return stem.size() > infix.size() &&
         stem.compare(stem.size() - infix.size(), infix.size(), infix) == 0;
}

}  // namespace orth
