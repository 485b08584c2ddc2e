#include <sys/stat.h>

#include "platform/file_identity.h"

bool IdentifyFile(const std::string& path, FileIdentity* identity) {
  struct stat info {};
  // A symbolic link leads where it points, as opening it does.
  if (stat(path.c_str(), &info) != 0) return false;
  identity->volume = static_cast<std::uint64_t>(info.st_dev);
  identity->index = static_cast<std::uint64_t>(info.st_ino);
  return true;
}
