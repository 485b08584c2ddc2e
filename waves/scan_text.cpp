// wavescan's report for people: a line per wave and per part file, and the
// counts.
#include <string>

#include "platform/output.h"
#include "waves/report.h"
#include "waves/scan_report.h"
#include "waves/scan_words.h"

namespace {

std::string Count(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

void Start(const char* /*version*/) {}

void Opened(const ContainerSummary& container) {
  Print(Stream::kOutput,
        "Scanning " + container.name + ", " + std::to_string(container.size) + " bytes\n");
}

void Wave(const WaveFinding& wave) {
  std::string line;
  if (wave.chunksRead) line = ": " + DescribeWave(wave.chunks);
  switch (wave.extraction) {
    case WaveFinding::Extraction::kNotAsked:
      break;
    case WaveFinding::Extraction::kWritten:
      line += "; extracted to " + wave.partName;
      break;
    case WaveFinding::Extraction::kKept:
      line += "; kept the existing " + wave.partName;
      break;
    case WaveFinding::Extraction::kFailed:
      line += "; NOT extracted";
      break;
    case WaveFinding::Extraction::kPassedOver:
      line += "; " + wave.why;
      break;
  }
  Print(Stream::kOutput,
        "  wave " + Hex8(wave.offset) + " length " + Hex8(wave.length) + line + "\n");
}

void Part(const PartFinding& part, const Judgement& judgement) {
  std::string where;
  if (judgement.verdict == Verdict::kRefused) where = " offset " + Hex8(part.offset);
  if (judgement.verdict != Verdict::kSkipped && judgement.verdict != Verdict::kRefused) {
    where = " offset " + Hex8(part.offset) + " length " + Hex8(part.length) +
            (part.own.wave ? " (" + DescribeWave(part.own) + ")" : "");
  }
  Print(Stream::kOutput,
        "  part " + part.name + where + ": " + PartMessage(part, judgement) + "\n");
}

void Done(const ContainerSummary& container) {
  if (!container.opened) return;  // said on standard error
  Print(Stream::kOutput,
        container.name + ": " + Count(container.waves, "wave") + ", " +
            Count(container.parts, "part file") + ": " + std::to_string(container.fit) + " fit, " +
            std::to_string(container.shorter) + " shorter, " + std::to_string(container.problems) +
            " with a problem, " + std::to_string(container.skipped) + " skipped" +
            (container.extract ? ", " + std::to_string(container.extracted) + " extracted" : "") +
            "\n");
}

void Finish() {}

}  // namespace

const ScanReport kTextReport = {Start, Opened, Wave, Part, Done, Finish};
