#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/open_file.h"
#include "platform/search.h"
#include "scan/chunks.h"
#include "scan/extract.h"
#include "scan/find_waves.h"
#include "scan/scan_waves.h"
#include "waves/reading.h"

namespace {

using Waves = std::vector<std::pair<std::uint64_t, std::uint64_t>>;  // offset, length

std::string Le(std::uint32_t value, int bytes = 4) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
  return text;
}

// A chunk "RIFF", size, form, then the body.
std::string Riff(std::uint32_t size, const std::string& form, const std::string& body) {
  return "RIFF" + Le(size) + form + body;
}

std::string WaveOf(const std::string& body) {
  return Riff(static_cast<std::uint32_t>(4 + body.size()), "WAVE", body);
}

std::FILE* FileOf(const std::string& bytes) {
  std::FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fflush(file);  // on disk, as a container the scan opens is
  return file;
}

Waves Scan(const std::string& bytes, std::size_t block) {
  std::FILE* file = FileOf(bytes);
  Waves found;
  std::string err;
  EXPECT_TRUE(FindWaves(
      file, bytes.size(), block,
      [&](std::uint64_t offset, std::uint64_t length) {
        found.emplace_back(offset, length);
        std::fseek(file, 0, SEEK_SET);  // as reading a wave's chunks does
      },
      &err))
      << err;
  std::fclose(file);
  return found;
}

// The rule as plainly as it can be said, byte by byte over the whole file.
Waves Reference(const std::string& bytes) {
  Waves found;
  for (std::size_t at = 0; at + 12 <= bytes.size();) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    const std::uint64_t length = (p[4] | p[5] << 8 | p[6] << 16 | std::uint64_t{p[7]} << 24) + 8;
    if (std::memcmp(p, "RIFF", 4) == 0 && std::memcmp(p + 8, "WAVE", 4) == 0 && length >= 12 &&
        length <= bytes.size() - at) {
      found.emplace_back(at, length);
      at += length;
    } else {
      ++at;
    }
  }
  return found;
}

}  // namespace

TEST(FindWaves, FindsWhatTheRuleSaysAtAnyBlockSize) {
  const std::string a = WaveOf("fmt data");     // 20 bytes
  const std::string odd = WaveOf("odd");        // 15 bytes
  const std::string nested = WaveOf("xx" + a);  // the wave inside is samples
  const struct {
    const char* what;
    std::string bytes;
    Waves waves;
  } cases[] = {
      {"at the start and at the very end", a + "...." + a, {{0, 20}, {24, 20}}},
      {"back to back, odd sizes", odd + odd + "." + a, {{0, 15}, {15, 15}, {31, 20}}},
      {"inside another wave's samples", nested + a, {{0, 34}, {34, 20}}},
      {"not WAVE", Riff(4, "AVI ", "") + a, {{12, 20}}},
      {"size below 4", Riff(3, "WAVE", "") + Riff(0, "WAVE", "") + ".", {}},
      {"size 4: the header alone", Riff(4, "WAVE", ""), {{0, 12}}},
      {"running past the end", Riff(100, "WAVE", "short"), {}},
      {"one byte short of its end", a.substr(0, 19), {}},
      {"a rejected RIFF just before a wave", "RIFF" + a, {{4, 20}}},
      {"too short for a header", "RIFF\x04\0\0\0WAV", {}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) {
    for (std::size_t block : {std::size_t{0}, std::size_t{12}, std::size_t{13}, std::size_t{17},
                              std::size_t{64}, kScanBlock}) {
      EXPECT_EQ(Scan(c.bytes, block), c.waves) << c.what << ", blocks of " << block;
    }
  }
}

TEST(FindWaves, AgreesWithTheRuleOnNoisyContainers) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    while (bytes.size() < 600) {
      switch (random() % 4) {
        case 0:
          bytes += WaveOf(std::string(random() % 40, 'R'));
          break;
        case 1:
          bytes += "RIFF";
          break;
        case 2:
          bytes += Riff(static_cast<std::uint32_t>(random() % 64), "WAVE", "RIFFWAVE");
          break;
        default:
          bytes += static_cast<char>("RIFWAVE\0"[random() % 8]);
          break;
      }
    }
    const Waves expected = Reference(bytes);
    for (std::size_t block : {std::size_t{12}, std::size_t{29}, std::size_t{100}, kScanBlock}) {
      ASSERT_EQ(Scan(bytes, block), expected) << "round " << round << ", blocks of " << block;
    }
  }
}

