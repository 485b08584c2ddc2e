// What wavescan finds in one container, as plain records: judged by
// judge.h, said in words by report_words.h and problems.h, and printed as
// text or JSON through report.h, so that nothing is worked out twice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/chunks.h"
#include "scan/extract.h"
#include "scan/place_parts.h"
#include "waves/part_name.h"

// A wave found in the container.
struct WaveFinding {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  bool chunksRead = false;  // false when its chunks could not be read
  WaveChunks chunks;
  // What --extract made of it: the part file it was written to or that was
  // kept; or why writing it failed (said on standard error too), or why it
  // is passed over, with or without --extract.
  Extraction extraction = Extraction::kNotAsked;
  std::string partName;
  std::string why;
};

// Other files a part meets: how many, and the names of the first few by
// offset.
struct Others {
  std::size_t count = 0;
  std::vector<std::string> names;
};

// What --fit made of a part: fitted, in the wave's format, the user's file
// kept beside it; or why not.
struct Fitting {
  bool toMend = false;  // --fit was given, and it had a problem or a note to mend
  bool done = false;
  std::string notFitted;  // why not, when asked and not done
  std::string keptAs;     // the name the user's file is kept under
  WaveFormat from;        // its format before, and the wave's it took
  WaveFormat to;
  bool dithered = false;
  std::uint64_t clippedSamples = 0;
  std::uint64_t invalidSamples = 0;  // NaN or infinity in its sound, taken as silence
  double cutSeconds = 0;
  double paddedSeconds = 0;
  // What it was fitted for beside its sound: loops past its samples or
  // dropped, a header laid out otherwise; and whether the wave loops.
  bool loops = false;
  bool header = false;
  bool waveLoops = false;
  std::vector<std::string> keptChunks;  // the ids of the wave's chunks it took, "data" aside
};

// Why --moved-from left a part under its name: no wave at its offset in
// the old version; its wave is not in the new one; identical waves that
// the versions hold in different numbers; its new name taken; or its wave
// now beyond what a part file's name can say.
enum class NotMoved { kNo, kNoOldWave, kGone, kAmbiguous, kTargetExists, kBeyond32Bits };

// What --moved-from made of a part: moved here from another name, or not
// moved, and in what words.
struct Moving {
  std::string from;  // its name before, when it moved
  NotMoved why = NotMoved::kNo;
  std::string words;
};

// A part file as wavesplice would take it, and what lies around it.
struct PartFinding {
  std::string name;
  std::size_t nameLength = 0;  // the length of its container's part-file names
  PartName taken = PartName::kPart;
  std::uint32_t offset = 0;
  bool opened = false;  // its first bytes were read: own.head holds them
  bool headerRead = false;
  std::uint32_t length = 0;  // its wave length, once the header was read
  std::string refused;       // why wavesplice would refuse it, when it would
  WaveChunks own;            // its own chunks, as far as the file holds them

  Place place;      // among the waves
  WaveChunks wave;  // the chunks of the wave that starts at its offset

  // Where wavesplice would meet other files.
  Others sameOffset;        // other parts taken for its offset
  std::string splicedLast;  // of those and itself, the one that stays
  Others overlaps;          // other parts whose bytes it would overlap
  std::string sameFile;     // a container of the run that is this very file
  std::string caseTwin;     // a container named as its own but for case
  std::string notWritable;  // why the container cannot be opened for update

  Fitting fitting;
  Moving moving;
};

// One container's tally, and whether it could be read whole.
struct ContainerSummary {
  std::string name;
  bool opened = false;
  std::uint64_t size = 0;
  bool read = true;
  std::string error;  // why it could not be read whole, or its parts not searched for
  // What wavesplice would meet in it: other names of this file among the
  // run's containers, and why it could not open it for update.
  std::vector<std::string> sameFile;
  std::string notWritable;
  std::size_t waves = 0;
  std::size_t parts = 0;
  int fits = 0;  // parts whose verdict is that they fit
  int shorter = 0;
  int problems = 0;
  int skipped = 0;
  int extracted = 0;
  int failed = 0;  // extractions that could not be written whole
  int fitted = 0;
  bool fitAsked = false;  // --fit was given
  // --moved-from: whether it was given, the parts moved, why none could be
  // (the old version could not be read), and what a run stopped half-way
  // had left, when anything.
  bool moveAsked = false;
  int moved = 0;
  std::string notMoved;
  std::string recovered;
  bool extract = false;
};
