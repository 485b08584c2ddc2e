#include "scan/match_waves.h"

#include <algorithm>
#include <tuple>

std::vector<std::size_t> SameBytesClasses(
    const std::vector<WaveKey>& waves, const std::function<bool(std::size_t, std::size_t)>& same) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < waves.size(); ++i) {
    if (waves[i].hashed) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&waves](std::size_t a, std::size_t b) {
    return std::tie(waves[a].length, waves[a].hash) < std::tie(waves[b].length, waves[b].hash);
  });
  std::vector<std::size_t> classes(waves.size(), kNoClass);
  std::size_t first = 0;  // where the run of equal lengths and hashes began
  for (std::size_t i = 0; i < order.size(); ++i) {
    const WaveKey& wave = waves[order[i]];
    if (i == 0 || wave.length != waves[order[i - 1]].length ||
        wave.hash != waves[order[i - 1]].hash) {
      first = i;
    }
    // A hash that collides is told apart by the bytes: each class of the
    // run is represented by its first wave.
    for (std::size_t j = first; j < i && classes[order[i]] == kNoClass; ++j) {
      if (classes[order[j]] == order[j] && same(order[j], order[i])) {
        classes[order[i]] = order[j];
      }
    }
    if (classes[order[i]] == kNoClass) classes[order[i]] = order[i];
  }
  return classes;
}

namespace {

std::vector<std::uint64_t> OffsetsOf(const std::vector<Spot>& spots, std::size_t sameAs) {
  std::vector<std::uint64_t> offsets;
  for (const Spot& spot : spots) {
    if (spot.sameAs == sameAs) offsets.push_back(spot.offset);
  }
  return offsets;
}

}  // namespace

Destination WhereItWent(std::uint64_t offset, const std::vector<Spot>& old,
                        const std::vector<Spot>& now) {
  Destination destination;
  const auto wave = std::find_if(old.begin(), old.end(),
                                 [offset](const Spot& spot) { return spot.offset == offset; });
  if (wave == old.end() || wave->sameAs == kNoClass) return destination;
  destination.before = OffsetsOf(old, wave->sameAs);
  destination.after = OffsetsOf(now, wave->sameAs);
  if (destination.after.empty()) {
    destination.how = Whereabouts::kGone;
  } else if (destination.after.size() != destination.before.size()) {
    destination.how = Whereabouts::kAmbiguous;
  } else {
    const auto k = static_cast<std::size_t>(
        std::find(destination.before.begin(), destination.before.end(), offset) -
        destination.before.begin());
    destination.to = destination.after[k];
    destination.how = destination.to == offset ? Whereabouts::kStays : Whereabouts::kMoved;
  }
  return destination;
}
