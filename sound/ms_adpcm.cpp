#include "sound/ms_adpcm.h"

#include <algorithm>
#include <vector>

#include "sound/adpcm_beam.h"

const std::int16_t kMsStandardCoefficients[2 * kMsStandardPairs] = {
    256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};

namespace {

constexpr std::size_t kHeader = 7;  // bytes of a channel's block header

// How each code scales the delta, in 1/256.
constexpr int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                 768, 614, 512, 409, 307, 230, 230, 230};

constexpr std::size_t kTried = 16;  // samples a starting delta is judged by

// A channel's decoder between samples.
struct State {
  int first = 0;   // coefficient of the sample before
  int second = 0;  // of the one before it
  int sample1 = 0;
  int sample2 = 0;
  int delta = kMsLeastDelta;
};

int Predicted(const State& state) {
  return (state.sample1 * state.first + state.sample2 * state.second) >> 8;
}

// Decodes a 4-bit code, a signed multiple of the delta added to the
// prediction. Returns the sample.
int Step(State* state, int code) {
  const int multiple = code >= 8 ? code - 16 : code;
  const int sample = std::min(std::max(Predicted(*state) + multiple * state->delta, -32768), 32767);
  state->delta = std::max(kMsLeastDelta, (kAdaptation[code] * state->delta) >> 8);
  state->sample2 = state->sample1;
  state->sample1 = sample;
  return sample;
}

// The code nearest x from state.
int NearestCode(const State& state, int x) {
  const int error = x - Predicted(state);
  const int half = state.delta / 2;
  const int multiple = (error >= 0 ? error + half : error - half) / state.delta;
  return std::min(std::max(multiple, -8), 7) & 15;
}

std::int64_t Squared(int x) { return std::int64_t{x} * x; }

int Int16(const unsigned char* b) { return static_cast<std::int16_t>(b[0] | b[1] << 8); }

void PutInt16(int value, unsigned char* b) {
  b[0] = static_cast<unsigned char>(value & 0xff);
  b[1] = static_cast<unsigned char>((value >> 8) & 0xff);
}

// Where the code of sample i (from 2) of channel c lies, and whether in the
// high nibble.
std::size_t CodeByte(std::size_t i, unsigned c, unsigned channels, bool* high) {
  const std::size_t k = (i - 2) * channels + c;
  *high = k % 2 == 0;
  return kHeader * channels + k / 2;
}

// The squared error of coding samples 2 to count - 1 of one channel with
// the nearest codes from state.
std::int64_t Code(State state, const std::int16_t* in, std::size_t stride, std::size_t count) {
  std::int64_t error = 0;
  for (std::size_t i = 2; i < count; ++i) {
    const int x = in[i * stride];
    const int code = NearestCode(state, x);
    error += Squared(x - Step(&state, code));
  }
  return error;
}

}  // namespace

