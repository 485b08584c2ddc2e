#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/file_identity.h"

namespace {

void Take(const struct stat& info, FileIdentity* identity) {
  identity->volume = static_cast<std::uint64_t>(info.st_dev);
  identity->index = static_cast<std::uint64_t>(info.st_ino);
}

bool Take(const struct stat& info, FileVersion* version) {
  Take(info, &version->identity);
  version->size = static_cast<std::uint64_t>(info.st_size);
  version->written = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
  return true;
}

bool Failed(std::string* err) {
  *err = std::strerror(errno);
  return false;
}

}  // namespace

bool IdentifyFile(const std::string& path, FileIdentity* identity) {
  struct stat info {};
  // A symbolic link leads where it points, as opening it does.
  if (stat(path.c_str(), &info) != 0) return false;
  Take(info, identity);
  return true;
}

bool IdentifySecondName(const std::string& path, FileIdentity* identity) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  Take(info, identity);
  return true;
}

bool VersionOfOpenFile(std::FILE* file, FileVersion* version, std::string* err) {
  struct stat info {};
  return fstat(fileno(file), &info) == 0 ? Take(info, version) : Failed(err);
}

bool VersionOfFile(const std::string& path, FileVersion* version, std::string* err) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? Take(info, version) : Failed(err);
}
