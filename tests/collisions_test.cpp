#include "scan/collisions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Indexes = std::vector<std::size_t>;

TEST(FindMeetings, FindsSameOffsetsAndOverlapsByOffsetAndCountsThemWhole) {
  // In search order: 0 and 3 share offset 100; 1 ends where 0 begins; 2
  // reaches into 0 from before; 4 starts inside 0; 5 writes nothing at 100;
  // 6 is far away.
  const std::vector<Span> spans = {{100, 50}, {60, 40}, {90, 20}, {100, 10},
                                   {140, 30}, {100, 0}, {1000, 8}};
  const std::vector<Meeting> met = FindMeetings(spans, 10);
  const struct {
    std::size_t part;
    Indexes sameOffset;
    std::size_t last;
    std::size_t overlapCount;
    Indexes overlaps;
  } cases[] = {
      {0, {3}, 3, 2, {2, 4}}, {1, {}, 1, 1, {2}}, {2, {}, 2, 3, {1, 0, 3}}, {3, {0}, 3, 1, {2}},
      {4, {}, 4, 1, {0}},     {5, {}, 5, 0, {}},  {6, {}, 6, 0, {}},
  };
  for (const auto& c : cases) {
    const Meeting& m = met[c.part];
    EXPECT_EQ(m.sameOffset, c.sameOffset) << c.part;
    EXPECT_EQ(m.sameOffsetCount, c.sameOffset.size()) << c.part;
    EXPECT_EQ(m.splicedLast, c.last) << c.part;
    EXPECT_EQ(m.overlapCount, c.overlapCount) << c.part;
    EXPECT_EQ(m.overlaps, c.overlaps) << c.part;
  }
}

TEST(FindMeetings, NamesAtMostSoManyButCountsAll) {
  std::vector<Span> spans;
  for (std::uint64_t i = 0; i < 50; ++i) spans.push_back({i, 100});   // all overlap
  for (std::uint64_t i = 0; i < 20; ++i) spans.push_back({500, 10});  // one offset
  const std::vector<Meeting> met = FindMeetings(spans, 3);
  EXPECT_EQ(met[10].overlapCount, 49u);
  EXPECT_EQ(met[10].overlaps, (Indexes{0, 1, 2}));
  EXPECT_EQ(met[0].overlaps, (Indexes{1, 2, 3}));
  EXPECT_EQ(met[55].sameOffsetCount, 19u);
  EXPECT_EQ(met[55].sameOffset, (Indexes{50, 51, 52}));
  EXPECT_EQ(met[55].splicedLast, 69u);
  EXPECT_EQ(met[55].overlapCount, 0u);
}

TEST(FitsAlone, FitsOnlyWhatNoOtherPartWouldStillMeet) {
  // Slots: 0 is not to be fitted. In search order.
  const struct {
    const char* what;
    std::vector<Span> spans;
    std::vector<std::uint64_t> slots;
    std::vector<bool> alone;
  } cases[] = {
      {"longer than its slot, into the next part", {{0, 150}, {100, 50}}, {100, 0}, {true, false}},
      {"the next part starts inside its slot", {{0, 150}, {50, 50}}, {100, 0}, {false, false}},
      {"one before reaches in, and is not fitted", {{0, 150}, {100, 80}}, {0, 50}, {false, true}},
      {"one before reaches in, and is fitted", {{0, 150}, {100, 80}}, {100, 80}, {true, true}},
      {"its slot ends where the next starts", {{0, 100}, {100, 10}}, {100, 0}, {true, false}},
      {"two at one offset", {{0, 10}, {0, 20}}, {10, 10}, {false, false}},
      {"a part of length 0 meets nothing", {{0, 150}, {50, 0}}, {100, 0}, {true, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(FitsAlone(c.spans, c.slots), c.alone) << c.what;
}

}  // namespace
