#include "waves/part_file.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "waves/messages.h"
#include "waves/reading.h"
#include "waves/riff.h"

PartFile OpenPart(const std::string& path, std::size_t most) {
  PartFile part;
  part.file = OpenToRead(path, &part.size, &part.why);
  if (!part.file) return part;
  part.opened = true;
  // Read straight into the caller's memory: no more than the file holds,
  // since asking for more costs a read that finds its end.
  std::setvbuf(part.file.get(), nullptr, _IONBF, 0);
  const std::size_t count = static_cast<std::size_t>(
      std::max<std::uint64_t>(kChunkHeader, std::min<std::uint64_t>(part.size, most)));
  part.start.reset(new (std::nothrow) unsigned char[count]);
  if (!part.start) {
    part.why = "cannot allocate " + std::to_string(count) + " bytes to read it";
  } else if (!ReadWaveLength(part.file.get(), &part.length, part.start.get(), count, &part.got)) {
    part.why = ReadFailure(part.file.get(), "fewer than 8 bytes, no chunk header");
  } else if (part.size < part.length) {
    // Judged before any buffer is taken for the wave, so a size field
    // claiming far more than the file holds costs no allocation.
    part.why = "holds " + std::to_string(part.size) + " bytes, fewer than its wave length of " +
               std::to_string(part.length);
    return part;
  } else {
    return part;
  }
  part.file.reset();
  return part;
}

bool ReadWaveLength(std::FILE* part, std::uint32_t* length, unsigned char* room, std::size_t count,
                    std::size_t* got) {
  unsigned char header[kChunkHeader];
  if (room == nullptr || count < kChunkHeader) {
    room = header;
    count = sizeof header;
  }
  const std::size_t read = std::fread(room, 1, count, part);
  if (got != nullptr) *got = read;
  if (read < kChunkHeader) return false;
  *length = LittleEndian(room + 4) + static_cast<std::uint32_t>(kChunkHeader);
  return true;
}
