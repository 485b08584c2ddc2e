// What a wave's own chunks say of its sound.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// From the wave of length bytes at offset in container: its "fmt " chunk's
// format, channels, sample rate and bits per sample, and the duration of its
// "data" chunk, as "PCM, 2 channels, 44100 Hz, 16 bits, 1.500 s"; "no fmt
// chunk" when it has none within its bounds. False when the chunks could
// not be read; ferror tells a read error from a file that shrank.
bool DescribeWave(std::FILE* container, std::uint64_t offset, std::uint64_t length,
                  std::string* text);