namespace {

// A channel's block start: state with its predictor's pair and first
// samples in place, from its own header.
State StartOf(const std::int16_t* coefficients, std::size_t predictor, int delta, int sample2,
              int sample1) {
  State state;
  state.first = coefficients[2 * predictor];
  state.second = coefficients[2 * predictor + 1];
  state.delta = delta;
  state.sample1 = sample1;
  state.sample2 = sample2;
  return state;
}

// The starting delta that codes the first samples best from state: the
// deltas from the least by half octaves, as far as 16 bits hold.
int BestDelta(State state, const std::int16_t* in, std::size_t stride, std::size_t count) {
  int best = kMsLeastDelta;
  std::int64_t least = -1;
  for (int k = 0; k < 22; ++k) {
    state.delta = (k % 2 == 0 ? kMsLeastDelta : 22) << (k / 2);
    const std::int64_t error = Code(state, in, stride, std::min(count, kTried));
    if (least < 0 || error < least) {
      least = error;
      best = state.delta;
    }
  }
  return best;
}

struct MsOps {
  using State = ::State;
  static int Step(State* state, int code) { return ::Step(state, code); }
  // x's nearest code and the codes either side of it.
  static int Tries(const State& state, int x, int codes[4]) {
    const int nearest = NearestCode(state, x);
    const int multiple = nearest >= 8 ? nearest - 16 : nearest;
    int count = 0;
    codes[count++] = nearest;
    if (multiple < 7) codes[count++] = (multiple + 1) & 15;
    if (multiple > -8) codes[count++] = (multiple - 1) & 15;
    return count;
  }
  // Paths of one block share their predictor: the delta tells them apart.
  static std::uint32_t Key(const State& state) { return static_cast<std::uint32_t>(state.delta); }
};

constexpr int kPaths = 3;  // paths kept after each sample

constexpr std::size_t kCoded = 2;  // predictors whose codes are tried

// The squared error of predicting each of the block's samples from the two
// before it, uncoded: how well a predictor suits the sound, at a fraction
// of the cost of coding it.
std::int64_t Residual(const std::int16_t* coefficients, std::size_t predictor,
                      const std::int16_t* in, std::size_t stride, std::size_t count) {
  const int first = coefficients[2 * predictor];
  const int second = coefficients[2 * predictor + 1];
  std::int64_t error = 0;
  for (std::size_t i = 2; i < count; ++i) {
    const int predicted = (in[(i - 1) * stride] * first + in[(i - 2) * stride] * second) >> 8;
    error += Squared(in[i * stride] - predicted);
  }
  return error;
}

// One channel's start: of the predictors that suit the block best, each
// from the starting delta that does best with it, the one whose nearest
// codes miss least over the block; and its codes, by the search.
State Search(const std::int16_t* in, std::size_t stride, std::size_t count,
             const std::int16_t* coefficients, std::size_t pairs, std::size_t* predictor,
             unsigned char* codes) {
  std::vector<std::pair<std::int64_t, std::size_t>> suited;
  for (std::size_t p = 0; p < pairs; ++p) {
    suited.emplace_back(Residual(coefficients, p, in, stride, count), p);
  }
  std::stable_sort(suited.begin(), suited.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  State best;
  std::int64_t least = -1;
  for (std::size_t s = 0; s < std::min(pairs, kCoded); ++s) {
    const std::size_t p = suited[s].second;
    State state = StartOf(coefficients, p, kMsLeastDelta, in[0], in[stride]);
    state.delta = BestDelta(state, in, stride, count);
    const std::int64_t error = Code(state, in, stride, count);
    if (least < 0 || error < least) {
      least = error;
      best = state;
      *predictor = p;
    }
  }
  AdpcmBeam<MsOps, kPaths>::Search({best}, in, stride, 2, count, codes);
  return best;
}

}  // namespace

std::size_t MsSamples(std::size_t bytes, unsigned channels, std::size_t samplesPerBlock) {
  const std::size_t header = kHeader * channels;
  if (bytes < header) return 0;
  return std::min(samplesPerBlock, (bytes - header) * 2 / channels + 2);
}

void DecodeMsBlock(const unsigned char* block, std::size_t bytes, unsigned channels,
                   std::size_t samplesPerBlock, const std::int16_t* coefficients, std::size_t pairs,
                   std::int16_t* out) {
  const std::size_t samples = MsSamples(bytes, channels, samplesPerBlock);
  for (unsigned c = 0; c < channels && samples > 0; ++c) {
    const std::size_t predictor = block[c] < pairs ? block[c] : 0;
    State state = StartOf(coefficients, predictor, Int16(block + channels + std::size_t{2} * c),
                          Int16(block + std::size_t{5} * channels + std::size_t{2} * c),
                          Int16(block + std::size_t{3} * channels + std::size_t{2} * c));
    out[c] = static_cast<std::int16_t>(state.sample2);
    out[channels + c] = static_cast<std::int16_t>(state.sample1);
    for (std::size_t i = 2; i < samples; ++i) {
      bool high = false;
      const unsigned char byte = block[CodeByte(i, c, channels, &high)];
      out[i * channels + c] = static_cast<std::int16_t>(Step(&state, high ? byte >> 4 : byte & 15));
    }
  }
}

void EncodeMsBlock(const std::int16_t* in, unsigned channels, std::size_t samplesPerBlock,
                   std::size_t bytes, const std::int16_t* coefficients, std::size_t pairs,
                   unsigned char* out) {
  std::fill(out, out + bytes, 0);
  const std::size_t samples = MsSamples(bytes, channels, samplesPerBlock);
  std::vector<unsigned char> codes(samples);
  for (unsigned c = 0; c < channels && samples > 0; ++c) {
    std::size_t predictor = 0;
    const State start =
        Search(in + c, channels, samples, coefficients, pairs, &predictor, codes.data());
    out[c] = static_cast<unsigned char>(predictor);
    PutInt16(start.delta, out + channels + std::size_t{2} * c);
    PutInt16(start.sample1, out + std::size_t{3} * channels + std::size_t{2} * c);
    PutInt16(start.sample2, out + std::size_t{5} * channels + std::size_t{2} * c);
    for (std::size_t i = 2; i < samples; ++i) {
      bool high = false;
      const std::size_t at = CodeByte(i, c, channels, &high);
      out[at] |= static_cast<unsigned char>(high ? codes[i] << 4 : codes[i]);
    }
  }
}
