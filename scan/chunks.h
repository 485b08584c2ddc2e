// What a wave's own chunks say of its sound.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "scan/wave_format.h"

// Walks the chunks of the length bytes at offset of file, up to a bound on
// their number. False when they could not be read, with why in ReadAt's
// words (waves/reading.h): shortBy when the file ended before them.
bool ReadChunks(std::FILE* file, std::uint64_t offset, std::uint64_t length, WaveChunks* chunks,
                const char* shortBy, std::string* err);

// "PCM, 2 channels, 44100 Hz, 16 bits, 1.500 s"; "no fmt chunk" when it has
// none within its bounds.
std::string DescribeWave(const WaveChunks& chunks);

// How long the data plays, when the chunks say; negative when they do not.
// An ADPCM wave's samples are counted from its blocks, whole and part.
double Seconds(const WaveChunks& chunks);
