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

TEST(ProblemTable, NamesAProblemVerdictByWhatThePartIs) {
  Judgement judgement;
  judgement.verdict = Verdict::kProblem;
  judgement.because = P::kPastEnd;
  EXPECT_STREQ(VerdictKey(judgement), "past_end");
  judgement.verdict = Verdict::kShorter;
  EXPECT_STREQ(VerdictKey(judgement), "shorter");
}

}  // namespace
