#include "scan/place_parts.h"

std::size_t PlaceWave(const std::vector<Span>& parts, std::uint64_t offset, std::uint64_t length,
                      std::size_t* passed, std::vector<Place>* places) {
  std::size_t at = *passed;
  // The wave is the first after these parts: one that reaches it overruns.
  for (; at < parts.size() && parts[at].offset < offset; ++at) {
    Place& place = (*places)[at];
    place.overruns = parts[at].offset + parts[at].length > offset;
    place.nextWave = offset;
  }
  *passed = at;
  const std::size_t first = at < parts.size() && parts[at].offset == offset ? at : parts.size();
  for (; at < parts.size() && parts[at].offset - offset < length; ++at) {
    Place& place = (*places)[at];
    place.waveStarts = parts[at].offset == offset;
    place.inside = !place.waveStarts;
    place.waveOffset = offset;
    place.waveLength = length;
  }
  return first;
}
