#include "scan/old_version.h"

#include <vector>

#include "platform/file_identity.h"
#include "platform/path.h"
#include "scan/same_name.h"

namespace {

// The old folder's name for container: its own where it is there, else
// the one name that differs from it only in letter case; "" when several do.
std::string OldName(const std::string& oldDir, const std::string& container, std::string* several) {
  const std::vector<std::string> names = SameNames(oldDir, container);
  for (const std::string& name : names) {
    if (name == container) return name;
  }
  if (names.size() == 1) return names.front();
  if (names.empty()) return container;  // opening it says why not
  for (const std::string& name : names) *several += (several->empty() ? "" : ", ") + name;
  return "";
}

}  // namespace

bool OpenOldVersion(const std::string& oldDir, const std::string& dir, const std::string& container,
                    ReadOnlyFile* file, std::string* path, std::uint64_t* size, std::string* err) {
  std::string several;
  const std::string name = OldName(oldDir, container, &several);
  *path = PathIn(oldDir, name.empty() ? container : name);
  if (name.empty()) {
    *err = "several files are named as " + container + " but for letter case (" + several +
           "): which is its old version is not known";
    return false;
  }
  FileIdentity old;
  FileIdentity now;
  if (IdentifyFile(*path, &old) && IdentifyFile(PathIn(dir, container), &now) && old == now) {
    *err = "the same file as " + PathIn(dir, container) + ", not an old version of it";
    return false;
  }
  return OpenToRead(*path, file, size, err);
}
