#include "scan/judge.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "scan/problems.h"

namespace {

const char kPcmGuid[] = "{00000001-0000-0010-8000-00AA00389B71}";
const char kFloatGuid[] = "{00000003-0000-0010-8000-00AA00389B71}";

WaveChunks Pcm(std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
               std::uint64_t dataBytes) {
  WaveChunks chunks;
  chunks.head = "RIFF....WAVE";
  chunks.wave = chunks.hasFormat = chunks.hasData = chunks.format.hasBits = true;
  chunks.format = {
      1, channels, rate, rate * channels * bits / 8, channels * bits / 8, true, bits, 0, "", false,
      0, false,    {}};
  chunks.dataBytes = dataBytes;
  return chunks;
}

// A part of 100 bytes at 0x40, mono 8-bit 8000 Hz PCM, over a wave as long
// and in the same format, in a container of 1000 bytes.
PartFinding Fitting() {
  PartFinding part;
  part.name = "c.dat_00000040.wav";
  part.offset = 0x40;
  part.opened = part.headerRead = true;
  part.length = part.place.waveLength = 100;
  part.own = part.wave = Pcm(1, 8000, 8, 56);
  part.place.waveStarts = true;
  part.place.waveOffset = 0x40;
  return part;
}

using P = Problem;

TEST(Judge, GivesEachVerdictAndProblemFromTheFindingAlone) {
  const struct {
    const char* what;
    std::function<void(PartFinding&)> change;
    const char* verdict;  // as scripts read it
    std::vector<Problem> problems;
  } cases[] = {
      {"fits", [](PartFinding&) {}, "fits", {}},
      {"shorter", [](PartFinding& p) { p.length = 80; }, "shorter", {}},
      {"longer", [](PartFinding& p) { p.length = 120; }, "longer", {P::kLonger}},
      {"inside a wave",
       [](PartFinding& p) { p.place.waveStarts = false, p.place.inside = true; },
       "no_wave",
       {P::kNoWave}},
      {"past the end",
       [](PartFinding& p) { p.place.waveStarts = false, p.offset = 1000; },
       "past_end",
       {P::kPastEnd}},
      {"refused", [](PartFinding& p) { p.refused = "holds 8 bytes"; }, "refused", {P::kRefused}},
      {"skipped", [](PartFinding& p) { p.taken = PartName::kWrongLength; }, "skipped", {}},
      {"an Ogg file",
       [](PartFinding& p) { p.own = WaveChunks(), p.own.head = "OggS"; },
       "not_a_wave",
       {P::kNotAWave}},
      {"an MP3 file, shorter",
       [](PartFinding& p) { p.own = WaveChunks(), p.length = 20; },
       "not_a_wave",
       {P::kNotAWave}},
      {"a RIFF file, longer",
       [](PartFinding& p) { p.own.wave = false, p.length = 120; },
       "not_a_wave",
       {P::kNotAWave, P::kLonger}},
      {"a wave length under a header's",
       [](PartFinding& p) { p.length = 11; },
       "not_a_wave",
       {P::kNotAWave}},
      {"a FLAC file wavesplice refuses",
       [](PartFinding& p) { p.own = WaveChunks(), p.refused = "holds 8 bytes"; },
       "refused",
       {P::kNotAWave, P::kRefused}},
      {"a file that could not be opened",
       [](PartFinding& p) {
         p.opened = p.headerRead = false, p.own = WaveChunks(), p.refused = "cannot open";
       },
       "refused",
       {P::kRefused}},
      {"no fmt chunk", [](PartFinding& p) { p.own.hasFormat = false; }, "fits", {P::kNoFormat}},
      {"no fmt chunk, as the wave",
       [](PartFinding& p) { p.own.hasFormat = p.wave.hasFormat = false; },
       "fits",
       {}},
      {"stereo 44.1 kHz",
       [](PartFinding& p) { p.own = Pcm(2, 44100, 8, 56); },
       "fits",
       {P::kFormatDiffers}},
      {"twice the byte rate",
       [](PartFinding& p) { p.own.format.byteRate *= 2; },
       "fits",
       {P::kFormatDiffers}},
      {"a chunk the wave lacks",
       [](PartFinding& p) {
         p.own.others = {{"LIST", 26}};
       },
       "fits",
       {}},
      {"extensible, PCM",
       [](PartFinding& p) { p.own.format.tag = kExtensible, p.own.format.subFormat = kPcmGuid; },
       "fits",
       {}},
      {"extensible, float over extensible PCM",
       [](PartFinding& p) {
         p.own.format.tag = p.wave.format.tag = kExtensible;
         p.own.format.subFormat = kFloatGuid;
         p.wave.format.subFormat = kPcmGuid;
       },
       "fits",
       {P::kFormatDiffers}},
      {"same offset",
       [](PartFinding& p) {
         p.sameOffset = {1, {"C.DAT_00000040.WAV"}};
       },
       "fits",
       {P::kSameOffset}},
      {"overlapping",
       [](PartFinding& p) {
         p.overlaps = {1, {"c.dat_00000050.wav"}};
       },
       "fits",
       {P::kOverlaps}},
      {"the container itself",
       [](PartFinding& p) { p.sameFile = "c.dat"; },
       "fits",
       {P::kSameFile}},
      {"a case twin", [](PartFinding& p) { p.caseTwin = "C.dat"; }, "fits", {P::kCaseTwin}},
      {"not writable",
       [](PartFinding& p) { p.notWritable = "Permission denied"; },
       "fits",
       {P::kNotWritable}},
      {"longer, and 16-bit",
       [](PartFinding& p) {
         p.length = 120;
         p.own = Pcm(1, 8000, 16, 76);
       },
       "longer",
       {P::kLonger, P::kFormatDiffers}},
  };
  for (const auto& c : cases) {
    PartFinding part = Fitting();
    c.change(part);
    const Judgement judgement = Judge(part, 1000);
    EXPECT_STREQ(VerdictKey(judgement), c.verdict) << c.what;
    EXPECT_EQ(judgement.problems, c.problems) << c.what;
  }
}

TEST(Judge, CountsWhatALongerPartOverwritesAndAddsAtTheContainersEnd) {
  const struct {
    std::uint32_t offset;
    std::uint32_t length;  // over a wave of 100 bytes, in 1000
    std::uint64_t overwrites;
    std::uint64_t lengthens;
  } cases[] = {
      {0x40, 130, 30, 0},
      {880, 150, 20, 30},  // 20 bytes follow the wave; the rest grows the container
      {900, 130, 0, 30},   // the wave ends the container
  };
  for (const auto& c : cases) {
    PartFinding part = Fitting();
    part.offset = c.offset;
    part.length = c.length;
    const Judgement judgement = Judge(part, 1000);
    EXPECT_EQ(judgement.longerBy, c.length - 100u) << c.offset;
    EXPECT_EQ(judgement.overwrites, c.overwrites) << c.offset;
    EXPECT_EQ(judgement.lengthens, c.lengthens) << c.offset;
  }
}

TEST(Judge, SaysWhatALongerPartWouldFitInWholeBlocks) {
  PartFinding part = Fitting();
  part.length = 161;  // 44 bytes of header and fmt, 26 of LIST, 91 of samples
  part.own = Pcm(1, 8000, 16, 91);
  part.own.others = {{"LIST", 26}, {"fact", 12}};
  part.wave.others = {{"fact", 12}};
  part.place.waveLength = 101;  // 31 bytes for samples: 15 whole blocks
  const Judgement judgement = Judge(part, 1000);
  EXPECT_TRUE(judgement.wouldFitKnown);
  EXPECT_EQ(judgement.wouldFitBytes, 30u);  // 101 - 70 bytes that are no samples, in blocks of 2
  EXPECT_DOUBLE_EQ(judgement.wouldFitSeconds, 30.0 / 16000);
  ASSERT_EQ(judgement.lacking.size(), 1u);
  EXPECT_EQ(judgement.lacking[0].id, "LIST");
  EXPECT_EQ(judgement.lacking[0].bytes, 26u);
  ASSERT_EQ(judgement.differences.size(), 2u);  // 16 bits and block align 2
  EXPECT_EQ(judgement.differences[0].part, "16 bits");
  EXPECT_EQ(judgement.differences[0].wave, "8");

  part.length = 300;  // its other chunks alone take more than the wave
  part.own.dataBytes = 20;
  EXPECT_EQ(Judge(part, 1000).wouldFitBytes, 0u);
}

}  // namespace

