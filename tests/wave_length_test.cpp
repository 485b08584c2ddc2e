#include <gtest/gtest.h>

#include <cstdio>

#include "waves/part_file.h"

namespace {

bool LengthOf(const std::string& bytes, std::uint32_t* length) {
  std::FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  unsigned char header[8];
  std::size_t got = 0;
  std::string err;
  const bool read = ReadWaveLength(file, header, sizeof header, length, &got, &err);
  std::fclose(file);
  return read;
}

}  // namespace

TEST(ReadWaveLength, AddsTheHeaderToTheLittleEndianSizeModulo32Bits) {
  const struct {
    const char* size;
    std::uint32_t length;
  } cases[] = {
      {"\x24\0\0\0", 0x2c},    {"\x78\x56\x34\x12", 0x12345680}, {"\xf8\xff\xff\xff", 0},
      {"\xff\xff\xff\xff", 7}, {"\xf7\xff\xff\xff", 0xffffffff},
  };
  for (const auto& c : cases) {
    std::uint32_t length = 0;
    ASSERT_TRUE(LengthOf("JUNK" + std::string(c.size, 4) + "data", &length));
    EXPECT_EQ(length, c.length);
  }
}

TEST(ReadWaveLength, NeedsTheWholeHeader) {
  std::uint32_t length = 0;
  EXPECT_FALSE(LengthOf("RIFF\x24\0\0", &length));
  EXPECT_FALSE(LengthOf("", &length));
}
