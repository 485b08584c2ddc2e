#include "waves/splice.h"

#include <cerrno>
#include <memory>
#include <new>

#include "platform/file_position.h"
#include "waves/report.h"

namespace {

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llx", static_cast<unsigned long long>(value));
  return text;
}

// errno is 0 when a read came up short without a read error.
void ComplainRead(std::FILE* file, const std::string& path, const char* shortBy) {
  if (std::ferror(file)) {
    Complain(path, "cannot read", errno);
  } else {
    Complain(path, std::string("cannot read: ") + shortBy);
  }
}

bool CopyWave(std::FILE* container, const std::string& containerPath, std::FILE* part,
              const std::string& partPath, const std::string& name, std::uint32_t offset) {
  std::uint32_t length = 0;
  if (!ReadWaveLength(part, &length)) {
    ComplainRead(part, partPath, "fewer than 8 bytes, no chunk header");
    return false;
  }
  std::printf("Processing %s offset %08x length %08x\n", name.c_str(), offset, length);
  if (length == 0) return true;

  // Checked before any buffer is taken, so a size field claiming far more
  // than the file holds costs no allocation and writes nothing.
  std::uint64_t size = 0;
  if (!FileSize(part, &size) || !SeekTo(part, 0)) {
    Complain(partPath, "cannot position", errno);
    return false;
  }
  if (size < length) {
    Complain(partPath, "holds " + std::to_string(size) + " bytes, fewer than its wave length of " +
                           std::to_string(length) + "; nothing written");
    return false;
  }
  const std::unique_ptr<unsigned char[]> wave(new (std::nothrow) unsigned char[length]);
  if (!wave) {
    Complain(partPath, "cannot allocate " + std::to_string(length) + " bytes for the wave");
    return false;
  }
  if (std::fread(wave.get(), 1, length, part) != length) {
    ComplainRead(part, partPath, "file shrank while being read; nothing written");
    return false;
  }
  if (!SeekTo(container, offset)) {
    Complain(containerPath, "cannot seek to offset " + Hex(offset), errno);
    return false;
  }
  // Flushed here so that a full disk is blamed on the part that met it.
  if (std::fwrite(wave.get(), 1, length, container) != length || std::fflush(container) != 0) {
    Complain(containerPath, "cannot write " + name + " at offset " + Hex(offset), errno);
    return false;
  }
  return true;
}

}  // namespace

bool ReadWaveLength(std::FILE* part, std::uint32_t* length) {
  unsigned char header[8];
  if (std::fread(header, 1, sizeof header, part) != sizeof header) return false;
  const std::uint32_t size =
      header[4] | header[5] << 8 | header[6] << 16 | static_cast<std::uint32_t>(header[7]) << 24;
  *length = size + 8u;
  return true;
}

bool SpliceWave(std::FILE* container, const std::string& containerPath, const std::string& dir,
                const std::string& part, std::uint32_t offset) {
  const std::string partPath = dir + part;
  std::FILE* file = std::fopen(partPath.c_str(), "rb");
  if (file == nullptr) {
    Complain(partPath, "cannot open", errno);
    return false;
  }
  const bool done = CopyWave(container, containerPath, file, partPath, part, offset);
  std::fclose(file);  // read only: nothing can be lost at its close
  return done;
}