namespace {

// The part's frames and chunks against its loops and cue points, and the
// wave's: a loop past its samples is a problem; notes leave the verdict.
TEST(Judge, SaysLoopsPastTheSamplesAndNotesWhatTheWaveHadOtherwise) {
  using N = Note;
  const auto adpcm = [](PartFinding& p, std::uint32_t tag, std::uint32_t perBlock,
                        std::uint64_t bytes) {
    for (WaveChunks* chunks : {&p.own, &p.wave}) {
      chunks->format.tag = tag;
      chunks->format.blockAlign = 256;
      chunks->format.samplesPerBlock = perBlock;
      chunks->dataBytes = bytes;
    }
  };
  const std::vector<ChunkSize> bare = {{"fmt ", 16}, {"data", 56}};
  const struct {
    const char* what;
    std::function<void(PartFinding&)> change;
    const char* verdict;
    std::vector<Problem> problems;
    std::vector<Note> notes;
  } cases[] = {
      {"a loop to its last frame",
       [](PartFinding& p) {
         p.own.loops = {{0, 55, 0}};
       },
       "fits",
       {},
       {}},
      {"a loop a frame further",
       [](PartFinding& p) {
         p.own.loops = {{0, 56, 0}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"a later loop past the end",
       [](PartFinding& p) {
         p.own.loops = {{0, 10, 0}, {20, 90, 2}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"a cue point on its last frame",
       [](PartFinding& p) {
         p.own.cues = {{1, 55}};
       },
       "fits",
       {},
       {}},
      {"a cue point after it",
       [](PartFinding& p) {
         p.own.cues = {{1, 56}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"a labelled length to its last frame",
       [](PartFinding& p) {
         p.own.cues = {{1, 6, true, 50}};
       },
       "fits",
       {},
       {}},
      {"a labelled length a frame longer",
       [](PartFinding& p) {
         p.own.cues = {{1, 6, true, 51}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"16-bit: a cue within its bytes, past its frames",
       [](PartFinding& p) {
         p.own = p.wave = Pcm(1, 8000, 16, 56);
         p.own.cues = {{1, 30}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"16-bit: a loop within its bytes, past its frames",
       [](PartFinding& p) {
         p.own = p.wave = Pcm(1, 8000, 16, 56);
         p.own.loops = {{0, 28, 0}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"IMA ADPCM: two blocks and 65 frames of a third",
       [&adpcm](PartFinding& p) {
         adpcm(p, 0x11, 505, 2 * 256 + 36);
         p.own.loops = {{0, 1074, 0}};
       },
       "fits",
       {},
       {}},
      {"IMA ADPCM: a frame further",
       [&adpcm](PartFinding& p) {
         adpcm(p, 0x11, 505, 2 * 256 + 36);
         p.own.loops = {{0, 1075, 0}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"MS ADPCM: a block and 22 frames of another",
       [&adpcm](PartFinding& p) {
         adpcm(p, 2, 500, 256 + 17);
         p.own.cues = {{1, 521}};
       },
       "fits",
       {},
       {}},
      {"MS ADPCM: a frame further",
       [&adpcm](PartFinding& p) {
         adpcm(p, 2, 500, 256 + 17);
         p.own.cues = {{1, 522}};
       },
       "fits",
       {P::kLoopPastEnd},
       {}},
      {"MPEG: frames unknown",
       [](PartFinding& p) {
         p.own.format.tag = p.wave.format.tag = 0x55;
         p.own.loops = {{0, 100000, 0}};
       },
       "fits",
       {},
       {}},
      {"the wave loops and the part does not",
       [](PartFinding& p) {
         p.wave.loops = {{0, 10, 0}};
       },
       "fits",
       {},
       {N::kLoopDropped}},
      {"the wave has cue points, shorter",
       [](PartFinding& p) {
         p.wave.cues = {{1, 10}}, p.length = 80;
       },
       "shorter",
       {},
       {N::kLoopDropped}},
      {"the wave's cue points, the part's loop",
       [](PartFinding& p) {
         p.wave.cues = {{1, 10}}, p.own.loops = {{0, 10, 0}};
       },
       "fits",
       {},
       {}},
      {"an 18-byte fmt",
       [&bare](PartFinding& p) {
         p.wave.order = bare;
         p.own.order = {{"fmt ", 18}, {"data", 56}};
       },
       "fits",
       {},
       {N::kLayoutDiffers}},
      {"a LIST before the samples, no loop",
       [&bare](PartFinding& p) {
         p.wave.order = bare;
         p.wave.loops = {{0, 10, 0}};
         p.own.order = {{"fmt ", 16}, {"LIST", 26}, {"data", 56}};
       },
       "fits",
       {},
       {N::kLoopDropped, N::kLayoutDiffers}},
      {"a LIST of another size, in its place",
       [](PartFinding& p) {
         p.wave.order = {{"fmt ", 16}, {"LIST", 26}, {"data", 56}};
         p.own.order = {{"fmt ", 16}, {"LIST", 40}, {"data", 56}};
       },
       "fits",
       {},
       {}},
      {"chunks only after the samples",
       [&bare](PartFinding& p) {
         p.wave.order = bare;
         p.own.order = {{"fmt ", 16}, {"data", 56}, {"LIST", 26}, {"fmt ", 18}};
       },
       "fits",
       {},
       {}},
      {"no wave at its offset",
       [](PartFinding& p) {
         p.place.waveStarts = false, p.wave.loops = {{0, 10, 0}};
         p.own.order = {{"data", 56}};
       },
       "no_wave",
       {P::kNoWave},
       {}},
      {"not a wave",
       [](PartFinding& p) {
         p.own.wave = false, p.wave.loops = {{0, 10, 0}};
       },
       "not_a_wave",
       {P::kNotAWave},
       {}},
  };
  for (const auto& c : cases) {
    PartFinding part = Fitting();
    c.change(part);
    const Judgement judgement = Judge(part, 1000);
    EXPECT_STREQ(VerdictKey(judgement), c.verdict) << c.what;
    EXPECT_EQ(judgement.problems, c.problems) << c.what;
    EXPECT_EQ(judgement.notes, c.notes) << c.what;
  }
}

}  // namespace
