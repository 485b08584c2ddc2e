#include "scan/extract.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/file_position.h"
#include "platform/open_file.h"
#include "scan/find_waves.h"
#include "waves/messages.h"
#include "waves/reading.h"

namespace {

constexpr char kUnread[] = "not written whole: the container could not be read";

// False, with the words for out's path, unless the whole wave reached out. A
// container that cannot be read is named in a complaint of its own.
bool Copy(std::FILE* container, const std::string& containerPath, std::uint64_t offset,
          std::uint64_t length, std::FILE* out, std::string* err) {
  std::vector<unsigned char> block(
      static_cast<std::size_t>(std::min<std::uint64_t>(length, kScanBlock)));
  if (!SeekTo(container, offset, err)) {
    Complain(containerPath, "cannot position: " + *err);
    *err = kUnread;
    return false;
  }
  for (std::uint64_t left = length; left > 0;) {
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    if (std::fread(block.data(), 1, count, container) != count) {
      ReadFailed(container, kShrank, err);
      Complain(containerPath, *err);
      *err = kUnread;
      return false;
    }
    if (std::fwrite(block.data(), 1, count, out) != count) {
      *err = Reason("cannot write", errno);
      return false;
    }
    left -= count;
  }
  if (std::fflush(out) == 0) return true;
  *err = Reason("cannot write", errno);
  return false;
}

}  // namespace

Extraction ExtractWave(std::FILE* container, const std::string& containerPath, std::uint64_t offset,
                       std::uint64_t length, const std::string& path, std::string* why) {
  std::FILE* out = nullptr;
  bool exists = false;
  std::string err;
  if (!CreateNewFile(path, &out, &exists, &err)) {
    if (exists) return Extraction::kKept;
    *why = "cannot create: " + err;
    Complain(path, *why);
    return Extraction::kFailed;
  }
  bool written = Copy(container, containerPath, offset, length, out, why);
  if (std::fclose(out) != 0 && written) {
    written = false;
    *why = Reason("cannot write", errno);
  }
  if (written) return Extraction::kWritten;
  // Half a wave is worse than none: it would splice garbage back.
  const bool removed = RemoveFile(path, &err);
  *why += removed ? "; removed" : "; cannot remove the part written: " + err;
  Complain(path, *why);
  return Extraction::kFailed;
}