// The search reads kScanBlock bytes at a time and tests stretches of 256
// bytes at once: what lies across either edge is found as anywhere else.
TEST(FindWaves, FindsWhatTheRuleSaysAcrossTheEdgesOfBlocksAndStretches) {
  const std::string a = WaveOf("fmt data");  // 20 bytes
  const auto sized = [](std::size_t length) { return WaveOf(std::string(length - 12, '.')); };
  struct Case {
    std::string what;
    std::string bytes;
    Waves waves;
  };
  std::vector<Case> cases;
  // Wave a's header split across the first block's end, after a wave that
  // ends there, when the stream has been moved by reading that wave.
  for (const std::size_t before : {1, 6, 11, 12}) {
    const std::size_t at = kScanBlock - before;
    cases.push_back({"a header " + std::to_string(before) + " bytes before a block's end",
                     sized(at) + a + "..",
                     {{0, at}, {at, 20}}});
  }
  for (const std::size_t at : {255, 256, 511, 512}) {
    cases.push_back({"a wave at " + std::to_string(at), std::string(at, '.') + a, {{at, 20}}});
  }
  // A wave's samples holding a whole wave across, and at, a block's end.
  for (const std::size_t before : {6, 0}) {
    const std::string outer =
        WaveOf(std::string(kScanBlock - 12 - before, '.') + a + std::string(40, '.'));
    cases.push_back({"RIFF among samples " + std::to_string(before) + " bytes before a block's end",
                     outer + a,
                     {{0, outer.size()}, {outer.size(), 20}}});
  }
  for (const Case& c : cases) EXPECT_EQ(Scan(c.bytes, kScanBlock), c.waves) << c.what;
}

TEST(DescribeWave, ReadsTheFmtAndDataChunks) {
  const std::string pcm =
      "fmt " + Le(16) + Le(1, 2) + Le(2, 2) + Le(44100) + Le(176400) + Le(4, 2) + Le(16, 2);
  const std::string float32 = "fmt " + Le(18) + Le(3, 2) + Le(1, 2) + Le(48000) + Le(192000) +
                              Le(4, 2) + Le(32, 2) + Le(0, 2);
  const std::string odd = "LIST" + Le(3) + "abc" + ".";  // padded to an even size
  const struct {
    std::string body;
    const char* says;
  } cases[] = {
      {pcm + "data" + Le(88200) + std::string(88200, '\0'),
       "PCM, 2 channels, 44100 Hz, 16 bits, 0.500 s"},
      {odd + float32 + "data" + Le(96000) + std::string(96000, '\0'),
       "IEEE float, 1 channel, 48000 Hz, 32 bits, 0.500 s"},
      {pcm, "PCM, 2 channels, 44100 Hz, 16 bits"},
      // A data chunk claiming more than the wave holds counts what it holds.
      {pcm + "data" + Le(1000000) + std::string(17640, '\0'),
       "PCM, 2 channels, 44100 Hz, 16 bits, 0.100 s"},
      {"fmt " + Le(16) + Le(0x1234, 2) + std::string(14, '\0'), "format 0x1234, 0 channels, 0 Hz"},
      {"fmt " + Le(16) + Le(0x31, 2) + Le(1, 2) + Le(8000) + Le(1625) + Le(65, 2) + Le(0, 2),
       "GSM 6.10, 1 channel, 8000 Hz"},
      {"data" + Le(4) + "abcd", "no fmt chunk"},
      // The old 14-byte form has no bits; a second data chunk is not the sound.
      {"fmt " + Le(14) + Le(1, 2) + Le(1, 2) + Le(8000) + Le(8000) + Le(1, 2) + "data" + Le(8000) +
           std::string(8000, '\0'),
       "PCM, 1 channel, 8000 Hz, 1.000 s"},
      {pcm + "data" + Le(17640) + std::string(17640, '\0') + "data" + Le(4) + "abcd",
       "PCM, 2 channels, 44100 Hz, 16 bits, 0.100 s"},
      {"fmt " + Le(16) + "cut short", "no fmt chunk"},
  };
  for (const auto& c : cases) {
    const std::string bytes = "junk" + WaveOf(c.body) + "junk";
    std::FILE* file = FileOf(bytes);
    WaveChunks chunks;
    std::string err;
    EXPECT_TRUE(ReadChunks(file, 4, bytes.size() - 8, &chunks, kShrank, &err)) << err;
    EXPECT_EQ(DescribeWave(chunks), c.says);
    std::fclose(file);
  }
}

