// Reading a part file as wavesplice takes it: the one sequence that both
// the splice and wavescan's check go through, so that both refuse the same
// files for the same reasons.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "waves/reading.h"
#include "waves/riff.h"

// A part file opened and its start read, chunk header first.
struct PartFile {
  // Open, unbuffered and just past the bytes read; null when the file could
  // not be opened or has no whole header.
  ReadOnlyFile file;
  std::uint32_t length = 0;                // the wave length, once the header was read
  std::unique_ptr<unsigned char[]> start;  // the bytes read from its start
  std::size_t got = 0;                     // how many: the header's, when short of it
  bool opened = false;                     // it was opened: size, start and got hold
  std::uint64_t size = 0;                  // the file's size, once it was opened
  // Why wavesplice refuses it: it cannot be opened, has no whole header,
  // or holds fewer bytes than its wave length. Empty when it would splice.
  std::string why;
};

// Opens path and reads its start in one request: the chunk header, and up
// to most bytes in all, so that a wave that fits them takes no other read.
PartFile OpenPart(const std::string& path, std::size_t most = kChunkHeader);

// Reads the 8-byte chunk header at the file's current position, and with
// room given, the count bytes it starts, in one request; the wave length is
// the header's little-endian size field plus 8, modulo 2^32. Returns false
// when the header cannot be read whole. *got, when asked, is how many bytes
// were read.
bool ReadWaveLength(std::FILE* part, std::uint32_t* length, unsigned char* room = nullptr,
                    std::size_t count = 0, std::size_t* got = nullptr);
