// wavescan's judgement of a part file, from its finding alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/findings.h"

// What is said of the part as a whole: it fits, it is shorter (both fine),
// wavesplice skips it, or a problem is the word for it (Judgement::because).
enum class Verdict { kFits, kShorter, kSkipped, kProblem };

// What would make the splice break the program that plays the container,
// in the order they are said: what the part is comes first.
enum class Problem {
  kNoOldWave,  // --moved-from left it where it was (NotMoved)
  kGone,
  kAmbiguous,
  kTargetExists,
  kBeyond32Bits,
  kNotAWave,
  kRefused,
  kLonger,
  kNoWave,
  kPastEnd,
  kNoFormat,
  kFormatDiffers,
  kLoopPastEnd,
  kSameOffset,
  kOverlaps,
  kSameFile,
  kCaseTwin,
  kNotWritable,
};

// What is said of a part beside its verdict, which it leaves as it is, as
// it does the exit status: what the program that plays the wave may meet.
enum class Note { kLoopDropped, kLayoutDiffers };

// For kLoopPastEnd: the first of the part's loops, then cue points, that
// reaches past its samples.
struct PastEnd {
  bool cue = false;          // a cue point, else a smpl loop
  bool hasLength = false;    // a cue point's labelled length, when it has one
  std::uint64_t sample = 0;  // the cue point's frame
  std::uint64_t length = 0;
  std::uint64_t last = 0;    // the last frame it reaches
  std::uint64_t frames = 0;  // the part's
};

struct Judgement {
  Verdict verdict = Verdict::kSkipped;
  // For kProblem, the one that says what the part is: not a wave, refused,
  // or how its length meets the wave (longer, no wave, past the end).
  Problem because = Problem::kLonger;
  std::vector<Problem> problems;  // in the order above
  std::vector<Note> notes;        // in the order above
  PastEnd pastEnd;
  std::uint64_t shorterBy = 0;
  std::uint64_t longerBy = 0;
  std::uint64_t overwrites = 0;  // bytes after the wave it would overwrite
  std::uint64_t lengthens = 0;   // bytes it would add to the container
  std::vector<Difference> differences;
  // For a longer part with a format and data: the bytes of samples that
  // would fit in the wave's length with its other chunks as they are,
  // whole blocks only, how long they play, and the part's chunks that the
  // wave lacks.
  bool wouldFitKnown = false;
  std::uint64_t wouldFitBytes = 0;
  double wouldFitSeconds = 0;
  std::vector<Chunk> lacking;
};

Judgement Judge(const PartFinding& part, std::uint64_t containerSize);

// What wavesplice would meet in the container itself, whatever its parts:
// kSameFile, kNotWritable.
std::vector<Problem> JudgeContainer(const ContainerSummary& container);
