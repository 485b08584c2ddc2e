#include "waves/reading.h"

#include <cerrno>

#include "platform/open_file.h"
#include "waves/messages.h"

ReadOnlyFile OpenToRead(const std::string& path, std::uint64_t* size, std::string* why) {
  bool regular = true;
  ReadOnlyFile file(OpenRegularFile(path, size, &regular));
  if (!file) *why = regular ? "cannot open: " + OpenFailure(path, false) : kNotAFile;
  return file;
}

std::string ReadFailure(std::FILE* file, const char* shortBy) {
  // errno means nothing when the read came up short without an error.
  return std::ferror(file) ? Reason("cannot read", errno) : std::string("cannot read: ") + shortBy;
}
