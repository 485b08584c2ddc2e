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
  kNotAWave,
  kRefused,
  kLonger,
  kNoWave,
  kPastEnd,
  kNoFormat,
  kFormatDiffers,
  kSameOffset,
  kOverlaps,
  kSameFile,
  kCaseTwin,
  kNotWritable,
};

// A field of the part's format that differs from the wave's, both values
// in words: {"2 channels", "1"}.
struct Difference {
  std::string part;
  std::string wave;
};

struct Judgement {
  Verdict verdict = Verdict::kSkipped;
  // For kProblem, the one that says what the part is: not a wave, refused,
  // or how its length meets the wave (longer, no wave, past the end).
  Problem because = Problem::kLonger;
  std::vector<Problem> problems;  // in the order above
  std::uint64_t shorterBy = 0;
  std::uint64_t longerBy = 0;
  std::uint64_t overwrites = 0;  // bytes after the wave it would overwrite
  std::uint64_t lengthens = 0;   // bytes it would add to the container
  std::vector<Difference> differences;
  // For a longer part with a format and data: the bytes of samples that
  // would fit in the wave's length with its other chunks as they are,
  // whole blocks only, how long they play, and the part's chunks that the
  // wave lacks.
  bool fitKnown = false;
  std::uint64_t fitBytes = 0;
  double fitSeconds = 0;
  std::vector<Chunk> lacking;
};

Judgement Judge(const PartFinding& part, std::uint64_t containerSize);

// What wavesplice would meet in the container itself, whatever its parts:
// kSameFile, kNotWritable.
std::vector<Problem> JudgeContainer(const ContainerSummary& container);

// "fits", "longer", "not_a_wave", ...: the names scripts read.
const char* VerdictKey(const Judgement& judgement);
const char* ProblemKey(Problem problem);
