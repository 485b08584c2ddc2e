#include "scan/place_parts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PlaceWave, SaysWhichWaveEachPartStartsFallsInsideOrReaches) {
  // Waves at 100 (50 bytes) and 200 (10 bytes); parts by offset.
  const std::vector<Span> parts = {{40, 100}, {100, 50}, {100, 5},  {120, 8}, {149, 60},
                                   {150, 10}, {190, 10}, {200, 10}, {300, 1}};
  std::vector<Place> places(parts.size());
  std::size_t passed = 0;
  EXPECT_EQ(PlaceWave(parts, 100, 50, &passed, &places), 1u);
  EXPECT_EQ(PlaceWave(parts, 200, 10, &passed, &places), 7u);
  const struct {
    bool starts;
    bool inside;
    std::uint64_t wave;
    bool overruns;
    std::uint64_t next;
  } expected[] = {
      {false, false, 0, true, 100},    // reaches into the wave at 100
      {true, false, 100, false, 200},  // 100 + 50 stops short of 200
      {true, false, 100, false, 200},
      {false, true, 100, false, 200},
      {false, true, 100, true, 200},  // its last byte is the wave's 149th, then 60 on
      {false, false, 0, false, 200},  // the byte after the wave: neither
      {false, false, 0, false, 200},  // it ends where the next wave starts
      {true, false, 200, false, 0},
      {false, false, 0, false, 0},  // no wave after it: none to overrun
  };
  for (std::size_t i = 0; i < parts.size(); ++i) {
    EXPECT_EQ(places[i].waveStarts, expected[i].starts) << i;
    EXPECT_EQ(places[i].inside, expected[i].inside) << i;
    EXPECT_EQ(places[i].waveOffset, expected[i].wave) << i;
    EXPECT_EQ(places[i].overruns, expected[i].overruns) << i;
    EXPECT_EQ(places[i].nextWave, expected[i].next) << i;
  }
  EXPECT_EQ(passed, 7u);
  EXPECT_EQ(PlaceWave(parts, 400, 12, &passed, &places), parts.size());  // none at its offset
}

}  // namespace
