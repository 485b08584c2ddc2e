#include "waves/splice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "platform/file_write.h"
#include "platform/output.h"
#include "waves/part_file.h"
#include "waves/report.h"

namespace {

// The wave of an opened part that holds it: the header already read, then
// the rest.
bool ReadWave(const PartFile& part, const std::string& partPath, unsigned char* wave) {
  const std::size_t head = std::min<std::size_t>(part.length, kChunkHeader);
  std::memcpy(wave, part.header, head);
  const std::size_t rest = part.length - head;
  if (std::fread(wave + head, 1, rest, part.file) == rest) return true;
  Complain(partPath, ReadFailure(part.file, "file shrank while being read; nothing written"));
  return false;
}

bool CopyWave(OpenContainer* container, const PartFile& part, const std::string& partPath,
              const std::string& name, std::uint32_t offset) {
  Print(Stream::kOutput,
        "Processing " + name + " offset " + Hex8(offset) + " length " + Hex8(part.length) + "\n");
  if (part.length == 0) return true;
  if (!part.why.empty()) {
    Complain(partPath, part.why + "; nothing written");
    return false;
  }
  const std::unique_ptr<unsigned char[]> wave(new (std::nothrow) unsigned char[part.length]);
  if (!wave) {
    Complain(partPath, "cannot allocate " + std::to_string(part.length) + " bytes for the wave");
    return false;
  }
  if (!ReadWave(part, partPath, wave.get())) return false;
  const std::uint64_t end = std::uint64_t{offset} + part.length;
  const std::string what = name + " at offset 0x" + Hex8(offset);
  // Room first, so that a full disk or a file-size limit refuses the part
  // before any of its bytes land.
  const std::string why =
      MakeRoom(container->file, offset, part.length, end > container->size || container->holes);
  if (!why.empty()) {
    Complain(container->path, "no room to write " + what + ": " + why + "; nothing written");
    return false;
  }
  if (!WriteAt(container->file, offset, wave.get(), part.length)) {
    Complain(container->path,
             Reason("cannot write " + what, errno) + "; part of the wave may have been written");
    return false;
  }
  // A wave written past the end leaves a hole before it, which later
  // parts may land in.
  if (offset > container->size) container->holes = true;
  container->size = std::max(container->size, end);
  return true;
}

}  // namespace

bool SpliceWave(OpenContainer* container, const std::string& dir, const std::string& part,
                std::uint32_t offset) {
  const std::string partPath = dir + part;
  const PartFile opened = OpenPart(partPath);
  if (opened.file == nullptr) {
    Complain(partPath, opened.why);
    return false;
  }
  const bool done = CopyWave(container, opened, partPath, part, offset);
  std::fclose(opened.file);  // read only: nothing can be lost at its close
  return done;
}
