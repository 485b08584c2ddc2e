#include "waves/part_file.h"

#include <algorithm>
#include <new>

#include "waves/reading.h"
#include "waves/riff.h"

bool OpenPart(const std::string& path, std::size_t most, PartFile* part, std::string* err) {
  if (!OpenToRead(path, &part->file, &part->size, err)) return false;
  part->opened = true;
  // Read straight into the caller's memory: no more than the file holds,
  // since asking for more costs a read that finds its end.
  std::setvbuf(part->file.get(), nullptr, _IONBF, 0);
  const std::size_t count = static_cast<std::size_t>(
      std::max<std::uint64_t>(kChunkHeader, std::min<std::uint64_t>(part->size, most)));
  part->start.reset(new (std::nothrow) unsigned char[count]);
  if (!part->start) {
    *err = "cannot allocate " + std::to_string(count) + " bytes to read it";
    part->file.reset();
    return false;
  }
  if (!ReadWaveLength(part->file.get(), part->start.get(), count, &part->length, &part->got, err)) {
    part->file.reset();
    return false;
  }
  if (part->size < part->length) {
    // Judged before any buffer is taken for the wave, so a size field
    // claiming far more than the file holds costs no allocation.
    *err = "holds " + std::to_string(part->size) + " bytes, fewer than its wave length of " +
           std::to_string(part->length);
    return false;
  }
  return true;
}

bool ReadWaveLength(std::FILE* part, unsigned char* room, std::size_t count, std::uint32_t* length,
                    std::size_t* got, std::string* err) {
  *got = std::fread(room, 1, count, part);
  if (*got < kChunkHeader) return ReadFailed(part, "fewer than 8 bytes, no chunk header", err);
  *length = LittleEndian(room + 4) + static_cast<std::uint32_t>(kChunkHeader);
  return true;
}
