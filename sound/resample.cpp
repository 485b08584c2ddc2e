#include "sound/resample.h"

#include <algorithm>
#include <cmath>

#include "sound/portable_math.h"

namespace {

// The filter, in samples of the lower rate: a Kaiser-windowed sinc 110
// samples long. It passes up to 0.9 of the Nyquist frequency within
// 0.06 dB (0.0001 dB up to 0.8 of it) and stops 99 dB from the Nyquist
// frequency on. Its length is what resampling costs: these three were
// searched for the shortest window that keeps a margin on both sides.
constexpr double kCutoff = 0.942;  // of the Nyquist frequency
constexpr int kHalfWidth = 55;
constexpr double kBeta = 9.9;

// Rates whose reduced ratio needs at most this many coefficients get them
// exactly; others interpolate a table of the filter linearly.
constexpr std::size_t kMostCoefficients = std::size_t{1} << 18;
constexpr int kSteps = 1024;          // table entries per lower-rate sample
constexpr std::size_t kChunk = 4096;  // coefficients interpolated at once

// The filter at u lower-rate samples from its centre.
double Kernel(double u, double i0Beta) {
  const double x = u / kHalfWidth;
  if (!(x * x < 1)) return 0;
  const double a = kCutoff * u;
  const double sinc = a == 0 ? 1 : SinPi(a) / (kPi * a);
  return kCutoff * sinc * BesselI0(kBeta * std::sqrt(1 - x * x)) / i0Beta;
}

std::uint32_t Gcd(std::uint32_t a, std::uint32_t b) {
  while (b != 0) {
    const std::uint32_t r = a % b;
    a = b;
    b = r;
  }
  return a;
}

// a * b / c rounded down, and its remainder, for b and c below 2^32:
// no overflow when the result fits.
std::uint64_t MulDiv(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t* rest) {
  *rest = a % c * b % c;
  return a / c * b + a % c * b / c;
}

// Sum of c[k] * x[k] for k below n, in eight partial sums so that the
// additions overlap. Their order is fixed, so every build adds alike, and
// the groups of four let compilers use vector instructions.
template <class Sample>
Sample Dot(const Sample* c, const Sample* x, std::size_t n) {
  Sample s[4] = {0, 0, 0, 0}, u[4] = {0, 0, 0, 0};
  std::size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    for (int i = 0; i < 4; ++i) s[i] += c[k + i] * x[k + i];
    for (int i = 0; i < 4; ++i) u[i] += c[k + 4 + i] * x[k + 4 + i];
  }
  for (; k < n; ++k) s[0] += c[k] * x[k];
  return ((s[0] + s[1]) + (s[2] + s[3])) + ((u[0] + u[1]) + (u[2] + u[3]));
}

// Dot(c, x, n) and Dot(c, z, n) at once, adding alike, the coefficients read
// once for both.
template <class Sample>
void DotPair(const Sample* c, const Sample* x, const Sample* z, std::size_t n, Sample* dx,
             Sample* dz) {
  Sample s[4] = {0, 0, 0, 0}, u[4] = {0, 0, 0, 0};
  Sample t[4] = {0, 0, 0, 0}, v[4] = {0, 0, 0, 0};
  std::size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    for (int i = 0; i < 4; ++i) s[i] += c[k + i] * x[k + i];
    for (int i = 0; i < 4; ++i) t[i] += c[k + i] * z[k + i];
    for (int i = 0; i < 4; ++i) u[i] += c[k + 4 + i] * x[k + 4 + i];
    for (int i = 0; i < 4; ++i) v[i] += c[k + 4 + i] * z[k + 4 + i];
  }
  for (; k < n; ++k) {
    s[0] += c[k] * x[k];
    t[0] += c[k] * z[k];
  }
  *dx = ((s[0] + s[1]) + (s[2] + s[3])) + ((u[0] + u[1]) + (u[2] + u[3]));
  *dz = ((t[0] + t[1]) + (t[2] + t[3])) + ((v[0] + v[1]) + (v[2] + v[3]));
}

// The filter's coefficients for input frames [j, j + count) at time ip +
// phase / phases, from the table.
template <class Sample>
void Interpolate(const Resampler& f, std::uint64_t ip, std::uint64_t phase, std::uint64_t j,
                 std::size_t count, Sample* c) {
  const double t = static_cast<double>(phase) / static_cast<double>(f.phases);
  const double last = static_cast<double>(f.table.size() - 2);
  for (std::size_t k = 0; k < count; ++k, ++j) {
    const double u = j <= ip ? t + static_cast<double>(ip - j) : static_cast<double>(j - ip) - t;
    const double x = std::min(u * f.scale * kSteps, last);
    const auto i = static_cast<std::size_t>(x);
    c[k] = static_cast<Sample>(
        f.scale * (f.table[i] + (x - static_cast<double>(i)) * (f.table[i + 1] - f.table[i])));
  }
}

}  // namespace

Resampler MakeResampler(std::uint32_t from, std::uint32_t to) {
  Resampler f;
  const std::uint32_t gcd = Gcd(from, to);
  f.step = from / gcd;
  f.phases = to / gcd;
  f.scale = from <= to ? 1 : static_cast<double>(to) / from;
  f.taps =
      from <= to
          ? kHalfWidth
          : static_cast<std::uint64_t>(std::ceil(kHalfWidth * (static_cast<double>(from) / to)));
  const double i0Beta = BesselI0(kBeta);
  if (f.taps <= kMostCoefficients / 2 && f.phases <= kMostCoefficients / (2 * f.taps)) {
    f.rows.resize(f.phases * 2 * f.taps);
    for (std::uint64_t p = 0; p < f.phases; ++p) {
      const double t = static_cast<double>(p) / static_cast<double>(f.phases);
      for (std::uint64_t k = 0; k < 2 * f.taps; ++k) {
        const double d = static_cast<double>(k) + 1 - static_cast<double>(f.taps);
        f.rows[p * 2 * f.taps + k] = f.scale * Kernel((t - d) * f.scale, i0Beta);
      }
    }
    f.floatRows.assign(f.rows.begin(), f.rows.end());
  } else {
    f.table.resize(kHalfWidth * kSteps + 2);  // its last two entries are 0
    for (std::size_t i = 0; i + 2 < f.table.size(); ++i)
      f.table[i] = Kernel(static_cast<double>(i) / kSteps, i0Beta);
  }
  return f;
}

