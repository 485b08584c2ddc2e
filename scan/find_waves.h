// Finding the waves inside a container: RIFF chunks of form WAVE, read front
// to back in blocks, so that a container of any size scans in the memory of
// one block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

// A block read, and copied, out of the page cache stays in the processor's
// second-level cache while it is searched or written on; a block of 1 MiB
// did not, and cost more than the search. The bench's floor shows which
// size reads fastest on a machine.
constexpr std::size_t kScanBlock = std::size_t{128} << 10;

// Calls found(offset, length) for each wave of the size bytes of container,
// in order. A wave is "RIFF", a little-endian size S >= 4 and "WAVE", with
// all of its S + 8 bytes inside the container; the search goes on at the end
// of a wave found (a "RIFF" among its samples is data), or one byte after a
// "RIFF" that is none. found may move the stream's position. Returns false
// when the container could not be read; ferror tells a read error from a
// file that shrank.
bool FindWaves(std::FILE* container, std::uint64_t size, std::size_t blockSize,
               const std::function<void(std::uint64_t offset, std::uint64_t length)>& found);
