// The floor the splice is measured against: the same copies through one
// wave-sized buffer each, with no search, no name decoding, no checks and no
// output. Usage: splice_floor CONTAINER MANIFEST, a line "OFFSET PATH" per part.
#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::FILE* container = std::fopen(argv[1], "r+b");
  std::FILE* manifest = std::fopen(argv[2], "r");
  if (container == nullptr || manifest == nullptr) return 1;
  char line[4096];
  char path[4096];
  while (std::fgets(line, sizeof line, manifest) != nullptr) {
    char* rest = nullptr;
    const unsigned long long offset = std::strtoull(line, &rest, 10);
    if (std::sscanf(rest, "%4095s", path) != 1) return 1;
    std::FILE* part = std::fopen(path, "rb");
    unsigned char header[8];
    if (part == nullptr || std::fread(header, 1, 8, part) != 8) return 1;
    const std::uint32_t length = (header[4] | header[5] << 8 | header[6] << 16 |
                                  static_cast<std::uint32_t>(header[7]) << 24) +
                                 8u;
    void* wave = std::malloc(length);
    std::fseek(part, 0, SEEK_SET);
    std::fread(wave, 1, length, part);
    fseeko(container, static_cast<off_t>(offset), SEEK_SET);
    std::fwrite(wave, 1, length, container);
    std::free(wave);
    std::fclose(part);
  }
  std::fclose(manifest);
  return std::fclose(container) == 0 ? 0 : 1;
}
