#include "scan/report_words.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "scan/judge_loops.h"
#include "scan/wave_layout.h"
#include "waves/messages.h"
#include "waves/riff.h"

namespace {

std::string Bytes(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::string Seconds3(double seconds) {
  if (seconds < 0.0005) return "under 0.001 s";  // not nothing, as "0.000 s" would say
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}

std::string Joined(const std::vector<std::string>& items, const char* between) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : between) + item;
  return text;
}

// A chunk id as it can be printed: its bytes, quoted, '?' for the unprintable.
std::string ChunkId(const std::string& id) {
  std::string text = "'";
  for (const char c : id) text += c >= ' ' && c <= '~' ? c : '?';
  return text + "'";
}

// What a file that is no wave seems to be, from its first bytes.
std::string LooksLike(const PartFinding& part) {
  const std::string& head = part.own.head;
  const auto begins = [&head](const char* magic) { return head.rfind(magic, 0) == 0; };
  if (begins("OggS")) return "it begins with OggS, as Ogg files do";
  if (begins("fLaC")) return "it begins with fLaC, as FLAC files do";
  if (begins("ID3")) return "it begins with ID3, as MP3 files do";
  if (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xff &&
      (static_cast<unsigned char>(head[1]) & 0xe0) == 0xe0) {
    return "it begins with an MPEG frame sync, as MP3 files do";
  }
  if (begins("RIFX")) return "it begins with RIFX: big-endian RIFF, which is no WAVE file";
  if (begins("RF64")) return "it begins with RF64: 64-bit RIFF, which is no plain WAVE file";
  if (head.size() < kRiffHeader && (!part.headerRead || part.length >= kRiffHeader)) {
    return "it holds " + Bytes(head.size()) + ", fewer than the 12 bytes of a wave's header";
  }
  if (part.length < kRiffHeader) {
    return "its wave length of " + Bytes(part.length) +
           " is less than the 12 bytes of a wave's header";
  }
  if (begins("RIFF") && head.size() == kRiffHeader) {
    return "it is a RIFF file of form " + ChunkId(head.substr(8, 4)) + ", not WAVE";
  }
  std::string bytes;
  for (std::size_t i = 0; i < head.size() && i < 4; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(head[i]));
    bytes += (bytes.empty() ? "" : " ") + std::string(hex);
  }
  return "it begins with the bytes " + bytes;
}

// "a, b, c and 4 more": the first few names, and how many others.
std::string Listed(const Others& others) {
  constexpr std::size_t kNamed = 3;
  std::vector<std::string> names = others.names;
  names.resize(std::min(names.size(), kNamed));
  std::string text = Joined(names, ", ");
  if (others.count > names.size())
    text += " and " + std::to_string(others.count - names.size()) + " more";
  return text;
}

std::string Lengthens(const Judgement& judgement) {
  return "lengthen the container by " + Bytes(judgement.lengthens);
}

std::string Longer(const Judgement& judgement) {
  std::string text = "PROBLEM: LONGER than the wave at that offset by " +
                     Bytes(judgement.longerBy) + ": splicing it would overwrite " +
                     Bytes(judgement.overwrites) + " after the wave" +
                     (judgement.lengthens > 0 ? " and " + Lengthens(judgement) : "");
  if (!judgement.fitKnown) return text;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f s", judgement.fitSeconds);
  text += "; with its other chunks as they are, " +
          (judgement.fitBytes == 0
               ? std::string("no samples would fit")
               : Bytes(judgement.fitBytes) + " of samples would fit (" + seconds + ")");
  if (judgement.lacking.empty()) return text;
  std::vector<std::string> chunks;
  for (const Chunk& chunk : judgement.lacking) {
    chunks.push_back(ChunkId(chunk.id) + " (" + Bytes(chunk.bytes) + ")");
  }
  return text + "; leaving out its " + Joined(chunks, ", ") +
         ", which the wave at that offset lacks, makes room";
}

