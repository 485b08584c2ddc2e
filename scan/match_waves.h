// Where a wave of a container's old version went in the new one: a
// function of plain values, the waves' offsets and which of them hold the
// same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// A wave of either version, with a hash of its bytes when it was read.
struct WaveKey {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  bool hashed = false;  // only waves of a length some part needs are read
  std::uint64_t hash = 0;
};

constexpr std::size_t kNoClass = SIZE_MAX;

// Sorts hashed waves into classes of identical bytes: equal lengths and
// hashes are only a hint, confirmed by same(a, b) (indices into waves),
// which compares the bytes. Returns a class per wave, kNoClass for those not
// hashed; equal classes hold equal bytes.
std::vector<std::size_t> SameBytesClasses(
    const std::vector<WaveKey>& waves, const std::function<bool(std::size_t, std::size_t)>& same);

// A wave as the matching sees it: where it starts, and its class.
struct Spot {
  std::uint64_t offset = 0;
  std::size_t sameAs = kNoClass;
};

enum class Whereabouts { kStays, kMoved, kNoOldWave, kGone, kAmbiguous };

struct Destination {
  Whereabouts how = Whereabouts::kNoOldWave;
  std::uint64_t to = 0;  // for kStays and kMoved
  // For kAmbiguous: where the identical waves are, in each version.
  std::vector<std::uint64_t> before;
  std::vector<std::uint64_t> after;
};

// Where the old wave that starts at offset went, both versions' spots in
// offset order: the k-th of its identical waves in the old version goes to
// the k-th in the new, when both have as many.
Destination WhereItWent(std::uint64_t offset, const std::vector<Spot>& old,
                        const std::vector<Spot>& now);
