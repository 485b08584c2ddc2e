// A wave's bytes, read from its container a block at a time: hashed, and
// compared with another's.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A hash of the length bytes at offset in file; false with why when they
// could not be read.
bool HashBytes(std::FILE* file, std::uint64_t offset, std::uint64_t length, std::uint64_t* hash,
               std::string* err);

// Whether the length bytes at offsetA in a are those at offsetB in b, in
// *same; false with why when either could not be read.
bool SameBytes(std::FILE* a, std::uint64_t offsetA, std::FILE* b, std::uint64_t offsetB,
               std::uint64_t length, bool* same, std::string* err);
