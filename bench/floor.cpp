// The floor the splice is measured against: the fewest system calls a splice
// of one part can make (open, one read, one positioned write, close), with no
// search, no name decoding, no checks, no output and no stdio.
// Usage: splice_floor CONTAINER MANIFEST, a line "OFFSET LENGTH PATH" per part.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const int container = open(argv[1], O_RDWR);
  std::FILE* manifest = std::fopen(argv[2], "r");
  if (container < 0 || manifest == nullptr) return 1;
  char line[4096];
  while (std::fgets(line, sizeof line, manifest) != nullptr) {
    char* rest = nullptr;
    const unsigned long long offset = std::strtoull(line, &rest, 10);
    const unsigned long length = std::strtoul(rest, &rest, 10);
    char* path = rest + 1;
    path[std::strcspn(path, "\n")] = '\0';
    const int part = open(path, O_RDONLY);
    void* wave = std::malloc(length);
    if (part < 0 || wave == nullptr || read(part, wave, length) != static_cast<ssize_t>(length) ||
        pwrite(container, wave, length, static_cast<off_t>(offset)) !=
            static_cast<ssize_t>(length)) {
      return 1;
    }
    std::free(wave);
    close(part);
  }
  std::fclose(manifest);
  return close(container) == 0 ? 0 : 1;
}
