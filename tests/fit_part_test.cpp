#include "scan/fit_part.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scan/find_parts.h"
#include "waves/reading.h"

namespace {

std::string Le(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
  return text;
}

// A mono 16-bit PCM wave of frames of a square-ish tone.
std::string Pcm(std::uint32_t rate, std::uint32_t frames) {
  std::string samples;
  for (std::uint32_t i = 0; i < frames; ++i) samples += Le(i % 20 < 10 ? 8000 : 57536, 2);
  const std::string body = "WAVEfmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(rate, 4) +
                           Le(rate * 2, 4) + Le(2, 2) + Le(16, 2) + "data" +
                           Le(static_cast<std::uint32_t>(samples.size()), 4) + samples;
  return "RIFF" + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Get(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

TEST(FitPart, LeavesAPartThatChangedAfterItWasChecked) {
  char made[] = "/tmp/wavescan-fit-XXXXXX";
  ASSERT_NE(mkdtemp(made), nullptr);
  const std::string dir = std::string(made) + "/";
  const std::string wave = Pcm(8000, 100);
  Put(dir + "c.dat", wave);
  Put(dir + "c.dat_00000000.wav", Pcm(16000, 300));
  PartFinding part = ReadPart(dir, "c.dat", "c.dat_00000000.wav");
  std::FILE* container = std::fopen((dir + "c.dat").c_str(), "rb");
  std::string err;
  ASSERT_TRUE(ReadChunks(container, 0, wave.size(), &part.wave, kShrank, &err)) << err;
  part.place.waveStarts = true;
  part.place.waveLength = wave.size();
  // Checked as 16 kHz; another name of it, or another program, then makes
  // it 22.05 kHz before it is fitted.
  const std::string now = Pcm(22050, 300);
  Put(dir + "c.dat_00000000.wav", now);
  EXPECT_TRUE(FitPart(container, dir, &part));
  std::fclose(container);
  EXPECT_FALSE(part.fitting.done);
  EXPECT_EQ(part.fitting.notFitted, "it changed after it was checked; nothing changed");
  EXPECT_EQ(Get(dir + "c.dat_00000000.wav"), now);
  EXPECT_NE(access((dir + "c.dat_00000000.wav.orig").c_str(), F_OK), 0);

  // As it was checked, it is fitted: the wave's length and header, which
  // its findings say as a read of it would.
  Put(dir + "c.dat_00000000.wav", Pcm(16000, 300));
  container = std::fopen((dir + "c.dat").c_str(), "rb");
  EXPECT_TRUE(FitPart(container, dir, &part));
  std::fclose(container);
  EXPECT_TRUE(part.fitting.done);
  EXPECT_EQ(Get(dir + "c.dat_00000000.wav").substr(0, 44), wave.substr(0, 44));
  const PartFinding read = ReadPart(dir, "c.dat", "c.dat_00000000.wav");
  EXPECT_EQ(part.length, read.length);
  EXPECT_EQ(part.own.head, read.own.head);
  EXPECT_EQ(part.own.format.sampleRate, read.own.format.sampleRate);
  EXPECT_EQ(part.own.dataBytes, read.own.dataBytes);
  std::system(("rm -rf '" + dir + "'").c_str());
}

// Float samples that a conversion would not keep as they are: a NaN with
// a payload, an infinity, a negative zero, a denormal.
TEST(FitPart, KeepsSamplesInTheWavesExactFormatAndLengthByteForByte) {
  char made[] = "/tmp/wavescan-fit-XXXXXX";
  ASSERT_NE(mkdtemp(made), nullptr);
  const std::string dir = std::string(made) + "/";
  std::string samples;
  for (const std::uint32_t bits : {0x7fc01234u, 0x7f800000u, 0x80000000u, 0x00000001u}) {
    for (int i = 0; i < 25; ++i) samples += Le(bits, 4);
  }
  const auto wave = [&samples](const std::string& before) {
    const std::string body = "WAVEfmt " + Le(before.empty() ? 16 : 18, 4) + Le(3, 2) + Le(1, 2) +
                             Le(8000, 4) + Le(32000, 4) + Le(4, 2) + Le(32, 2) + before + "data" +
                             Le(400, 4) + samples;
    return "RIFF" + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
  };
  const std::string slot = wave("");
  std::string silent = slot;
  std::fill(silent.end() - 400, silent.end(), '\0');
  Put(dir + "c.dat", silent);
  // An 18-byte fmt chunk, and a LIST before the samples.
  Put(dir + "c.dat_00000000.wav", wave(Le(0, 2) + "LIST" + Le(4, 4) + "INFO"));
  PartFinding part = ReadPart(dir, "c.dat", "c.dat_00000000.wav");
  std::FILE* container = std::fopen((dir + "c.dat").c_str(), "rb");
  std::string err;
  ASSERT_TRUE(ReadChunks(container, 0, silent.size(), &part.wave, kShrank, &err)) << err;
  part.place.waveStarts = true;
  part.place.waveLength = silent.size();
  EXPECT_TRUE(KeepsItsSamples(part));
  EXPECT_TRUE(FitPart(container, dir, &part));
  std::fclose(container);
  EXPECT_TRUE(part.fitting.done);
  EXPECT_EQ(Get(dir + "c.dat_00000000.wav"), slot);
  EXPECT_EQ(part.fitting.keptChunks, std::vector<std::string>({"fmt "}));
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
