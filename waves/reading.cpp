#include "waves/reading.h"

#include <cerrno>

#include "platform/file_position.h"
#include "platform/open_file.h"
#include "waves/messages.h"

bool OpenToRead(const std::string& path, ReadOnlyFile* file, std::uint64_t* size,
                std::string* err) {
  bool regular = true;
  std::FILE* opened = nullptr;
  if (!OpenRegularFile(path, &opened, size, &regular, err)) {
    if (regular) *err = "cannot open: " + *err;
    return false;
  }
  file->reset(opened);
  return true;
}

bool ReadAt(std::FILE* file, std::uint64_t position, unsigned char* bytes, std::size_t count,
            const char* shortBy, std::string* err) {
  if (!SeekTo(file, position, err)) {
    *err = "cannot read: " + *err;
    return false;
  }
  return std::fread(bytes, 1, count, file) == count || ReadFailed(file, shortBy, err);
}

bool ReadFailed(std::FILE* file, const char* shortBy, std::string* err) {
  // errno means nothing when the read came up short without an error.
  *err = std::ferror(file) ? Reason("cannot read", errno) : std::string("cannot read: ") + shortBy;
  return false;
}
