#include "waves/reading.h"

#include <cerrno>

#include "platform/file_position.h"
#include "platform/open_file.h"
#include "waves/messages.h"

ReadOnlyFile OpenToRead(const std::string& path, std::uint64_t* size, std::string* why) {
  bool regular = true;
  std::FILE* opened = nullptr;
  std::string err;
  if (OpenRegularFile(path, &opened, size, &regular, &err)) return ReadOnlyFile(opened);
  *why = regular ? "cannot open: " + err : err;
  return nullptr;
}

bool ReadAt(std::FILE* file, std::uint64_t position, unsigned char* bytes, std::size_t count) {
  // A failed seek sets no error on the stream: it reads as one cut short.
  std::string unplaced;
  return SeekTo(file, position, &unplaced) && std::fread(bytes, 1, count, file) == count;
}

std::string ReadFailure(std::FILE* file, const char* shortBy) {
  // errno means nothing when the read came up short without an error.
  return std::ferror(file) ? Reason("cannot read", errno) : std::string("cannot read: ") + shortBy;
}
