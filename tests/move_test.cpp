// The pure parts of --moved-from: which waves are the same bytes, where a
// part's wave went, and which renames can be made without replacing a file.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/name_key.h"
#include "scan/match_waves.h"
#include "scan/move_plan.h"
#include "scan/wave_bytes.h"

namespace {

// Waves written as letters, one per 10 bytes from offset 0: equal letters
// hold equal bytes; '.' is no wave.
std::vector<Spot> Spots(const std::string& letters) {
  std::vector<Spot> spots;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    if (letters[i] != '.') spots.push_back({i * 10, static_cast<std::size_t>(letters[i])});
  }
  return spots;
}

TEST(WhereItWent, FollowsTheKthOfIdenticalWavesAndSaysWhyNot) {
  const struct {
    const char* old;
    const char* now;
    std::uint64_t offset;
    Whereabouts how;
    std::uint64_t to;
    std::vector<std::uint64_t> before;
    std::vector<std::uint64_t> after;
  } cases[] = {
      {"AB", "CAB", 0, Whereabouts::kMoved, 10, {0}, {10}},
      {"AB", "CAB", 10, Whereabouts::kMoved, 20, {10}, {20}},
      {"AB", "AB", 10, Whereabouts::kStays, 10, {10}, {10}},
      {"AB", "A", 10, Whereabouts::kGone, 0, {10}, {}},
      {"A.B", "AB", 10, Whereabouts::kNoOldWave, 0, {}, {}},
      {"AB", "AB", 5, Whereabouts::kNoOldWave, 0, {}, {}},
      // The k-th identical wave goes to the k-th, whatever lies between.
      {"ABA", "AAB", 0, Whereabouts::kStays, 0, {0, 20}, {0, 10}},
      {"ABA", "AAB", 20, Whereabouts::kMoved, 10, {0, 20}, {0, 10}},
      {"ABAA", "BAAA", 30, Whereabouts::kStays, 30, {0, 20, 30}, {10, 20, 30}},
      {"ABAA", "BAAA", 20, Whereabouts::kStays, 20, {0, 20, 30}, {10, 20, 30}},
      {"ABAA", "BAAA", 0, Whereabouts::kMoved, 10, {0, 20, 30}, {10, 20, 30}},
      {"ABA", "AAAB", 20, Whereabouts::kAmbiguous, 0, {0, 20}, {0, 10, 20}},
      {"ABA", "BA", 0, Whereabouts::kAmbiguous, 0, {0, 20}, {10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.old) + " -> " + c.now + " at " + std::to_string(c.offset));
    const Destination where = WhereItWent(c.offset, Spots(c.old), Spots(c.now));
    EXPECT_EQ(where.how, c.how);
    if (c.how == Whereabouts::kMoved || c.how == Whereabouts::kStays) {
      EXPECT_EQ(where.to, c.to);
    }
    if (c.how == Whereabouts::kAmbiguous) {
      EXPECT_EQ(where.before, c.before);
      EXPECT_EQ(where.after, c.after);
    }
  }
}

TEST(SameBytesClasses, ComparesBytesOnlyWhereLengthAndHashAgree) {
  // Offsets stand for contents: waves at equal offsets % 100 hold equal
  // bytes; hashes may collide.
  const std::vector<WaveKey> waves = {
      {0, 50, true, 7},     // 0
      {100, 50, true, 7},   // 1: the bytes of 0
      {201, 50, true, 7},   // 2: a collision with 0
      {301, 50, true, 7},   // 3: the bytes of 2
      {400, 60, true, 7},   // 4: another length, the same hash
      {500, 50, true, 8},   // 5: another hash
      {600, 50, false, 0},  // 6: not read
  };
  std::set<std::pair<std::size_t, std::size_t>> compared;
  const std::vector<std::size_t> classes =
      SameBytesClasses(waves, [&](std::size_t a, std::size_t b) {
        compared.insert({a, b});
        return waves[a].offset % 100 == waves[b].offset % 100;
      });
  EXPECT_EQ(classes[0], classes[1]);
  EXPECT_NE(classes[0], classes[2]);
  EXPECT_EQ(classes[2], classes[3]);
  EXPECT_NE(classes[4], classes[0]);
  EXPECT_NE(classes[5], classes[0]);
  EXPECT_NE(classes[4], classes[5]);
  EXPECT_EQ(classes[6], kNoClass);
  for (const auto& [a, b] : compared) {
    EXPECT_EQ(waves[a].length, waves[b].length) << a << " " << b;
    EXPECT_EQ(waves[a].hash, waves[b].hash) << a << " " << b;
  }
  EXPECT_EQ(compared.size(), 4u);  // 1, 2 and 3 against 0; 3 against 2
}

