#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>

#include "platform/file_identity.h"
#include "platform/system_error.h"

namespace {

// No access asked, all sharing allowed: a file another program holds is
// still told, and nothing is opened for reading or writing. Folders need
// the backup flag to be opened at all; with flags, a symbolic link is not
// followed.
bool Ask(const std::string& path, DWORD flags, BY_HANDLE_FILE_INFORMATION* info) {
  const HANDLE file =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, info) != 0;
  CloseHandle(file);
  return known;
}

void Take(const BY_HANDLE_FILE_INFORMATION& info, FileIdentity* identity) {
  identity->volume = info.dwVolumeSerialNumber;
  identity->index = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
}

bool Take(const BY_HANDLE_FILE_INFORMATION& info, FileVersion* version) {
  Take(info, &version->identity);
  version->size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
  version->written =
      static_cast<std::int64_t>(std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32 |
                                info.ftLastWriteTime.dwLowDateTime);
  return true;
}

// Why the system's call just failed, in its words.
bool Failed(std::string* err) {
  *err = SystemMessage(GetLastError());
  return false;
}

}  // namespace

bool IdentifyFile(const std::string& path, FileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!Ask(path, 0, &info)) return false;
  Take(info, identity);
  return true;
}

bool IdentifySecondName(const std::string& path, FileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  constexpr DWORD kNotRegular =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  // Wine shows a Linux symbolic link as the file it leads to: one that has
  // a single name is told by its count of names.
  if (!Ask(path, FILE_FLAG_OPEN_REPARSE_POINT, &info) ||
      (info.dwFileAttributes & kNotRegular) != 0 || info.nNumberOfLinks < 2) {
    return false;
  }
  Take(info, identity);
  return true;
}

bool VersionOfOpenFile(std::FILE* file, FileVersion* version, std::string* err) {
  // The C library gives handles as numbers.
  const auto handle =
      reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));  // NOLINT(performance-no-int-to-ptr)
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(handle, &info) != 0 ? Take(info, version) : Failed(err);
}

bool VersionOfFile(const std::string& path, FileVersion* version, std::string* err) {
  BY_HANDLE_FILE_INFORMATION info{};
  return Ask(path, 0, &info) ? Take(info, version) : Failed(err);
}
