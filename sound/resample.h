// A windowed-sinc resampler for any pair of rates from 1 Hz to 2^32 - 1 Hz.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Sound is planar: each channel's frames one after another, all channels
// the same length. Its samples are float or double, whose precision the
// filter computes in.

// The filter from one rate to another, made once by MakeResampler.
struct Resampler {
  // Output frame n is at input time n * step / phases, in input frames.
  std::uint64_t step = 1;
  std::uint64_t phases = 1;
  // Input frame j counts for time t when |t - j| < taps.
  std::uint64_t taps = 0;
  double scale = 1;  // lower-rate samples per input frame
  // The filter's 2 * taps coefficients for each phase p, at p / phases - d
  // for input frames d from 1 - taps to taps from the time's whole part;
  // when those would be too many, the filter every 1/kSteps sample instead.
  std::vector<double> rows;
  std::vector<float> floatRows;  // the same, rounded
  std::vector<double> table;
};

// The filter from rate `from` to rate `to` (Hz, nonzero, different): it passes
// up to 0.9 of the lower rate's Nyquist frequency and stops from there on.
Resampler MakeResampler(std::uint32_t from, std::uint32_t to);

// Output frames [outFirst, outFirst + outFrames) of sound of `channels`
// channels into out, planar, outFrames a channel. Output frame n is the
// input, band-limited, at input time n * from / to: no delay, so the output
// starts where the input does. sound holds input frames from inFirst on;
// input before and after them is silence.
template <class Sample>
void Resample(const Resampler& filter, const std::vector<Sample>& sound, unsigned channels,
              std::uint64_t inFirst, std::uint64_t outFirst, std::size_t outFrames,
              std::vector<Sample>* out);
extern template void Resample(const Resampler&, const std::vector<float>&, unsigned, std::uint64_t,
                              std::uint64_t, std::size_t, std::vector<float>*);
extern template void Resample(const Resampler&, const std::vector<double>&, unsigned, std::uint64_t,
                              std::uint64_t, std::size_t, std::vector<double>*);

// The input frames [*begin, *end) that output frames [first, first + count)
// read, count nonzero: the rest can be left out without changing them.
void FramesRead(const Resampler& filter, std::uint64_t first, std::uint64_t count,
                std::uint64_t* begin, std::uint64_t* end);

// The frames at rate `to` that inFrames frames at rate `from` last: those
// whose time falls within the input.
std::uint64_t FramesAtRate(std::uint64_t inFrames, std::uint32_t from, std::uint32_t to);