TEST(HashBytes, TellsBytesApartWhereverTheyDiffer) {
  // Pairs that must hash apart: every byte counts, the last ones after the
  // whole words too, and the length.
  const std::string base = "RIFF\x0b\x00\x00\x00WAVE-abcdefghij";
  const struct {
    std::string a;
    std::string b;
  } pairs[] = {
      {base, "X" + base.substr(1)},
      {base, base.substr(0, base.size() - 1) + "J"},
      {base, base.substr(0, 16) + "Xbcdefghij"},
      {base, base + "k"},
      {std::string(9, '\0'), std::string(8, '\0')},
  };
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  for (const auto& pair : pairs) {
    std::uint64_t hashes[2] = {};
    for (int i = 0; i < 2; ++i) {
      const std::string& bytes = i == 0 ? pair.a : pair.b;
      ASSERT_EQ(std::fseek(file, 0, SEEK_SET), 0);
      ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
      ASSERT_EQ(std::fflush(file), 0);
      std::string err;
      ASSERT_TRUE(HashBytes(file, 0, bytes.size(), &hashes[i], &err)) << err;
    }
    EXPECT_NE(hashes[0], hashes[1]) << pair.a << " / " << pair.b;
  }
  std::fclose(file);
}

std::set<std::u32string> Keys(const std::vector<std::string>& names) {
  std::set<std::u32string> keys;
  for (const std::string& name : names) keys.insert(KeyOf(name));
  return keys;
}

TEST(BlockTaken, LetsChainsAndCyclesMoveButNeverOverAFileThatStays) {
  const struct {
    const char* what;
    std::vector<std::vector<Rename>> units;
    std::vector<std::string> taken;      // the folder's names
    std::vector<std::string> blockedBy;  // per unit, "" when it moves
    std::vector<bool> crowded;
  } cases[] = {
      {"a chain", {{{"a", "b"}}, {{"b", "c"}}}, {"a", "b"}, {"", ""}, {false, false}},
      {"a cycle", {{{"a", "b"}}, {{"b", "a"}}}, {"a", "b"}, {"", ""}, {false, false}},
      {"a file that stays", {{{"a", "b"}}}, {"a", "b"}, {"b"}, {false}},
      {"in another letter case", {{{"a", "b"}}}, {"a", "B"}, {"b"}, {false}},
      {"a chain ending at a file that stays",
       {{{"a", "b"}}, {{"b", "c"}}},
       {"a", "b", "c"},
       {"b", "c"},
       {false, false}},
      {"two to one name", {{{"a", "c"}}, {{"b", "c"}}}, {"a", "b"}, {"c", "c"}, {true, true}},
      {"a moving name taken", {{{"a", "b"}}}, {"a", "a.moving"}, {"a.moving"}, {false}},
      {"a part's .orig in the way",
       {{{"a", "b"}, {"a.orig", "b.orig"}}},
       {"a", "a.orig", "b.orig"},
       {"b.orig"},
       {false}},
      {"a part and its .orig in a cycle",
       {{{"a", "b"}, {"a.orig", "b.orig"}}, {{"b", "a"}, {"b.orig", "a.orig"}}},
       {"a", "a.orig", "b", "b.orig"},
       {"", ""},
       {false, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<MoveUnit> units;
    for (const std::vector<Rename>& renames : c.units) units.push_back({renames, "", false});
    BlockTaken(&units, Keys(c.taken));
    for (std::size_t i = 0; i < units.size(); ++i) {
      EXPECT_EQ(units[i].blockedBy, c.blockedBy[i]) << i;
      EXPECT_EQ(units[i].crowded, c.crowded[i]) << i;
    }
  }
}

TEST(MovedName, ChangesOnlyTheOffsetsDigits) {
  EXPECT_EQ(MovedName("b.dat_00000010.wav", 0x17ac), "b.dat_000017ac.wav");
  EXPECT_EQ(MovedName("B.DAT_0x000010.WAV", 0xffffffffu), "B.DAT_ffffffff.WAV");
  EXPECT_EQ(MovingName("b.dat_00000010.wav"), "b.dat_00000010.wav.moving");
}

}  // namespace
