// Containers of arbitrary bytes through the round trip: extracting every
// wave and splicing the parts back must leave the container as it was, and
// the check must then find every part fitting.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/open_file.h"
#include "scan/scan_waves.h"
#include "waves/replace_waves.h"

namespace {

std::string dir;

std::string Contents(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  char block[4096];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) {
    bytes.append(block, got);
  }
  std::fclose(file);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char made[] = "/tmp/wavescan-fuzz-XXXXXX";
  if (mkdtemp(made) == nullptr) std::abort();
  dir = std::string(made) + "/";
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The last input's parts go the way the programs remove files, which
  // the searches' listings learn of.
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".wav") continue;
    std::string err;
    if (!RemoveFile(entry.path().string(), &err)) std::abort();
  }
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::FILE* container = std::fopen((dir + "c.dat").c_str(), "wb");
  if (std::fwrite(bytes.data(), 1, size, container) != size || std::fclose(container) != 0) {
    std::abort();
  }
  ScanReport report = kTextReport;
  if (!ScanWaves(dir, "c.dat", ScanOptions{true, false}, {}, &report)) std::abort();
  if (!ReplaceWaves(dir, "c.dat") || Contents(dir + "c.dat") != bytes) std::abort();
  if (!ScanWaves(dir, "c.dat", ScanOptions{}, {}, &report)) std::abort();
  return 0;
}