std::string LoopPastEnd(const PastEnd& past) {
  const std::string where =
      !past.cue        ? "its loop ends at sample " + std::to_string(past.last)
      : past.hasLength ? "its cue point at sample " + std::to_string(past.sample) +
                             " with a labelled length of " + std::to_string(past.length) +
                             " ends at sample " + std::to_string(past.last)
                       : "its cue point at sample " + std::to_string(past.sample) + " lies";
  return "PROBLEM: " + where + ", past its " + std::to_string(past.frames) +
         " samples: some programs stop with an error, others play no loop";
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

std::string Words(Problem problem, const PartFinding& part, const Judgement& judgement) {
  switch (problem) {
    case Problem::kNoOldWave:
    case Problem::kGone:
    case Problem::kAmbiguous:
    case Problem::kTargetExists:
    case Problem::kBeyond32Bits:
      return "PROBLEM: not moved: " + part.moving.words;
    case Problem::kLonger:
      return Longer(judgement);
    case Problem::kNoWave:
      return "PROBLEM: no wave starts at that offset" +
             (part.place.inside ? "; it falls inside the wave at " + Hex(part.place.waveOffset)
                                : std::string()) +
             (part.place.overruns ? "; splicing it would overwrite the start of the wave at " +
                                        Hex(part.place.nextWave)
                                  : std::string()) +
             (judgement.lengthens > 0 ? "; splicing it would " + Lengthens(judgement) : "");
    case Problem::kPastEnd:
      // A wave of length 0 writes nothing, even there.
      return "PROBLEM: past the container's end" +
             (judgement.lengthens > 0 ? ": splicing it would " + Lengthens(judgement) : "");
    case Problem::kRefused:
      return "PROBLEM: wavesplice would refuse it: " + part.refused;
    case Problem::kNotAWave:
      return "PROBLEM: not a wave: " + LooksLike(part);
    case Problem::kNoFormat:
      return "PROBLEM: no fmt chunk it can read within its wave length (none, or one too short), "
             "so nothing says how to play it";
    case Problem::kFormatDiffers: {
      std::vector<std::string> fields;
      for (const Difference& difference : judgement.differences) {
        fields.push_back(difference.part + ", not " + difference.wave);
      }
      return "PROBLEM: another format than the wave at that offset: " + Joined(fields, "; ");
    }
    case Problem::kLoopPastEnd:
      return LoopPastEnd(judgement.pastEnd);
    case Problem::kSameOffset:
      return "PROBLEM: " + Listed(part.sameOffset) + (part.sameOffset.count == 1 ? " is" : " are") +
             " taken for the same offset; wavesplice splices " + part.splicedLast +
             " last, and its wave is the one that stays";
    case Problem::kOverlaps:
      return "PROBLEM: its bytes overlap those of " + Listed(part.overlaps);
    case Problem::kSameFile:
      return "PROBLEM: it is the same file as " + part.sameFile +
             ", a container of this run: splicing it would copy that container's own first "
             "bytes here";
    case Problem::kCaseTwin:
      return "PROBLEM: wavesplice splices it into " + part.caseTwin +
             " as well, whose name differs only in letter case";
    case Problem::kNotWritable:
      break;
  }
  return "PROBLEM: wavesplice could not open the container for update: " + part.notWritable;
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
    sentences.push_back(Words(problem, part, judgement));
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
  // What fitting mended, or the run mended around it, needs no word.
  const bool left = fitting.asked && (!judgement.problems.empty() || !judgement.notes.empty());
  return left ? said + "; not fitted: " + fitting.notFitted : said;
}

std::string ContainerMessage(Problem problem, const ContainerSummary& container) {
  if (problem == Problem::kSameFile) {
    return "PROBLEM: it is the same file as " + Joined(container.sameFile, ", ") +
           ", matched in this run too: wavesplice would splice the parts of each name into it, "
           "the later over the earlier";
  }
  return "PROBLEM: wavesplice could not open it for update: " + container.notWritable;
}
