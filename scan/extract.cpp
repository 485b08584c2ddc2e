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

// The copy's failure in words, or empty when the whole wave reached out. A
// container that cannot be read is named in a complaint of its own.
std::string Copy(std::FILE* container, const std::string& containerPath, std::uint64_t offset,
                 std::uint64_t length, std::FILE* out) {
  std::vector<unsigned char> block(
      static_cast<std::size_t>(std::min<std::uint64_t>(length, kScanBlock)));
  const char* unread = "not written whole: the container could not be read";
  if (!SeekTo(container, offset)) {
    Complain(containerPath, "cannot position", errno);
    return unread;
  }
  for (std::uint64_t left = length; left > 0;) {
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    if (std::fread(block.data(), 1, count, container) != count) {
      Complain(containerPath, ReadFailure(container, "file shrank while being read"));
      return unread;
    }
    if (std::fwrite(block.data(), 1, count, out) != count) return Reason("cannot write", errno);
    left -= count;
  }
  return std::fflush(out) != 0 ? Reason("cannot write", errno) : "";
}

}  // namespace

Extraction ExtractWave(std::FILE* container, const std::string& containerPath, std::uint64_t offset,
                       std::uint64_t length, const std::string& path, std::string* why) {
  std::FILE* out = CreateNewFile(path);
  if (out == nullptr) {
    if (errno == EEXIST) return Extraction::kKept;
    *why = "cannot create: " + OpenFailure(path, true);
    Complain(path, *why);
    return Extraction::kFailed;
  }
  *why = Copy(container, containerPath, offset, length, out);
  if (std::fclose(out) != 0 && why->empty()) *why = Reason("cannot write", errno);
  if (why->empty()) return Extraction::kWritten;
  // Half a wave is worse than none: it would splice garbage back.
  const bool removed = RemoveFile(path);
  *why += removed ? "; removed" : "; " + Reason("cannot remove the part written", errno);
  Complain(path, *why);
  return Extraction::kFailed;
}
