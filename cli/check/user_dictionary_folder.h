// The user's own dictionary folder, where `tools/install-dictionary.sh` puts
// the languages it installs: searched first by orthspell and the Enchant
// provider.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace orth::cli {

// $XDG_DATA_HOME/orth/dicts, else ~/.local/share/orth/dicts; empty when
// neither variable names an absolute folder.
inline std::string UserDictionaryFolder() {
  namespace fs = std::filesystem;
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return (fs::path(data) / "orth" / "dicts").string();
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    return (fs::path(home) / ".local" / "share" / "orth" / "dicts").string();
  }
  return {};
}

}  // namespace orth::cli
