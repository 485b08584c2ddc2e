#include "platform/file_write.h"
#include "platform/system_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_position.h"

namespace {

// Writes count zeros at the handle's position.
bool WriteZeros(HANDLE handle, std::uint64_t count) {
  static const std::vector<char> zeros(1 << 16);
  while (count > 0) {
    const auto some = static_cast<DWORD>(std::min<std::uint64_t>(count, zeros.size()));
    DWORD wrote = 0;
    if (!WriteFile(handle, zeros.data(), some, &wrote, nullptr)) return false;
    if (wrote == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    count -= wrote;
  }
  return true;
}

// False with *err the system's words for error.
bool Failed(unsigned long error, std::string* err) {
  *err = SystemMessage(error);
  return false;
}

}  // namespace

bool MakeRoom(std::FILE* file, std::uint64_t offset, std::uint64_t length, bool allocate,
              std::string* err) {
  if (!allocate) return true;  // Windows sets no limit on a file's size
  // The C library gives handles as numbers.
  const auto handle =
      reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));  // NOLINT(performance-no-int-to-ptr)
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) return Failed(GetLastError(), err);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(offset + length);
  if (end.QuadPart <= size.QuadPart) return true;
  // SetEndOfFile reserves nothing on some file systems (Wine's, shares,
  // sparse or compressed files): the new bytes are written as zeros first,
  // which takes their room or fails, and on failure the old end is put back.
  if (!SetFilePointerEx(handle, size, nullptr, FILE_BEGIN) ||
      !WriteZeros(handle, static_cast<std::uint64_t>(end.QuadPart - size.QuadPart))) {
    const DWORD error = GetLastError();
    if (!SetFilePointerEx(handle, size, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
      *err = SystemMessage(error) +
             ", and it could not be put back to its length: " + SystemMessage(GetLastError());
      return false;
    }
    return Failed(error, err);
  }
  // The C library positions the handle itself before its next write.
  return true;
}

bool WriteAt(std::FILE* file, std::uint64_t offset, const unsigned char* bytes, std::size_t count,
             std::string* err) {
  if (!SeekTo(file, offset, err)) return false;
  if (std::fwrite(bytes, 1, count, file) == count && std::fflush(file) == 0) return true;
  *err = std::strerror(errno);
  return false;
}
