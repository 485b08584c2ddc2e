#include "scan/judge.h"

#include <algorithm>

#include "scan/judge_loops.h"
#include "waves/riff.h"

namespace {

// What of the part's samples would fit in the wave's length.
void WouldFit(const PartFinding& part, Judgement* judgement) {
  const WaveChunks& own = part.own;
  if (!own.wave || !own.hasFormat || !own.hasData) return;
  const std::uint64_t rest = part.length - own.dataBytes;  // all but the samples
  const std::uint64_t block = std::max<std::uint64_t>(own.format.blockAlign, 1);
  judgement->wouldFitKnown = true;
  judgement->wouldFitBytes =
      part.place.waveLength > rest ? (part.place.waveLength - rest) / block * block : 0;
  judgement->wouldFitSeconds =
      own.format.byteRate == 0
          ? 0
          : static_cast<double>(judgement->wouldFitBytes) / own.format.byteRate;
  for (const Chunk& chunk : own.others) {
    const bool waveHasIt =
        std::any_of(part.wave.others.begin(), part.wave.others.end(),
                    [&chunk](const Chunk& other) { return other.id == chunk.id; });
    if (!waveHasIt) judgement->lacking.push_back(chunk);
  }
}

// How the part's length meets the wave at its offset, and the container.
void JudgeLength(const PartFinding& part, std::uint64_t containerSize, Judgement* judgement) {
  const std::uint64_t end = std::uint64_t{part.offset} + part.length;
  judgement->lengthens = end > containerSize ? end - containerSize : 0;
  if (part.place.waveStarts && part.length <= part.place.waveLength) {
    judgement->verdict = part.length == part.place.waveLength ? Verdict::kFits : Verdict::kShorter;
    judgement->shorterBy = part.place.waveLength - part.length;
  } else if (part.place.waveStarts) {
    judgement->verdict = Verdict::kProblem;
    judgement->because = Problem::kLonger;
    judgement->longerBy = part.length - part.place.waveLength;
    // What lies between the wave's end and the container's; the rest of
    // the part lengthens the container.
    judgement->overwrites =
        std::min(judgement->longerBy, containerSize - (part.offset + part.place.waveLength));
    WouldFit(part, judgement);
  } else {
    judgement->verdict = Verdict::kProblem;
    judgement->because = part.offset >= containerSize ? Problem::kPastEnd : Problem::kNoWave;
  }
}

// Each NotMoved but kNo, in the order of both enums.
Problem NotMovedProblem(NotMoved why) {
  return static_cast<Problem>(static_cast<int>(Problem::kNoOldWave) + static_cast<int>(why) - 1);
}

}  // namespace

Judgement Judge(const PartFinding& part, std::uint64_t containerSize) {
  Judgement judgement;
  if (part.taken != PartName::kPart) return judgement;
  std::vector<Problem>& problems = judgement.problems;
  if (part.moving.why != NotMoved::kNo) problems.push_back(NotMovedProblem(part.moving.why));
  // What the part is comes first, whatever wavesplice makes of it. A wave
  // length under a header's 12 bytes makes wavesplice write a broken
  // header, or nothing, over the wave.
  const bool notAWave =
      part.opened && (!part.own.wave || (part.headerRead && part.length < kRiffHeader));
  if (notAWave) problems.push_back(Problem::kNotAWave);
  if (!part.refused.empty()) {
    judgement.verdict = Verdict::kProblem;
    judgement.because = Problem::kRefused;
    problems.push_back(Problem::kRefused);
    // Refused or not, a part that is its own container is said to be.
    if (!part.sameFile.empty()) problems.push_back(Problem::kSameFile);
    return judgement;
  }
  JudgeLength(part, containerSize, &judgement);
  if (judgement.verdict == Verdict::kProblem) problems.push_back(judgement.because);
  // Bytes that are no wave are never fine, however well their length fits.
  if (notAWave) {
    judgement.verdict = Verdict::kProblem;
    judgement.because = Problem::kNotAWave;
  }

  if (!notAWave && !part.own.hasFormat) {
    // A part no worse than the wave it replaces, which has none either, is
    // left to the program as that wave is.
    if (!part.place.waveStarts || part.wave.hasFormat) problems.push_back(Problem::kNoFormat);
  } else if (!notAWave && part.place.waveStarts && part.wave.hasFormat) {
    judgement.differences = FormatDifferences(part.own.format, part.wave.format);
    if (!judgement.differences.empty()) problems.push_back(Problem::kFormatDiffers);
  }
  if (!notAWave && part.own.wave) JudgeLoops(part, &judgement);
  if (part.sameOffset.count > 0) problems.push_back(Problem::kSameOffset);
  if (part.overlaps.count > 0) problems.push_back(Problem::kOverlaps);
  if (!part.sameFile.empty()) problems.push_back(Problem::kSameFile);
  if (!part.caseTwin.empty()) problems.push_back(Problem::kCaseTwin);
  if (!part.notWritable.empty()) problems.push_back(Problem::kNotWritable);
  return judgement;
}

std::vector<Problem> JudgeContainer(const ContainerSummary& container) {
  std::vector<Problem> problems;
  if (!container.sameFile.empty()) problems.push_back(Problem::kSameFile);
  if (!container.notWritable.empty()) problems.push_back(Problem::kNotWritable);
  return problems;
}
