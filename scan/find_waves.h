// Finding the waves inside a container: RIFF chunks of form WAVE, read front
// to back in blocks, so that a container of any size scans in the memory of
// one block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// The blocks the scan reads, and extraction copies, in. A block of 128 KiB
// read out of the page cache stays in a core's second-level cache (1 MiB
// here) while it is searched or written out, where one of 1 MiB has been
// measured at up to three times the read time on a quiet machine; and a
// dense container's scan reads little past each wave's header. The bench's
// floor shows which size reads fastest on a machine.
constexpr std::size_t kScanBlock = std::size_t{128} << 10;

// Calls found(offset, length) for each wave of the size bytes of container,
// in order. A wave is "RIFF", a little-endian size S >= 4 and "WAVE", with
// all of its S + 8 bytes inside the container; the search goes on at the end
// of a wave found (a "RIFF" among its samples is data), or one byte after a
// "RIFF" that is none. found may move the stream's position. False with
// why when the container could not be read.
bool FindWaves(std::FILE* container, std::uint64_t size, std::size_t blockSize,
               const std::function<void(std::uint64_t offset, std::uint64_t length)>& found,
               std::string* err);
