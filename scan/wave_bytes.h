// A wave's bytes, read from its container a block at a time: hashed, and
// compared with another's.
#pragma once

#include <cstdint>
#include <cstdio>

// A hash of the length bytes at offset in file; false when they could not
// be read (ferror tells a read error from a file that shrank).
bool HashBytes(std::FILE* file, std::uint64_t offset, std::uint64_t length, std::uint64_t* hash);

// Whether the length bytes at offsetA in a are those at offsetB in b; false
// with *read false when either could not be read.
bool SameBytes(std::FILE* a, std::uint64_t offsetA, std::FILE* b, std::uint64_t offsetB,
               std::uint64_t length, bool* read);
