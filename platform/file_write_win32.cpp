#include "platform/file_write.h"
#include "platform/system_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>

#include "platform/file_position.h"

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
  // The file system allocates what the new end takes, or refuses it whole.
  // The C library positions the handle itself before its next write.
  if (!SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
    return SystemMessage(GetLastError());
  }
  return "";
}

bool WriteAt(std::FILE* file, std::uint64_t offset, const unsigned char* bytes, std::size_t count) {
  return SeekTo(file, offset) && std::fwrite(bytes, 1, count, file) == count &&
         std::fflush(file) == 0;
}
