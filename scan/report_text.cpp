// wavescan's report for people: a line per wave and per part file, and the
// counts.
#include <string>

#include "platform/output.h"
#include "scan/report.h"
#include "scan/report_words.h"
#include "waves/messages.h"

namespace {

std::string Count(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

void Start(ReportPlace* /*place*/, const char* /*version*/) {}

void Moved(ReportPlace* /*place*/, const std::string& line) { Print(Stream::kOutput, line + "\n"); }

void Opened(ReportPlace* /*place*/, const ContainerSummary& container) {
  Print(Stream::kOutput,
        "Scanning " + Shown(container.name) + ", " + std::to_string(container.size) + " bytes\n");
  for (const Problem problem : JudgeContainer(container)) {
    Print(Stream::kOutput, "  " + Shown(ContainerMessage(problem, container)) + "\n");
  }
}

void Wave(ReportPlace* /*place*/, const WaveFinding& wave) {
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
  Print(Stream::kOutput,
        "  wave " + Hex(wave.offset) + " length " + Hex(wave.length) + Shown(line) + "\n");
}

void Part(ReportPlace* /*place*/, const PartFinding& part, const Judgement& judgement) {
  const bool refused =
      judgement.verdict == Verdict::kProblem && judgement.because == Problem::kRefused;
  std::string where;
  // Its length as far as its header was read, as the JSON gives it.
  if (refused) {
    where = " offset " + Hex(part.offset) + (part.headerRead ? " length " + Hex(part.length) : "");
  }
  if (judgement.verdict != Verdict::kSkipped && !refused) {
    where = " offset " + Hex(part.offset) + " length " + Hex(part.length) +
            (part.own.wave ? " (" + DescribeWave(part.own) + ")" : "");
  }
  // The words name other files too (the parts it overlaps, its kept copy),
  // and may quote a chunk id: each is shown as the part's own name is.
  Print(Stream::kOutput,
        "  part " + Shown(part.name) + where + ": " + Shown(PartMessage(part, judgement)) + "\n");
}

void Done(ReportPlace* /*place*/, const ContainerSummary& container) {
  if (!container.opened) return;  // said on standard error
  Print(Stream::kOutput,
        Shown(container.name) + ": " + Count(container.waves, "wave") + ", " +
            Count(container.parts, "part file") + ": " + std::to_string(container.fits) + " fit, " +
            std::to_string(container.shorter) + " shorter, " + std::to_string(container.problems) +
            " with a problem, " + std::to_string(container.skipped) + " skipped" +
            (container.extract ? ", " + std::to_string(container.extracted) + " extracted" : "") +
            (container.failed > 0 ? ", " + std::to_string(container.failed) + " failed" : "") +
            (container.fitAsked ? ", " + std::to_string(container.fitted) + " fitted" : "") +
            (container.moveAsked ? ", " + std::to_string(container.moved) + " moved" : "") + "\n");
}

void Finish(ReportPlace* /*place*/, const std::string& /*unlisted*/) {}  // said on standard error

}  // namespace

const ScanReport kTextReport = {Start, Moved, Opened, Wave, Part, Done, Finish, {}};
