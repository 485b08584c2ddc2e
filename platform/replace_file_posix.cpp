#include <fcntl.h>
#include <stdio.h>  // renameat2

#include <cerrno>
#include <cstring>

#include "platform/open_file.h"
#include "platform/replace_file.h"

namespace {

bool Exchange(const std::string& a, const std::string& b) {
  return renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
}

}  // namespace

Replaced ReplaceVersion(const std::string& fresh, const std::string& path,
                        const FileVersion& version, std::string* why) {
  // Exchanged, the file that had the name is looked at after the step, so
  // no save can come between the look and the step; one that is not the
  // version is given its name back.
  if (Exchange(fresh, path)) {
    FileVersion was;
    if (VersionOfFile(fresh, &was) && was == version) {
      // The version read: the caller has it under a second name.
      RemoveFile(fresh);
      return Replaced::kDone;
    }
    if (Exchange(fresh, path)) return Replaced::kChanged;
    *why = "it changed after it was checked, and could not be given its name back: it is " + fresh +
           " now: " + std::strerror(errno);
    return Replaced::kFailed;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    *why = std::strerror(errno);
    return Replaced::kFailed;
  }
  // A file system without the exchange: looked at just before the step.
  FileVersion now;
  if (!VersionOfFile(path, &now) || !(now == version)) return Replaced::kChanged;
  return RenameOver(fresh, path, why) ? Replaced::kDone : Replaced::kFailed;
}
