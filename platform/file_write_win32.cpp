#include "platform/file_write.h"
#include "platform/system_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>

#include <algorithm>
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

}  // namespace

std::string MakeRoom(std::FILE* file, std::uint64_t offset, std::uint64_t length, bool allocate) {
  if (!allocate) return "";  // Windows sets no limit on a file's size
  // The C library gives handles as numbers.
  const auto handle =
      reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));  // NOLINT(performance-no-int-to-ptr)
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) return SystemMessage(GetLastError());
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(offset + length);
  if (end.QuadPart <= size.QuadPart) return "";
  // SetEndOfFile reserves nothing on some file systems (Wine's, shares,
  // sparse or compressed files): the new bytes are written as zeros first,
  // which takes their room or fails, and on failure the old end is put back.
  if (!SetFilePointerEx(handle, size, nullptr, FILE_BEGIN) ||
      !WriteZeros(handle, static_cast<std::uint64_t>(end.QuadPart - size.QuadPart))) {
    const DWORD error = GetLastError();
    if (!SetFilePointerEx(handle, size, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
      return SystemMessage(error) +
             ", and it could not be put back to its length: " + SystemMessage(GetLastError());
    }
    return SystemMessage(error);
  }
  // The C library positions the handle itself before its next write.
  return "";
}

bool WriteAt(std::FILE* file, std::uint64_t offset, const unsigned char* bytes, std::size_t count) {
  return SeekTo(file, offset) && std::fwrite(bytes, 1, count, file) == count &&
         std::fflush(file) == 0;
}
