#include "waves/part_file.h"

#include <cerrno>

#include "platform/file_position.h"
#include "platform/open_file.h"
#include "waves/report.h"
#include "waves/splice.h"

std::FILE* OpenToRead(const std::string& path, std::string* why) {
  bool regular = true;
  std::FILE* file = OpenRegularFile(path, &regular);
  if (file == nullptr) *why = regular ? Reason("cannot open", errno) : "not a regular file";
  return file;
}

bool ReadPartLength(std::FILE* part, std::uint32_t* length, std::string* why) {
  if (ReadWaveLength(part, length)) return true;
  *why = ReadFailure(part, "fewer than 8 bytes, no chunk header");
  return false;
}

bool PartHoldsWave(std::FILE* part, std::uint32_t length, std::string* why) {
  std::uint64_t size = 0;
  if (!FileSize(part, &size)) {
    *why = Reason("cannot position", errno);
    return false;
  }
  if (size >= length) return true;
  *why = "holds " + std::to_string(size) + " bytes, fewer than its wave length of " +
         std::to_string(length);
  return false;
}

std::string ReadFailure(std::FILE* file, const char* shortBy) {
  // errno means nothing when the read came up short without an error.
  return std::ferror(file) ? Reason("cannot read", errno) : std::string("cannot read: ") + shortBy;
}
