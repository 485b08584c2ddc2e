// wavescan's report for people: a line per wave and per part file, and the
// counts.
#include <cinttypes>
#include <cstdio>

#include "scan/report.h"
#include "scan/report_words.h"

namespace {

std::string Count(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

void Start(const char* /*version*/) {}

void Opened(const ContainerSummary& container) {
  std::printf("Scanning %s, %" PRIu64 " bytes\n", container.name.c_str(), container.size);
  for (const Problem problem : JudgeContainer(container)) {
    std::printf("  %s\n", ContainerMessage(problem, container).c_str());
  }
}

void Wave(const WaveFinding& wave) {
  std::string line;
  if (wave.chunksRead) line = ": " + DescribeWave(wave.chunks);
  switch (wave.extraction) {
    case Extraction::kNotAsked:
      break;
    case Extraction::kWritten:
      line += "; extracted to " + wave.partName;
      break;
    case Extraction::kKept:
      line += "; kept the existing " + wave.partName;
      break;
    case Extraction::kFailed:
      line += "; NOT extracted";
      break;
    case Extraction::kPassedOver:
      line += "; " + wave.why;
      break;
  }
  std::printf("  wave %08" PRIx64 " length %08" PRIx64 "%s\n", wave.offset, wave.length,
              line.c_str());
}

void Part(const PartFinding& part, const Judgement& judgement) {
  const std::string message = PartMessage(part, judgement);
  if (judgement.verdict == Verdict::kSkipped) {
    std::printf("  part %s: %s\n", part.name.c_str(), message.c_str());
  } else if (judgement.verdict == Verdict::kProblem && judgement.because == Problem::kRefused) {
    std::printf("  part %s offset %08x: %s\n", part.name.c_str(), part.offset, message.c_str());
  } else {
    const std::string format = part.own.wave ? " (" + DescribeWave(part.own) + ")" : "";
    std::printf("  part %s offset %08x length %08x%s: %s\n", part.name.c_str(), part.offset,
                part.length, format.c_str(), message.c_str());
  }
}

void Done(const ContainerSummary& container) {
  if (!container.opened) return;  // said on standard error
  std::printf("%s: %s, %s: %d fit, %d shorter, %d with a problem, %d skipped",
              container.name.c_str(), Count(container.waves, "wave").c_str(),
              Count(container.parts, "part file").c_str(), container.fit, container.shorter,
              container.problems, container.skipped);
  if (container.extract) std::printf(", %d extracted", container.extracted);
  if (container.failed > 0) std::printf(", %d failed", container.failed);
  std::printf("\n");
}

void Finish() {}

}  // namespace

const ScanReport kTextReport = {Start, Opened, Wave, Part, Done, Finish};
