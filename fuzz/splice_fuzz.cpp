// Part files of arbitrary contents through the header read and the splice:
// the container gets the whole wave or keeps every byte it had. Then
// through wavescan's check of the same part: its chunks are read within the
// wave it holds, never past the file's end, and any finding can be judged
// and put in words.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scan/judge.h"
#include "scan/report_words.h"
#include "waves/part_file.h"
#include "waves/splice.h"

namespace {

std::string dir;
constexpr std::string_view kBefore = "UUUUUUUUUUUUUUUU";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char made[] = "/tmp/wavesplice-fuzz-XXXXXX";
  if (mkdtemp(made) == nullptr) std::abort();
  dir = std::string(made) + "/";
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* part = std::fopen((dir + "part.wav").c_str(), "wb");
  std::fwrite(data, 1, size, part);
  std::fclose(part);
  OpenContainer container;
  container.file = std::tmpfile();
  container.path = "container";
  std::setvbuf(container.file, nullptr, _IONBF, 0);  // as the splice expects it
  std::fwrite(kBefore.data(), 1, kBefore.size(), container.file);
  container.size = kBefore.size();
  const bool done = SpliceWave(&container, dir, "part.wav", 4);

  std::string after(std::size_t{1} << 16, '\0');
  std::rewind(container.file);
  after.resize(std::fread(&after[0], 1, after.size(), container.file));
  std::fclose(container.file);

  std::string expected(kBefore);
  bool fits = false;
  if (size >= 8) {
    const std::uint32_t length =
        (data[4] | data[5] << 8 | data[6] << 16 | static_cast<std::uint32_t>(data[7]) << 24) + 8u;
    fits = length <= size;
    if (fits) expected.replace(4, length, reinterpret_cast<const char*>(data), length);
  }
  if (done != fits || after != expected) std::abort();

  PartFile opened;
  PartFinding finding;
  const bool whole = OpenPart(dir + "part.wav", kChunkHeader, &opened, &finding.refused);
  if (!opened.file) return 0;
  finding.name = "part.wav";
  finding.headerRead = true;
  finding.length = opened.length;
  std::string err;
  const bool read =
      !whole || ReadChunks(opened.file.get(), 0, opened.length, &finding.own, kShrank, &err);
  if (!read) std::abort();
  // Over a mono 8-bit wave of 60 bytes that ends a container of 64.
  finding.place.waveStarts = true;
  finding.place.waveLength = 60;
  finding.wave.wave = finding.wave.hasFormat = finding.wave.hasData = true;
  finding.wave.format = {1, 1, 8000, 8000, 1, true, 8, 0, ""};
  finding.wave.dataBytes = 16;
  const Judgement judgement = Judge(finding, 64);
  if (PartMessage(finding, judgement).empty()) std::abort();
  return 0;
}