namespace {

// The filter's rows in the sound's precision.
const double* Rows(const Resampler& filter, double) { return filter.rows.data(); }
const float* Rows(const Resampler& filter, float) { return filter.floatRows.data(); }

// Output frame n of every channel, at input time ip + phase / phases.
template <class Sample>
void Frame(const Resampler& filter, const std::vector<Sample>& sound, unsigned channels,
           std::uint64_t inFirst, std::uint64_t ip, std::uint64_t phase, std::size_t n,
           std::vector<Sample>* out, std::vector<Sample>* chunk) {
  const std::size_t inFrames = sound.size() / channels;
  const std::size_t outFrames = out->size() / channels;
  const std::uint64_t taps = filter.taps;
  const std::uint64_t first = std::max(ip + 1 > taps ? ip + 1 - taps : 0, inFirst);
  const std::uint64_t end = std::min(ip + taps + 1, inFirst + inFrames);
  if (!filter.rows.empty()) {
    if (first >= end) return;
    const Sample* c = Rows(filter, Sample{}) + (phase * 2 * taps + (first + taps - 1 - ip));
    for (unsigned ch = 0; ch < channels; ++ch)
      (*out)[ch * outFrames + n] = Dot(c, &sound[ch * inFrames + (first - inFirst)], end - first);
    return;
  }
  for (std::uint64_t j = first; j < end; j += kChunk) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, end - j));
    Interpolate(filter, ip, phase, j, count, chunk->data());
    for (unsigned ch = 0; ch < channels; ++ch)
      (*out)[ch * outFrames + n] +=
          Dot(chunk->data(), &sound[ch * inFrames + (j - inFirst)], count);
  }
}

}  // namespace

template <class Sample>
void Resample(const Resampler& filter, const std::vector<Sample>& sound, unsigned channels,
              std::uint64_t inFirst, std::uint64_t outFirst, std::size_t outFrames,
              std::vector<Sample>* out) {
  out->assign(outFrames * channels, 0);
  const std::size_t inFrames = sound.size() / channels;
  const std::uint64_t taps = filter.taps, step = filter.step, phases = filter.phases;
  std::vector<Sample> chunk(filter.rows.empty() ? kChunk : 0);
  // Output frames n and n + phases have the same phase, their input step
  // frames apart: computed together, they read the coefficients once.
  // The time of output frame n, ip + phase / phases, kept exactly: 2 *
  // phases frames on, the time is 2 * step frames on, at the same phase.
  std::uint64_t basePhase = 0;
  std::uint64_t baseIp = MulDiv(outFirst, step, phases, &basePhase);
  for (std::uint64_t base = 0; base < outFrames; base += 2 * phases, baseIp += 2 * step) {
    std::uint64_t ip = baseIp, phase = basePhase;
    for (std::uint64_t n = base; n < std::min<std::uint64_t>(base + phases, outFrames); ++n) {
      const std::uint64_t m = n + phases;
      if (m < outFrames && !filter.rows.empty() && ip + 1 >= inFirst + taps &&
          ip + step + taps + 1 <= inFirst + inFrames) {
        const Sample* c = Rows(filter, Sample{}) + phase * 2 * taps;
        const std::uint64_t at = ip + 1 - taps - inFirst;
        for (unsigned ch = 0; ch < channels; ++ch) {
          const Sample* x = &sound[ch * inFrames + at];
          DotPair(c, x, x + step, 2 * taps, &(*out)[ch * outFrames + n],
                  &(*out)[ch * outFrames + m]);
        }
      } else {
        Frame(filter, sound, channels, inFirst, ip, phase, n, out, &chunk);
        if (m < outFrames)
          Frame(filter, sound, channels, inFirst, ip + step, phase, m, out, &chunk);
      }
      ip += step / phases;
      phase += step % phases;
      if (phase >= phases) {
        phase -= phases;
        ++ip;
      }
    }
  }
}

template void Resample(const Resampler&, const std::vector<float>&, unsigned, std::uint64_t,
                       std::uint64_t, std::size_t, std::vector<float>*);
template void Resample(const Resampler&, const std::vector<double>&, unsigned, std::uint64_t,
                       std::uint64_t, std::size_t, std::vector<double>*);

void FramesRead(const Resampler& filter, std::uint64_t first, std::uint64_t count,
                std::uint64_t* begin, std::uint64_t* end) {
  std::uint64_t rest = 0;
  const std::uint64_t at = MulDiv(first, filter.step, filter.phases, &rest);
  *begin = at + 1 > filter.taps ? at + 1 - filter.taps : 0;
  *end = MulDiv(first + count - 1, filter.step, filter.phases, &rest) + filter.taps + 1;
}

std::uint64_t FramesAtRate(std::uint64_t inFrames, std::uint32_t from, std::uint32_t to) {
  std::uint64_t rest = 0;
  const std::uint64_t frames = MulDiv(inFrames, to, from, &rest);
  return rest == 0 ? frames : frames + 1;
}
