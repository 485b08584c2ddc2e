#include "scan/report_words.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "scan/judge_loops.h"
#include "scan/problems.h"
#include "scan/words.h"
#include "sound/format_layout.h"
#include "waves/messages.h"
#include "waves/riff.h"

namespace {

std::string Seconds3(double seconds) {
  if (seconds < 0.0005) return "under 0.001 s";  // not nothing, as "0.000 s" would say
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}

// "fmt (18 bytes), LIST, data": a header's chunks, fmt's with its size.
std::string Layout(const std::vector<ChunkSize>& header) {
  std::vector<std::string> chunks;
  for (const ChunkSize& chunk : header) {
    std::string id = ChunkId(chunk.id).substr(1, chunk.id.size());  // unquoted
    while (!id.empty() && id.back() == ' ') id.pop_back();          // "fmt ", "cue "
    chunks.push_back(chunk.id == "fmt " ? id + " (" + Bytes(chunk.size) + ")" : id);
  }
  return Joined(chunks, ", ");
}

std::string NoteWords(Note note, const PartFinding& part) {
  if (note == Note::kLayoutDiffers) {
    return "NOTE: its header differs from the wave's: " + Layout(HeaderOf(part.own)) +
           " where the wave has " + Layout(HeaderOf(part.wave)) +
           ": a program that reads the wave's header as it was may misread it";
  }
  const bool smpl = !part.wave.loops.empty();
  const bool cue = !part.wave.cues.empty();
  return std::string("NOTE: the wave at that offset loops (") +
         (smpl && cue ? "smpl and cue"
          : smpl      ? "smpl"
                      : "cue") +
         ") and this part does not: a program that loops it will play it once, or loop all of it";
}

// What the check says of the part, before --fit adds what it did.
std::string CheckWords(const PartFinding& part, const Judgement& judgement) {
  if (judgement.verdict == Verdict::kSkipped) {
    return "skipped, as wavesplice skips it: " +
           (part.taken == PartName::kNoOffset
                ? std::string("no offset before the extension")
                : "its name has " + std::to_string(part.name.size()) + " bytes, not the " +
                      std::to_string(part.nameLength) + " of a part file");
  }
  std::string fine;
  if (judgement.verdict == Verdict::kFits) fine = "fits";
  if (judgement.verdict == Verdict::kShorter) {
    fine = "shorter than the wave at that offset by " + Bytes(judgement.shorterBy) +
           "; fine: the rest of the old wave stays behind it";
  }
  std::vector<std::string> sentences;
  for (const Problem problem : judgement.problems) {
    sentences.push_back(RowOf(problem).words(part, judgement));
  }
  if (!sentences.empty() && !fine.empty()) sentences.push_back("Its length: " + fine);
  if (sentences.empty()) sentences.push_back(fine);
  for (const Note note : judgement.notes) sentences.push_back(NoteWords(note, part));
  return Joined(sentences, ". ");
}

// "44100 -> 22050 Hz, 2 -> 1 channels, cut 0.840 s with a fade-out; yours is
// kept as NAME.orig": what fitting changed.
std::string FitWords(const Fitting& fitting) {
  const WaveFormat& from = fitting.from;
  const WaveFormat& to = fitting.to;
  const bool coded = IsCoded(from) || IsCoded(to);
  std::vector<std::string> done;
  if (FormatName(from) != FormatName(to) && !coded)
    done.push_back(FormatName(from) + " -> " + FormatName(to));
  if (from.sampleRate != to.sampleRate) {
    done.push_back(std::to_string(from.sampleRate) + " -> " + std::to_string(to.sampleRate) +
                   " Hz");
  }
  if (from.channels != to.channels) {
    done.push_back(std::to_string(from.channels) + " -> " + std::to_string(to.channels) +
                   " channels");
  }
  // A codec stands for its bits: "16 bits -> IMA ADPCM".
  const auto bits = [coded](const WaveFormat& format) {
    return IsCoded(format) ? FormatName(format)
                           : std::to_string(SignificantBits(format)) + (coded ? " bits" : "");
  };
  if (bits(from) != bits(to) || fitting.dithered) {
    done.push_back(bits(from) + " -> " + bits(to) + (coded ? "" : " bits") +
                   (fitting.dithered ? " (dithered)" : ""));
  }
  if (fitting.clippedSamples > 0) {
    done.push_back(std::to_string(fitting.clippedSamples) + " samples clipped");
  }
  if (fitting.invalidSamples > 0) {
    done.push_back(std::to_string(fitting.invalidSamples) +
                   " samples not numbers (NaN or infinity) taken as silence");
  }
  if (fitting.cutSeconds > 0)
    done.push_back("cut " + Seconds3(fitting.cutSeconds) + " with a fade-out");
  if (fitting.paddedSeconds > 0) {
    done.push_back("padded " + Seconds3(fitting.paddedSeconds) + " with silence");
  }
  std::vector<std::string> kept;
  if (fitting.loops && fitting.waveLoops) kept.push_back("loop");
  if (fitting.header) kept.push_back("header");
  if (!kept.empty()) done.push_back("kept the wave's " + Joined(kept, " and "));
  if (fitting.loops && !fitting.waveLoops) done.push_back("dropped its loop, as the wave has none");
  if (done.empty()) done.push_back("its chunks as the wave's");
  return Joined(done, ", ") + "; yours is kept as " + fitting.keptAs;
}

}  // namespace

std::string PartMessage(const PartFinding& part, const Judgement& judgement) {
  const std::string said = CheckWords(part, judgement);
  const Fitting& fitting = part.fitting;
  if (fitting.done) return said + "; fitted: " + FitWords(fitting);
  return SaysNotFitted(part, judgement) ? said + "; not fitted: " + fitting.notFitted : said;
}

bool SaysNotFitted(const PartFinding& part, const Judgement& judgement) {
  // What fitting mended, or the run mended around it, needs no word.
  return part.fitting.toMend && !part.fitting.done &&
         (!judgement.problems.empty() || !judgement.notes.empty());
}

std::string ContainerMessage(Problem problem, const ContainerSummary& container) {
  if (problem == Problem::kSameFile) {
    return "PROBLEM: it is the same file as " + Joined(container.sameFile, ", ") +
           ", matched in this run too: wavesplice would splice the parts of each name into it, "
           "the later over the earlier";
  }
  return "PROBLEM: wavesplice could not open it for update: " + container.notWritable;
}
