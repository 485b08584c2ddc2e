// Where each part falls among its container's waves, found as the scan
// meets the waves, front to back: a function of plain values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scan/span.h"

// What lies around one part.
struct Place {
  bool waveStarts = false;       // a wave starts at its offset
  bool inside = false;           // its offset falls inside a wave that starts before it
  std::uint64_t waveOffset = 0;  // that wave, either way
  std::uint64_t waveLength = 0;
  bool overruns = false;  // it reaches into the first wave that starts after it
  std::uint64_t nextWave = 0;
};

// Places the wave at offset, of length, among parts sorted by offset, whose
// places (one each) it updates: the parts it starts at or holds, and those
// before it that no earlier wave came after. *passed counts those, and
// carries over from one wave to the next, which must come in order.
// Returns the index of the first part at the wave's own offset, or
// parts.size().
std::size_t PlaceWave(const std::vector<Span>& parts, std::uint64_t offset, std::uint64_t length,
                      std::size_t* passed, std::vector<Place>* places);
