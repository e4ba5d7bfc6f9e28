#include "lex/shared_dictionary.h"

#include <map>
#include <tuple>

#include "lex/section_word_index.h"
#include "session/platform_file.h"
#include "suggest/rank_index.h"

namespace orth {
namespace {

struct DictionaryKey {
  std::string fileName;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;

  bool operator<(const DictionaryKey& other) const {
    return std::tie(fileName, device, inode, size, modifiedSeconds, modifiedNanoseconds) <
           std::tie(other.fileName, other.device, other.inode, other.size, other.modifiedSeconds,
                    other.modifiedNanoseconds);
  }
};

std::mutex registryLock;
std::map<DictionaryKey, std::weak_ptr<SharedDictionary>>& Registry() {
  // Never destroyed, so that a lexicon closed while the process exits still
  // finds it.
  static auto* registry = new std::map<DictionaryKey, std::weak_ptr<SharedDictionary>>;
  return *registry;
}

}  // namespace

std::shared_ptr<SharedDictionary> AcquireSharedDictionary(const char* fileName, std::FILE* file) {
  FileIdentity identity;
  if (fileName == nullptr || !IdentifyOpenFile(file, identity)) return nullptr;
  DictionaryKey key{fileName,      identity.device,          identity.inode,
                    identity.size, identity.modifiedSeconds, identity.modifiedNanoseconds};

  // Made before the registry's lock is taken, so that the lock is held only
  // to look up and publish; one never published goes without the lock. The
  // last lexicon to let go of a published one removes its entry, unless a
  // newer dictionary has taken its place meanwhile.
  auto release = [key](SharedDictionary* gone) {
    if (gone->registered) {
      const std::lock_guard<std::mutex> guard(registryLock);
      auto& registry = Registry();
      const auto it = registry.find(key);
      if (it != registry.end() && it->second.expired()) registry.erase(it);
    }
    delete gone;
  };
  std::shared_ptr<SharedDictionary> made(new SharedDictionary, release);
  const std::lock_guard<std::mutex> guard(registryLock);
  std::weak_ptr<SharedDictionary>& entry = Registry()[key];
  if (std::shared_ptr<SharedDictionary> existing = entry.lock()) return existing;
  made->registered = true;
  entry = made;
  return made;
}

}  // namespace orth
