// The floor the scan is measured against: a plain read of the whole file in
// blocks of KIB KiB, doing nothing with the bytes. The bench runs it at
// several sizes and takes the fastest. Usage: read_floor FILE KIB
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const long kib = std::strtol(argv[2], nullptr, 10);
  std::FILE* file = std::fopen(argv[1], "rb");
  if (file == nullptr || kib <= 0) return 1;
  std::vector<unsigned char> block(static_cast<std::size_t>(kib) << 10);
  unsigned long long total = 0;
  for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), file)) > 0;) total += got;
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return 1;
  return total > 0 && block[0] == 0xff && total == 1 ? 3 : 0;  // keeps the read from being dropped
}
