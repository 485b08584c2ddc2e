#include <fcntl.h>
#include <stdio.h>  // renameat2

#include <cerrno>
#include <cstring>

#include "platform/open_file.h"
#include "platform/replace_file.h"

namespace {

// Gives a the name b and b the name a, in one step: 0, or the errno value
// of the failure, which tells a file system without the step from others.
int Exchange(const std::string& a, const std::string& b) {
  return renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0 ? 0 : errno;
}

}  // namespace

Replaced ReplaceVersion(const std::string& fresh, const std::string& path,
                        const FileVersion& version, std::string* err) {
  // Exchanged, the file that had the name is looked at after the step, so
  // no save can come between the look and the step; one that is not the
  // version is given its name back.
  const int exchanged = Exchange(fresh, path);
  if (exchanged == 0) {
    FileVersion was;
    std::string unasked;  // a file that cannot be asked is not the version
    if (VersionOfFile(fresh, &was, &unasked) && was == version) {
      // The version read: the caller has it under a second name, and this
      // one, should it stay, is only another name of it.
      std::string kept;
      RemoveFile(fresh, &kept);
      return Replaced::kDone;
    }
    const int back = Exchange(fresh, path);
    if (back == 0) return Replaced::kChanged;
    *err = "it changed after it was checked, and could not be given its name back: it is " + fresh +
           " now: " + std::strerror(back);
    return Replaced::kFailed;
  }
  if (exchanged != EINVAL && exchanged != ENOSYS) {
    *err = std::strerror(exchanged);
    return Replaced::kFailed;
  }
  // A file system without the exchange: looked at just before the step.
  FileVersion now;
  std::string gone;  // no file that can be asked there: not the version
  if (!VersionOfFile(path, &now, &gone) || !(now == version)) return Replaced::kChanged;
  return RenameOver(fresh, path, err) ? Replaced::kDone : Replaced::kFailed;
}
