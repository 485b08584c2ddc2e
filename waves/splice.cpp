#include "waves/splice.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/file_write.h"
#include "platform/output.h"
#include "platform/path.h"
#include "waves/messages.h"
#include "waves/part_file.h"
#include "waves/reading.h"

namespace {

// Where the most part files' waves are read whole with their header, in
// one request; a longer wave takes one more.
constexpr std::size_t kFirstRead = std::size_t{256} << 10;

// The wave of an opened part that holds it, in *wave: what was read with
// the header, or that and the rest, read after it into a buffer of the
// wave's length.
bool ReadWave(const PartFile& part, std::unique_ptr<unsigned char[]>* whole,
              const unsigned char** wave, std::string* err) {
  *wave = part.start.get();
  if (part.got >= part.length) return true;
  whole->reset(new (std::nothrow) unsigned char[part.length]);
  if (!*whole) {
    *err = "cannot allocate " + std::to_string(part.length) + " bytes for the wave";
    return false;
  }
  std::memcpy(whole->get(), part.start.get(), part.got);
  *wave = whole->get();
  const std::size_t rest = part.length - part.got;
  return std::fread(whole->get() + part.got, 1, rest, part.file.get()) == rest ||
         ReadFailed(part.file.get(), "file shrank while being read; nothing written", err);
}

// Prints the part's processing line and writes its wave, unless wavesplice
// refuses the part: whole is false then, and refusal says why.
bool CopyWave(OpenContainer* container, const PartFile& part, bool whole,
              const std::string& refusal, const std::string& partPath, const std::string& name,
              std::uint32_t offset) {
  std::string line = "Processing ";
  line.reserve(64 + name.size());
  line.append(Shown(name)).append(" offset ").append(Hex(offset));
  Print(Stream::kOutput, line.append(" length ").append(Hex(part.length)).append("\n"));
  if (part.length == 0) return true;
  if (!whole) {
    Complain(partPath, refusal + "; nothing written");
    return false;
  }
  std::unique_ptr<unsigned char[]> read;
  const unsigned char* wave = nullptr;
  std::string err;
  if (!ReadWave(part, &read, &wave, &err)) {
    Complain(partPath, err);
    return false;
  }
  const std::uint64_t end = std::uint64_t{offset} + part.length;
  const auto what = [&name, offset] { return name + " at offset 0x" + Hex(offset); };
  // Room first, so that a full disk or a file-size limit refuses the part
  // before any of its bytes land.
  if (!MakeRoom(container->file, offset, part.length, end > container->size || container->holes,
                &err)) {
    Complain(container->path, "no room to write " + what() + ": " + err + "; nothing written");
    return false;
  }
  if (!WriteAt(container->file, offset, wave, part.length, &err)) {
    Complain(container->path,
             "cannot write " + what() + ": " + err + "; part of the wave may have been written");
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
  const std::string partPath = PathIn(dir, part);
  PartFile opened;
  std::string refusal;
  const bool whole = OpenPart(partPath, kFirstRead, &opened, &refusal);
  if (!opened.file) {
    Complain(partPath, refusal);
    return false;
  }
  return CopyWave(container, opened, whole, refusal, partPath, part, offset);
}
