// The small pieces wavescan's sentences are made of: counts of bytes,
// lists, chunk ids as they can be printed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// "1 byte", "12 bytes".
std::string Bytes(std::uint64_t count);

// The items with between them: "a, b, c".
std::string Joined(const std::vector<std::string>& items, const char* between);

// A chunk id as it can be printed: its bytes, quoted, '?' for the
// unprintable.
std::string ChunkId(const std::string& id);
