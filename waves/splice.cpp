#include "waves/splice.h"

#include <cerrno>
#include <memory>
#include <new>

#include "platform/file_position.h"
#include "waves/part_file.h"
#include "waves/report.h"
#include "waves/riff.h"

namespace {

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llx", static_cast<unsigned long long>(value));
  return text;
}

bool CopyWave(std::FILE* container, const std::string& containerPath, std::FILE* part,
              const std::string& partPath, const std::string& name, std::uint32_t offset) {
  std::uint32_t length = 0;
  std::string why;
  if (!ReadPartLength(part, &length, &why)) {
    Complain(partPath, why);
    return false;
  }
  std::printf("Processing %s offset %08x length %08x\n", name.c_str(), offset, length);
  if (length == 0) return true;

  // Checked before any buffer is taken, so a size field claiming far more
  // than the file holds costs no allocation and writes nothing.
  if (!PartHoldsWave(part, length, &why)) {
    Complain(partPath, why + "; nothing written");
    return false;
  }
  if (!SeekTo(part, 0)) {
    Complain(partPath, "cannot position", errno);
    return false;
  }
  const std::unique_ptr<unsigned char[]> wave(new (std::nothrow) unsigned char[length]);
  if (!wave) {
    Complain(partPath, "cannot allocate " + std::to_string(length) + " bytes for the wave");
    return false;
  }
  if (std::fread(wave.get(), 1, length, part) != length) {
    Complain(partPath, ReadFailure(part, "file shrank while being read; nothing written"));
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
  *length = LittleEndian(header + 4) + 8u;
  return true;
}

bool SpliceWave(std::FILE* container, const std::string& containerPath, const std::string& dir,
                const std::string& part, std::uint32_t offset) {
  const std::string partPath = dir + part;
  std::string why;
  std::FILE* file = OpenToRead(partPath, &why);
  if (file == nullptr) {
    Complain(partPath, why);
    return false;
  }
  const bool done = CopyWave(container, containerPath, file, partPath, part, offset);
  std::fclose(file);  // read only: nothing can be lost at its close
  return done;
}
