#include "sound/ima_search.h"

#include <algorithm>
#include <vector>

#include "sound/adpcm_beam.h"
#include "sound/ima_adpcm.h"

namespace {

constexpr int kPaths = 4;           // paths kept after each sample
constexpr std::size_t kStarts = 3;  // starting step indices among them
constexpr std::size_t kTried = 16;  // samples a starting step index is judged by

// For each step index, the bits of the largest power of 2 at most an
// eighth of its step: paths at one index closer than that are alike.
struct BucketBits {
  int bits[kImaLastIndex + 1] = {};
  constexpr BucketBits() {
    for (int index = 0; index <= kImaLastIndex; ++index) {
      while ((2 << bits[index]) <= kImaSteps[index] / 8) ++bits[index];
    }
  }
};
constexpr BucketBits kBuckets;

struct ImaOps {
  using State = ImaState;
  static int Step(State* state, int code) { return ImaStep(state, code); }
  // x's plain code and its neighbours: one step more or less, and near 0
  // the other sign.
  static int Tries(const State& state, int x, int codes[4]) {
    const int greedy = ImaGreedyCode(state, x);
    const int magnitude = greedy & 7;
    const int sign = greedy & 8;
    int count = 0;
    codes[count++] = greedy;
    if (magnitude < 7) codes[count++] = sign | (magnitude + 1);
    if (magnitude > 0) codes[count++] = sign | (magnitude - 1);
    if (magnitude == 0) codes[count++] = sign ^ 8;
    return count;
  }
  // The step index shapes a path's future far more than where it stands:
  // paths kept at different indices search more of them, and at one index,
  // only paths more than a fraction of its step apart.
  static std::uint32_t Key(const State& state) {
    return static_cast<std::uint32_t>(state.index) << 16 |
           static_cast<std::uint32_t>(state.sample + 32768) >> kBuckets.bits[state.index];
  }
};

// A plain encoder's squared error over the first samples, from step index.
std::int64_t GreedyError(const std::int16_t* in, std::size_t stride, std::size_t samples,
                         int index) {
  ImaState state{in[0], index};
  std::int64_t error = 0;
  for (std::size_t i = 1; i < samples; ++i) {
    const int x = in[i * stride];
    const std::int64_t miss = x - ImaStep(&state, ImaGreedyCode(state, x));
    error += miss * miss;
  }
  return error;
}

}  // namespace

int SearchImaCodes(const std::int16_t* in, std::size_t stride, std::size_t samples,
                   unsigned char* codes) {
  // The step indices a plain encoder does best from, best first.
  std::vector<std::pair<std::int64_t, int>> ranked;
  for (int index = 0; index <= kImaLastIndex; ++index) {
    ranked.emplace_back(GreedyError(in, stride, std::min(samples, kTried), index), index);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<ImaState> starts;
  for (std::size_t s = 0; s < kStarts; ++s) starts.push_back({in[0], ranked[s].second});
  const std::size_t best = AdpcmBeam<ImaOps, kPaths>::Search(starts, in, stride, 1, samples, codes);
  return starts[best].index;
}
