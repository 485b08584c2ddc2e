// Copies one part file's RIFF chunk, header included, over a container.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Opens dir + part, prints its processing line and writes its wave into the
// open container at offset: the whole wave or, as far as it is in this
// tool's hands, nothing. Returns false, having said why, when it could not.
bool SpliceWave(std::FILE* container, const std::string& containerPath, const std::string& dir,
                const std::string& part, std::uint32_t offset);

// Reads the 8-byte chunk header at the file's current position; the wave
// length is its little-endian size field plus 8, modulo 2^32. Returns false
// when the header cannot be read whole.
bool ReadWaveLength(std::FILE* part, std::uint32_t* length);
