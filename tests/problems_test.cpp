#include "scan/problems.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using P = Problem;

// The names scripts read and what --fit makes of each problem: mends it
// (fitting the part), leaves the part (why), or neither (other parts decide).
TEST(ProblemTable, GivesEachProblemItsNameAndWhatFitMakesOfIt) {
  const char* const notMoved = "it was not moved to where its wave went";
  const struct {
    Problem problem;
    const char* key;
    const char* notFitted;  // null: the fit goes on
    bool mends;
  } cases[] = {
      {P::kNoOldWave, "no_old_wave", notMoved, false},
      {P::kGone, "gone", notMoved, false},
      {P::kAmbiguous, "ambiguous", notMoved, false},
      {P::kTargetExists, "target_exists", notMoved, false},
      {P::kBeyond32Bits, "beyond_32_bits", notMoved, false},
      {P::kNotAWave, "not_a_wave", "it is not a wave", false},
      {P::kRefused, "refused", "wavesplice would refuse it", false},
      {P::kLonger, "longer", nullptr, true},
      {P::kNoWave, "no_wave", "no wave starts at its offset", false},
      {P::kPastEnd, "past_end", "its offset is past the container's end", false},
      {P::kNoFormat, "no_format", "it has no fmt chunk to say what its sound is", false},
      {P::kFormatDiffers, "format_differs", nullptr, true},
      {P::kLoopPastEnd, "loop_past_end", nullptr, true},
      {P::kSameOffset, "same_offset", "another part is taken for its offset", false},
      {P::kOverlaps, "overlaps", nullptr, false},
      {P::kSameFile, "same_file", "it is a container of this run", false},
      {P::kCaseTwin, "case_twin", "wavesplice would splice it into another container as well",
       false},
      {P::kNotWritable, "not_writable", "wavesplice could not open the container for update",
       false},
  };
  static_assert(std::size(cases) == static_cast<std::size_t>(P::kNotWritable) + 1);
  std::set<std::string> keys;
  for (const auto& c : cases) {
    const ProblemRow& row = RowOf(c.problem);
    EXPECT_EQ(row.problem, c.problem) << c.key;
    EXPECT_STREQ(ProblemKey(c.problem), c.key);
    EXPECT_TRUE(keys.insert(row.key).second) << c.key << " twice";
    EXPECT_EQ(row.fitMends, c.mends) << c.key;
    if (c.notFitted == nullptr) {
      EXPECT_EQ(row.notFitted, nullptr) << c.key;
    } else {
      EXPECT_STREQ(row.notFitted, c.notFitted) << c.key;
    }
    // Every problem is said on the part's line, as one.
    EXPECT_EQ(row.words(PartFinding(), Judgement()).rfind("PROBLEM: ", 0), 0u) << c.key;
  }
}

// Other sound files renamed to a part's name are named by their first bytes.
TEST(ProblemTable, NamesWhatAFileThatIsNoWaveLooksLike) {
  const struct {
    std::string head;  // its first 12 bytes
    const char* looks;
  } cases[] = {
      {std::string("FORM\0\0\x10\0AIFF", 12), "FORM and AIFF, as AIFF files do"},
      {std::string("FORM\0\0\x10\0AIFC", 12), "FORM and AIFC, as AIFF-C files do"},
      {std::string("FORM\0\0\x10\08SVX", 12), "the bytes 46 4f 52 4d"},
      {std::string("riff\x2e\x91\xcf\x11\xa5\xd6\x28\xdb", 12),
       "riff and Wave64's GUID, as Sony Wave64 (W64) files do"},
      {std::string("riff\x2e\x91\xcf\x11\xa5\xd6\x28\xdc", 12), "the bytes 72 69 66 66"},
      {std::string(".snd\0\0\0\x18\0\0\0\0", 12), ".snd, as Sun and NeXT audio (AU) files do"},
      {std::string("caff\0\x01\0\0desc", 12), "caff, as Core Audio (CAF) files do"},
      {std::string("wvpk\x20\0\0\0\x10\x04\0\0", 12), "wvpk, as WavPack files do"},
  };
  for (const auto& c : cases) {
    PartFinding part;
    part.opened = part.headerRead = true;
    part.length = 1000;
    part.own.head = c.head;
    EXPECT_EQ(RowOf(P::kNotAWave).words(part, Judgement()),
              std::string("PROBLEM: not a wave: it begins with ") + c.looks);
  }
  PartFinding m4a;
  m4a.opened = m4a.headerRead = true;
  m4a.length = 1000;
  m4a.own.head = std::string("\0\0\0 ftypM4A ", 12);
  EXPECT_EQ(RowOf(P::kNotAWave).words(m4a, Judgement()),
            "PROBLEM: not a wave: it holds ftyp at byte 4, as MP4 and M4A files do");
}

TEST(ProblemTable, NamesAProblemVerdictByWhatThePartIs) {
  Judgement judgement;
  judgement.verdict = Verdict::kProblem;
  judgement.because = P::kPastEnd;
  EXPECT_STREQ(VerdictKey(judgement), "past_end");
  judgement.verdict = Verdict::kShorter;
  EXPECT_STREQ(VerdictKey(judgement), "shorter");
}

}  // namespace
