#include "scan/problems.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "scan/words.h"
#include "waves/messages.h"
#include "waves/riff.h"

namespace {

// What other files begin with: bytes at a place, and for IFF the form at
// byte 8 too.
struct Magic {
  std::size_t at;
  std::string_view bytes;
  std::string_view form;
  const char* says;
};

constexpr Magic kMagics[] = {
    {0, "OggS", "", "it begins with OggS, as Ogg files do"},
    {0, "fLaC", "", "it begins with fLaC, as FLAC files do"},
    {0, "ID3", "", "it begins with ID3, as MP3 files do"},
    {0, "RIFX", "", "it begins with RIFX: big-endian RIFF, which is no WAVE file"},
    {0, "RF64", "", "it begins with RF64: 64-bit RIFF, which is no plain WAVE file"},
    {0, "FORM", "AIFF", "it begins with FORM and AIFF, as AIFF files do"},
    {0, "FORM", "AIFC", "it begins with FORM and AIFC, as AIFF-C files do"},
    // "riff" and the first 8 bytes of Wave64's GUID for it.
    {0, std::string_view("riff\x2e\x91\xcf\x11\xa5\xd6\x28\xdb", 12), "",
     "it begins with riff and Wave64's GUID, as Sony Wave64 (W64) files do"},
    {0, ".snd", "", "it begins with .snd, as Sun and NeXT audio (AU) files do"},
    {0, "caff", "", "it begins with caff, as Core Audio (CAF) files do"},
    {0, "wvpk", "", "it begins with wvpk, as WavPack files do"},
    {4, "ftyp", "", "it holds ftyp at byte 4, as MP4 and M4A files do"},
};

// What a file that is no wave seems to be, from its first bytes.
std::string LooksLike(const PartFinding& part) {
  const std::string& head = part.own.head;
  const auto holds = [&head](std::size_t at, std::string_view bytes) {
    return head.size() >= at + bytes.size() && head.compare(at, bytes.size(), bytes) == 0;
  };
  for (const Magic& magic : kMagics) {
    if (holds(magic.at, magic.bytes) && holds(8, magic.form)) return magic.says;
  }
  if (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xff &&
      (static_cast<unsigned char>(head[1]) & 0xe0) == 0xe0) {
    return "it begins with an MPEG frame sync, as MP3 files do";
  }
  if (head.size() < kRiffHeader && (!part.headerRead || part.length >= kRiffHeader)) {
    return "it holds " + Bytes(head.size()) + ", fewer than the 12 bytes of a wave's header";
  }
  if (part.length < kRiffHeader) {
    return "its wave length of " + Bytes(part.length) +
           " is less than the 12 bytes of a wave's header";
  }
  if (holds(0, "RIFF") && head.size() == kRiffHeader) {
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

std::string LeftUnmoved(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: not moved: " + part.moving.words;
}

std::string NotAWave(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: not a wave: " + LooksLike(part);
}

std::string Refused(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: wavesplice would refuse it: " + part.refused;
}

std::string Longer(const PartFinding& /*part*/, const Judgement& judgement) {
  std::string text = "PROBLEM: LONGER than the wave at that offset by " +
                     Bytes(judgement.longerBy) + ": splicing it would overwrite " +
                     Bytes(judgement.overwrites) + " after the wave" +
                     (judgement.lengthens > 0 ? " and " + Lengthens(judgement) : "");
  if (!judgement.wouldFitKnown) return text;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f s", judgement.wouldFitSeconds);
  text += "; with its other chunks as they are, " +
          (judgement.wouldFitBytes == 0
               ? std::string("no samples would fit")
               : Bytes(judgement.wouldFitBytes) + " of samples would fit (" + seconds + ")");
  if (judgement.lacking.empty()) return text;
  std::vector<std::string> chunks;
  for (const Chunk& chunk : judgement.lacking) {
    chunks.push_back(ChunkId(chunk.id) + " (" + Bytes(chunk.bytes) + ")");
  }
  return text + "; leaving out its " + Joined(chunks, ", ") +
         ", which the wave at that offset lacks, makes room";
}

std::string NoWave(const PartFinding& part, const Judgement& judgement) {
  return "PROBLEM: no wave starts at that offset" +
         (part.place.inside ? "; it falls inside the wave at " + Hex(part.place.waveOffset)
                            : std::string()) +
         (part.place.overruns
              ? "; splicing it would overwrite the start of the wave at " + Hex(part.place.nextWave)
              : std::string()) +
         (judgement.lengthens > 0 ? "; splicing it would " + Lengthens(judgement) : "");
}

std::string PastTheEnd(const PartFinding& /*part*/, const Judgement& judgement) {
  // A wave of length 0 writes nothing, even there.
  return "PROBLEM: past the container's end" +
         (judgement.lengthens > 0 ? ": splicing it would " + Lengthens(judgement) : "");
}

std::string NoFormat(const PartFinding& /*part*/, const Judgement& /*judgement*/) {
  return "PROBLEM: no fmt chunk it can read within its wave length (none, or one too short), "
         "so nothing says how to play it";
}

std::string FormatDiffers(const PartFinding& /*part*/, const Judgement& judgement) {
  std::vector<std::string> fields;
  for (const Difference& difference : judgement.differences) {
    fields.push_back(difference.part + ", not " + difference.wave);
  }
  return "PROBLEM: another format than the wave at that offset: " + Joined(fields, "; ");
}

std::string LoopPastEnd(const PartFinding& /*part*/, const Judgement& judgement) {
  const PastEnd& past = judgement.pastEnd;
  const std::string where =
      !past.cue        ? "its loop ends at sample " + std::to_string(past.last)
      : past.hasLength ? "its cue point at sample " + std::to_string(past.sample) +
                             " with a labelled length of " + std::to_string(past.length) +
                             " ends at sample " + std::to_string(past.last)
                       : "its cue point at sample " + std::to_string(past.sample) + " lies";
  return "PROBLEM: " + where + ", past its " + std::to_string(past.frames) +
         " samples: some programs stop with an error, others play no loop";
}

std::string SameOffset(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: " + Listed(part.sameOffset) + (part.sameOffset.count == 1 ? " is" : " are") +
         " taken for the same offset; wavesplice splices " + part.splicedLast +
         " last, and its wave is the one that stays";
}

std::string Overlaps(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: its bytes overlap those of " + Listed(part.overlaps);
}

std::string SameFile(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: it is the same file as " + part.sameFile +
         ", a container of this run: splicing it would copy that container's own first bytes "
         "here";
}

std::string CaseTwin(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: wavesplice splices it into " + part.caseTwin +
         " as well, whose name differs only in letter case";
}

std::string NotWritable(const PartFinding& part, const Judgement& /*judgement*/) {
  return "PROBLEM: wavesplice could not open the container for update: " + part.notWritable;
}

// The wave at the offset of a part not moved may be another sound now.
constexpr char kNotMoved[] = "it was not moved to where its wave went";

// In the order of Problem.
constexpr ProblemRow kRows[] = {
    {Problem::kNoOldWave, "no_old_wave", LeftUnmoved, kNotMoved, false},
    {Problem::kGone, "gone", LeftUnmoved, kNotMoved, false},
    {Problem::kAmbiguous, "ambiguous", LeftUnmoved, kNotMoved, false},
    {Problem::kTargetExists, "target_exists", LeftUnmoved, kNotMoved, false},
    {Problem::kBeyond32Bits, "beyond_32_bits", LeftUnmoved, kNotMoved, false},
    {Problem::kNotAWave, "not_a_wave", NotAWave, "it is not a wave", false},
    {Problem::kRefused, "refused", Refused, "wavesplice would refuse it", false},
    {Problem::kLonger, "longer", Longer, nullptr, true},
    {Problem::kNoWave, "no_wave", NoWave, "no wave starts at its offset", false},
    {Problem::kPastEnd, "past_end", PastTheEnd, "its offset is past the container's end", false},
    {Problem::kNoFormat, "no_format", NoFormat, "it has no fmt chunk to say what its sound is",
     false},
    {Problem::kFormatDiffers, "format_differs", FormatDiffers, nullptr, true},
    {Problem::kLoopPastEnd, "loop_past_end", LoopPastEnd, nullptr, true},
    {Problem::kSameOffset, "same_offset", SameOffset, "another part is taken for its offset",
     false},
    {Problem::kOverlaps, "overlaps", Overlaps, nullptr, false},
    {Problem::kSameFile, "same_file", SameFile, "it is a container of this run", false},
    {Problem::kCaseTwin, "case_twin", CaseTwin,
     "wavesplice would splice it into another container as well", false},
    {Problem::kNotWritable, "not_writable", NotWritable,
     "wavesplice could not open the container for update", false},
};
static_assert(std::size(kRows) == static_cast<std::size_t>(Problem::kNotWritable) + 1,
              "a row for each Problem");

}  // namespace

const ProblemRow& RowOf(Problem problem) { return kRows[static_cast<std::size_t>(problem)]; }

const char* VerdictKey(const Judgement& judgement) {
  switch (judgement.verdict) {
    case Verdict::kFits:
      return "fits";
    case Verdict::kShorter:
      return "shorter";
    case Verdict::kSkipped:
      return "skipped";
    case Verdict::kProblem:
      break;
  }
  return ProblemKey(judgement.because);
}

const char* ProblemKey(Problem problem) { return RowOf(problem).key; }

const char* NoteKey(Note note) {
  return note == Note::kLoopDropped ? "loop_dropped" : "layout_differs";
}
