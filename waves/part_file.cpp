#include "waves/part_file.h"

#include <cerrno>
#include <cstring>

#include "platform/open_file.h"
#include "waves/report.h"
#include "waves/riff.h"

std::FILE* OpenToRead(const std::string& path, std::uint64_t* size, std::string* why) {
  bool regular = true;
  std::FILE* file = OpenRegularFile(path, size, &regular);
  if (file == nullptr) {
    *why = regular ? "cannot open: " + OpenFailure(path, false) : kNotAFile;
  }
  return file;
}

PartFile OpenPart(const std::string& path) {
  PartFile part;
  part.file = OpenToRead(path, &part.size, &part.why);
  if (part.file == nullptr) return part;
  // Read in two requests straight into the caller's memory: the header,
  // then the wave after it.
  std::setvbuf(part.file, nullptr, _IONBF, 0);
  if (!ReadWaveLength(part.file, &part.length, part.header)) {
    part.why = ReadFailure(part.file, "fewer than 8 bytes, no chunk header");
    std::fclose(part.file);  // read only: nothing can be lost at its close
    part.file = nullptr;
  } else if (part.size < part.length) {
    // Judged before any buffer is taken, so a size field claiming far more
    // than the file holds costs no allocation.
    part.why = "holds " + std::to_string(part.size) + " bytes, fewer than its wave length of " +
               std::to_string(part.length);
  }
  return part;
}

bool ReadWaveLength(std::FILE* part, std::uint32_t* length, unsigned char* header) {
  unsigned char bytes[kChunkHeader];
  if (std::fread(bytes, 1, sizeof bytes, part) != sizeof bytes) return false;
  *length = LittleEndian(bytes + 4) + 8u;
  if (header != nullptr) std::memcpy(header, bytes, sizeof bytes);
  return true;
}

std::string ReadFailure(std::FILE* file, const char* shortBy) {
  // errno means nothing when the read came up short without an error.
  return std::ferror(file) ? Reason("cannot read", errno) : std::string("cannot read: ") + shortBy;
}
