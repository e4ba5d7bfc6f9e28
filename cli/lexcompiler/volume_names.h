// The file names of a dictionary's volumes (see lex_volumes.h), shared by the
// compiler that writes them and the front ends that open them together.
#pragma once

#include <cstddef>
#include <string>

namespace orth {

// The most volumes a dictionary may have: a session has 16 lexicon slots, and
// the personal and replacement lists and other dictionaries need theirs.
inline constexpr size_t MAX_VOLUMES = 8;

// The file of volume `index` (0 is the first) of the lexicon `path`:
// "fr.olx" gives "fr.olx", "fr.2.olx", "fr.3.olx" ...; a name without an
// ending gets the number appended ("fr" gives "fr.2").
inline std::string VolumeFileName(const std::string& path, size_t index) {
  if (index == 0) return path;
  const std::string number = "." + std::to_string(index + 1);
  const size_t nameStart =
      path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= nameStart) return path + number;
  return path.substr(0, dot) + number + path.substr(dot);
}

}  // namespace orth
