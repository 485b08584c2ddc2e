#include "scan/old_version.h"

#include <algorithm>
#include <vector>

#include "platform/file_identity.h"
#include "platform/path.h"
#include "scan/same_name.h"

namespace {

// The old folder's name for container: its own where it is there, else
// the one name that differs from it only in letter case. False, with why,
// when several do.
bool OldName(const std::string& oldDir, const std::string& container, std::string* name,
             std::string* err) {
  const std::vector<std::string> names = SameNames(oldDir, container);
  *name = container;  // also where none is there: opening it says why not
  if (std::find(names.begin(), names.end(), container) != names.end()) return true;
  if (names.size() == 1) *name = names.front();
  if (names.size() <= 1) return true;
  std::string several;
  for (const std::string& each : names) several += (several.empty() ? "" : ", ") + each;
  *err = "several files are named as " + container + " but for letter case (" + several +
         "): which is its old version is not known";
  return false;
}

}  // namespace

bool OpenOldVersion(const std::string& oldDir, const std::string& dir, const std::string& container,
                    ReadOnlyFile* file, std::string* path, std::uint64_t* size, std::string* err) {
  std::string name;
  const bool named = OldName(oldDir, container, &name, err);
  *path = PathIn(oldDir, name);
  if (!named) return false;
  FileIdentity old;
  FileIdentity now;
  if (IdentifyFile(*path, &old) && IdentifyFile(PathIn(dir, container), &now) && old == now) {
    *err = "the same file as " + PathIn(dir, container) + ", not an old version of it";
    return false;
  }
  return OpenToRead(*path, file, size, err);
}
