#include "waves/judge.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kWaveHeader = 12;  // "RIFF", the size, "WAVE"

void Compare(const WaveFormat& part, const WaveFormat& wave, std::vector<Difference>* out) {
  const auto differ = [out](const std::string& what, const std::string& partValue,
                            const std::string& waveValue) {
    if (partValue != waveValue) out->push_back({partValue + what, waveValue});
  };
  if (FormatIdentity(part) != FormatIdentity(wave)) {
    out->push_back({FormatName(part), FormatName(wave)});
  }
  differ(part.channels == 1 ? " channel" : " channels", std::to_string(part.channels),
         std::to_string(wave.channels));
  if (part.sampleRate != wave.sampleRate) {
    out->push_back(
        {std::to_string(part.sampleRate) + " Hz", std::to_string(wave.sampleRate) + " Hz"});
  }
  const auto bits = [](const WaveFormat& format) {
    return format.hasBits ? std::to_string(format.bitsPerSample) : std::string("none");
  };
  differ(" bits", bits(part), bits(wave));
  if (part.blockAlign != wave.blockAlign) {
    out->push_back(
        {"block align " + std::to_string(part.blockAlign), std::to_string(wave.blockAlign)});
  }
}

// What of the part's samples would fit in the wave's length.
void Fit(const PartFinding& part, Judgement* judgement) {
  const WaveChunks& own = part.own;
  if (!own.wave || !own.hasFormat || !own.hasData) return;
  const std::uint64_t rest = part.length - own.dataBytes;  // all but the samples
  const std::uint64_t block = std::max<std::uint64_t>(own.format.blockAlign, 1);
  judgement->fitKnown = true;
  judgement->fitBytes = part.waveLength > rest ? (part.waveLength - rest) / block * block : 0;
  judgement->fitSeconds =
      own.format.byteRate == 0 ? 0 : static_cast<double>(judgement->fitBytes) / own.format.byteRate;
  for (const Chunk& chunk : own.others) {
    const bool waveHasIt =
        std::any_of(part.wave.others.begin(), part.wave.others.end(),
                    [&chunk](const Chunk& other) { return other.id == chunk.id; });
    if (!waveHasIt) judgement->lacking.push_back(chunk);
  }
}

}  // namespace

Judgement Judge(const PartFinding& part, std::uint64_t containerSize) {
  Judgement judgement;
  if (part.taken != PartName::kPart) return judgement;
  std::vector<Problem>& problems = judgement.problems;
  if (!part.refused.empty()) {
    judgement.verdict = Verdict::kRefused;
    problems.push_back(Problem::kRefused);
    return judgement;
  }
  const std::uint64_t end = std::uint64_t{part.offset} + part.length;
  judgement.lengthens = end > containerSize ? end - containerSize : 0;
  if (part.waveStarts && part.length <= part.waveLength) {
    judgement.verdict = part.length == part.waveLength ? Verdict::kFits : Verdict::kShorter;
    judgement.shorterBy = part.waveLength - part.length;
  } else if (part.waveStarts) {
    judgement.verdict = Verdict::kLonger;
    judgement.longerBy = part.length - part.waveLength;
    // What lies between the wave's end and the container's; the rest of
    // the part lengthens the container.
    judgement.overwrites =
        std::min(judgement.longerBy, containerSize - (part.offset + part.waveLength));
    Fit(part, &judgement);
  } else {
    judgement.verdict = part.offset >= containerSize ? Verdict::kPastEnd : Verdict::kNoWave;
  }
  if (judgement.verdict == Verdict::kLonger) problems.push_back(Problem::kLonger);
  if (judgement.verdict == Verdict::kNoWave) problems.push_back(Problem::kNoWave);
  if (judgement.verdict == Verdict::kPastEnd) problems.push_back(Problem::kPastEnd);

  // A wave length under a header's 12 bytes makes wavesplice write a broken
  // header, or nothing, over the wave.
  if (!part.own.wave || part.length < kWaveHeader) {
    problems.push_back(Problem::kNotAWave);
  } else if (!part.own.hasFormat) {
    // A part no worse than the wave it replaces, which has none either, is
    // left to the program as that wave is.
    if (!part.waveStarts || part.wave.hasFormat) problems.push_back(Problem::kNoFormat);
  } else if (part.waveStarts && part.wave.hasFormat) {
    Compare(part.own.format, part.wave.format, &judgement.differences);
    if (!judgement.differences.empty()) problems.push_back(Problem::kFormatDiffers);
  }
  if (!part.sameOffset.empty()) problems.push_back(Problem::kSameOffset);
  if (!part.overlaps.empty()) problems.push_back(Problem::kOverlaps);
  if (!part.caseTwin.empty()) problems.push_back(Problem::kCaseTwin);
  if (!part.notWritable.empty()) problems.push_back(Problem::kNotWritable);
  return judgement;
}

const char* VerdictKey(Verdict verdict) {
  switch (verdict) {
    case Verdict::kFits:
      return "fits";
    case Verdict::kShorter:
      return "shorter";
    case Verdict::kLonger:
      return "longer";
    case Verdict::kNoWave:
      return "no_wave";
    case Verdict::kPastEnd:
      return "past_end";
    case Verdict::kRefused:
      return "refused";
    case Verdict::kSkipped:
      break;
  }
  return "skipped";
}

const char* ProblemKey(Problem problem) {
  switch (problem) {
    case Problem::kLonger:
      return "longer";
    case Problem::kNoWave:
      return "no_wave";
    case Problem::kPastEnd:
      return "past_end";
    case Problem::kRefused:
      return "refused";
    case Problem::kNotAWave:
      return "not_a_wave";
    case Problem::kNoFormat:
      return "no_format";
    case Problem::kFormatDiffers:
      return "format_differs";
    case Problem::kSameOffset:
      return "same_offset";
    case Problem::kOverlaps:
      return "overlaps";
    case Problem::kCaseTwin:
      return "case_twin";
    case Problem::kNotWritable:
      break;
  }
  return "not_writable";
}
