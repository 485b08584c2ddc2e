// Reading a part file as wavesplice takes it: the one sequence that both
// the splice and wavescan's check go through, so that both refuse the same
// files for the same reasons.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "waves/riff.h"

// A part file opened and its chunk header read.
struct PartFile {
  // Open, unbuffered and just past the header; null when the file could not
  // be opened or has no whole header. The caller closes it.
  std::FILE* file = nullptr;
  std::uint32_t length = 0;  // the wave length, once the header was read
  unsigned char header[kChunkHeader] = {};
  bool opened = false;     // it was opened: size, and header as far as it goes, hold
  std::uint64_t size = 0;  // the file's size, once it was opened
  // Why wavesplice refuses it: it cannot be opened, has no whole header,
  // or holds fewer bytes than its wave length. Empty when it would splice.
  std::string why;
};

PartFile OpenPart(const std::string& path);

// Opens path for reading, binary, if it is a regular file, with its size;
// null with *why otherwise. Never waits on a FIFO or a device.
std::FILE* OpenToRead(const std::string& path, std::uint64_t* size, std::string* why);

// Reads the 8-byte chunk header at the file's current position; the wave
// length is its little-endian size field plus 8, modulo 2^32. Returns false
// when the header cannot be read whole. header, when given, receives the
// bytes read, as many as there were.
bool ReadWaveLength(std::FILE* part, std::uint32_t* length, unsigned char* header = nullptr);

// Why a read came up short: the system's reason, or shortBy when the file
// simply ended.
std::string ReadFailure(std::FILE* file, const char* shortBy);
