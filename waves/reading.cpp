#include "waves/reading.h"

#include <cerrno>

#include "platform/file_position.h"
#include "platform/open_file.h"
#include "waves/messages.h"

ReadOnlyFile OpenToRead(const std::string& path, std::uint64_t* size, std::string* why) {
  bool regular = true;
  ReadOnlyFile file(OpenRegularFile(path, size, &regular));
  if (!file) *why = regular ? "cannot open: " + OpenFailure(path, false) : kNotAFile;
  return file;
}

bool ReadAt(std::FILE* file, std::uint64_t position, unsigned char* bytes, std::size_t count) {
  return SeekTo(file, position) && std::fread(bytes, 1, count, file) == count;
}

std::string ReadFailure(std::FILE* file, const char* shortBy) {
  // errno means nothing when the read came up short without an error.
  return std::ferror(file) ? Reason("cannot read", errno) : std::string("cannot read: ") + shortBy;
}
