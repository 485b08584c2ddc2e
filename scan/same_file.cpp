#include "scan/same_file.h"

#include <algorithm>

#include "platform/file_identity.h"
#include "platform/path.h"

namespace {

// A name whose file cannot be told shares it with no other.
bool FileKeyOf(const std::string& path, std::pair<std::uint64_t, std::uint64_t>* key) {
  FileIdentity identity;
  if (!IdentifyFile(path, &identity)) return false;
  *key = {identity.volume, identity.index};
  return true;
}

}  // namespace

RunFiles IdentifyContainers(const std::string& dir, const std::vector<std::string>& names) {
  RunFiles files;
  std::pair<std::uint64_t, std::uint64_t> key;
  for (const std::string& name : names) {
    if (FileKeyOf(PathIn(dir, name), &key)) files[key].push_back(name);
  }
  return files;
}

std::vector<std::string> ContainersItIs(const RunFiles& files, const std::string& dir,
                                        const std::string& name) {
  std::pair<std::uint64_t, std::uint64_t> key;
  if (!FileKeyOf(PathIn(dir, name), &key)) return {};
  const auto found = files.find(key);
  return found == files.end() ? std::vector<std::string>() : found->second;
}

std::vector<std::string> OtherThan(std::vector<std::string> names, const std::string& name) {
  names.erase(std::remove(names.begin(), names.end(), name), names.end());
  return names;
}
