#include "scan/wave_format.h"

std::vector<Difference> FormatDifferences(const WaveFormat& part, const WaveFormat& wave) {
  std::vector<Difference> differences;
  const auto differ = [&differences](const std::string& what, const std::string& partValue,
                                     const std::string& waveValue) {
    if (partValue != waveValue) differences.push_back({partValue + what, waveValue});
  };
  if (FormatIdentity(part) != FormatIdentity(wave)) {
    differences.push_back({FormatName(part), FormatName(wave)});
  }
  differ(part.channels == 1 ? " channel" : " channels", std::to_string(part.channels),
         std::to_string(wave.channels));
  if (part.sampleRate != wave.sampleRate) {
    differences.push_back(
        {std::to_string(part.sampleRate) + " Hz", std::to_string(wave.sampleRate) + " Hz"});
  }

  const auto bits = [](const WaveFormat& format) {
    return format.hasBits ? std::to_string(format.bitsPerSample) : std::string("none");
  };
  differ(" bits", bits(part), bits(wave));
  if (part.blockAlign != wave.blockAlign) {
    differences.push_back(
        {"block align " + std::to_string(part.blockAlign), std::to_string(wave.blockAlign)});
  }
  // A player may pace the samples by the byte rate rather than by the
  // rate. Where another field differs, so does it, and saying so adds
  // nothing.
  if (differences.empty() && part.byteRate != wave.byteRate) {
    differences.push_back(
        {"byte rate " + std::to_string(part.byteRate), std::to_string(wave.byteRate)});
  }
  return differences;
}
