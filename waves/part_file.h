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
};

// Opens path and reads its start in one request: the chunk header, and up
// to most bytes in all, so that a wave that fits them takes no other read.
// False with why wavesplice refuses it: it cannot be opened, has no whole
// header, or holds fewer bytes than its wave length (part->file is left
// open then, past its header).
bool OpenPart(const std::string& path, std::size_t most, PartFile* part, std::string* err);

// Reads the 8-byte chunk header at the file's current position, and the
// count bytes it starts, in one request, into room, which holds at least
// the header; the wave length is the header's little-endian size field
// plus 8, modulo 2^32. *got is how many bytes were read. False with why
// when the header cannot be read whole.
bool ReadWaveLength(std::FILE* part, unsigned char* room, std::size_t count, std::uint32_t* length,
                    std::size_t* got, std::string* err);