// Its two bytes after the fmt chunk belong to the next chunk, not to a
// bits-per-sample field: the report must say there is none (null in JSON).
TEST(DescribeWave, TheOld14ByteFmtHasNoBitsPerSample) {
  const std::string bytes = WaveOf("fmt " + Le(14) + Le(1, 2) + Le(1, 2) + Le(8000) + Le(8000) +
                                   Le(1, 2) + "data" + Le(2) + "ab");
  std::FILE* file = FileOf(bytes);
  WaveChunks chunks;
  std::string err;
  EXPECT_TRUE(ReadChunks(file, 0, bytes.size(), &chunks, kShrank, &err)) << err;
  EXPECT_FALSE(chunks.format.hasBits);
  std::fclose(file);
}

namespace {

std::string ChunkOf(const std::string& id, const std::string& contents) {
  return id + Le(static_cast<std::uint32_t>(contents.size())) + contents +
         (contents.size() % 2 != 0 ? "." : "");
}

std::string LoopOf(std::uint32_t start, std::uint32_t end, std::uint32_t count) {
  return Le(0) + Le(0) + Le(start) + Le(end) + Le(0) + Le(count);
}

// A smpl chunk's fields before its loops, saying it has count of them.
std::string SamplerHead(std::uint32_t count) { return std::string(28, '\0') + Le(count) + Le(0); }

std::string CueOf(std::uint32_t id, std::uint32_t sample) {
  return Le(id) + Le(0) + "data" + Le(0) + Le(0) + Le(sample);
}

std::string Ltxt(std::uint32_t id, std::uint32_t length) {
  return ChunkOf("ltxt", Le(id) + Le(length) + "rgn " + std::string(8, '\0'));
}

// "100-199x0 ", "@30+20 ": the loops, then the cue points, as read.
std::string Points(const WaveChunks& chunks) {
  std::string text;
  for (const Loop& loop : chunks.loops) {
    text += std::to_string(loop.start) + "-" + std::to_string(loop.end) + "x" +
            std::to_string(loop.count) + " ";
  }
  for (const CuePoint& cue : chunks.cues) {
    text += "@" + std::to_string(cue.sample) +
            (cue.hasLength ? "+" + std::to_string(cue.length) : "") + " ";
  }
  return text;
}

}  // namespace

TEST(DescribeWave, ReadsLoopsAndCuePointsWithinTheirChunks) {
  // Mono 16-bit 8000 Hz, 0.5 s.
  const std::string sound = "fmt " + Le(16) + Le(1, 2) + Le(1, 2) + Le(8000) + Le(16000) +
                            Le(2, 2) + Le(16, 2) + "data" + Le(8000) + std::string(8000, '\0');
  const std::string says = "PCM, 1 channel, 8000 Hz, 16 bits, 0.500 s";
  const struct {
    std::string body;
    std::string says;  // after the duration
    std::string points;
  } cases[] = {
      {sound + ChunkOf("smpl", SamplerHead(1) + LoopOf(800, 3999, 0)), ", loop 0.100-0.500 s",
       "800-3999x0 "},
      {ChunkOf("smpl", SamplerHead(2) + LoopOf(0, 9, 3) + LoopOf(10, 19, 0)) + sound, ", 2 loops",
       "0-9x3 10-19x0 "},
      // Counts beyond what the chunk holds, a chunk cut short, or past the wave.
      {sound + ChunkOf("smpl", SamplerHead(1000000) + LoopOf(1, 2, 0)), ", loop 0.000-0.000 s",
       "1-2x0 "},
      {sound + ChunkOf("smpl", std::string(30, '\0')), "", ""},
      {sound + "smpl" + Le(36 + 3 * 24) + SamplerHead(3) + LoopOf(1, 2, 0), ", loop 0.000-0.000 s",
       "1-2x0 "},
      {sound + ChunkOf("cue ", Le(1000000) + CueOf(1, 5)), ", 1 cue point", "@5 "},
      // Only the first smpl and cue chunks count; a label names its point by id.
      {sound + ChunkOf("smpl", SamplerHead(1) + LoopOf(1, 2, 0)) +
           ChunkOf("smpl", SamplerHead(1) + LoopOf(3, 4, 0)),
       ", loop 0.000-0.000 s", "1-2x0 "},
      {ChunkOf("LIST", "adtl" + ChunkOf("labl", Le(1) + "Loop\0") + Ltxt(9, 7) + Ltxt(2, 50) +
                           ChunkOf("ltxt", Le(3))) +
           sound + ChunkOf("cue ", Le(3) + CueOf(1, 10) + CueOf(2, 30) + CueOf(3, 70)) +
           ChunkOf("cue ", Le(1) + CueOf(2, 99)),
       ", 3 cue points", "@10 @30+50 @70 "},
      {sound + ChunkOf("cue ", Le(1) + CueOf(2, 30)) + ChunkOf("LIST", "INFO" + Ltxt(2, 50)),
       ", 1 cue point", "@30 "},
  };
  // A loop's time runs to the end of its last frame.
  const std::string slow = "fmt " + Le(16) + Le(1, 2) + Le(1, 2) + Le(1000) + Le(2000) + Le(2, 2) +
                           Le(16, 2) + "data" + Le(2000) + std::string(2000, '\0');
  {
    const std::string bytes = WaveOf(slow + ChunkOf("smpl", SamplerHead(1) + LoopOf(0, 999, 0)));
    std::FILE* file = FileOf(bytes);
    WaveChunks chunks;
    std::string err;
    EXPECT_TRUE(ReadChunks(file, 0, bytes.size(), &chunks, kShrank, &err)) << err;
    EXPECT_EQ(DescribeWave(chunks),
              "PCM, 1 channel, 1000 Hz, 16 bits, 1.000 s, loop 0.000-1.000 s");
    std::fclose(file);
  }
  for (const auto& c : cases) {
    const std::string bytes = WaveOf(c.body);
    std::FILE* file = FileOf(bytes);
    WaveChunks chunks;
    std::string err;
    EXPECT_TRUE(ReadChunks(file, 0, bytes.size(), &chunks, kShrank, &err)) << err;
    EXPECT_EQ(DescribeWave(chunks), says + c.says);
    EXPECT_EQ(Points(chunks), c.points) << c.says;
    std::fclose(file);
  }
}

class Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    char made[] = "/tmp/wavescan-unit-XXXXXX";
    ASSERT_NE(mkdtemp(made), nullptr);
    dir_ = std::string(made) + "/";
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string dir_;
};

TEST_F(Folder, ExtractionNeverWritesOverAFile) {
  const std::string bytes = WaveOf("samples");
  std::FILE* container = FileOf(bytes);
  std::FILE* there = std::fopen((dir_ + "x.wav").c_str(), "wb");
  std::fputs("mine", there);
  std::fclose(there);
  std::string why;
  EXPECT_EQ(ExtractWave(container, "c", 0, bytes.size(), dir_ + "x.wav", &why), Extraction::kKept);
  EXPECT_EQ(ExtractWave(container, "c", 0, bytes.size(), dir_ + "y.wav", &why),
            Extraction::kWritten);
  std::fclose(container);
  char read[32] = {};
  std::FILE* kept = std::fopen((dir_ + "x.wav").c_str(), "rb");
  EXPECT_EQ(std::fread(read, 1, sizeof read, kept), 4u);
  std::fclose(kept);
  EXPECT_STREQ(read, "mine");
}

TEST_F(Folder, SearchesSeeThePartsExtractionCreates) {
  const auto names = [this] {
    std::vector<std::string> found;
    std::string err;
    EXPECT_TRUE(SearchFolder(
        dir_ + "*.wav", [&found](const std::string& name, bool) { found.push_back(name); }, &err))
        << err;
    return found;
  };
  EXPECT_TRUE(names().empty());  // the folder's listing is now kept
  const std::string bytes = WaveOf("samples");
  std::FILE* container = FileOf(bytes);
  std::string why;
  for (const char* name : {"b.wav", "A.wav", "c.wav"}) {
    EXPECT_EQ(ExtractWave(container, "c", 0, bytes.size(), dir_ + name, &why),
              Extraction::kWritten);
  }
  std::fclose(container);
  EXPECT_EQ(names(), (std::vector<std::string>{"A.wav", "b.wav", "c.wav"}));
}

TEST_F(Folder, ListsButNeverExtractsAWavePast4GiB) {
  const std::string wave = WaveOf("samples");
  const std::string path = dir_ + "big.dat";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_EQ(fseeko(file, 0x100000000LL, SEEK_SET), 0);  // sparse: costs no disk
  std::fwrite(wave.data(), 1, wave.size(), file);
  ASSERT_EQ(std::fclose(file), 0);
  ScanReport report = kTextReport;
  testing::internal::CaptureStdout();
  EXPECT_TRUE(ScanWaves(dir_, "big.dat", ScanOptions{true, false, ""}, {}, &report));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("wave 100000000 length 00000013: no fmt chunk; no part file can name it: "
                     "beyond 32 bits\n"),
            std::string::npos)
      << out;
  EXPECT_NE(access((dir_ + "big.dat_00000000.wav").c_str(), F_OK), 0);
}
