#include "waves/part_name.h"

#include <gtest/gtest.h>

TEST(DecodePartOffset, ReadsTheEightBytesBeforeTheLastDot) {
  const struct {
    const char* name;
    std::uint32_t offset;
  } cases[] = {
      {"sounds.dat_000002c0.wav", 0x2c0},
      {"SOUNDS.DAT_000002C0.WAV", 0x2c0},
      {"sounds.dat_0x0002c0.wav", 0x2c0},
      {"sounds.dat_0X0002C0.wav", 0x2c0},
      {"sounds.dat_  0002c0.wav", 0x2c0},
      {"s_\t\n\v\f\r2c0.wav", 0x2c0},
      {"sounds.dat_+00002c0.wav", 0x2c0},
      {"sounds.dat_-0000010.wav", 0xfffffff0},
      {"sounds.dat_-0x00010.wav", 0xfffffff0},
      {"sounds.dat_ffffffff.wav", 0xffffffff},
      {"sounds.dat_0000zz10.wav", 0},
      {"sounds.dat_zzzzzzzz.wav", 0},
      {"sounds.dat_0xzzzzzz.wav", 0},
      {"sounds.dat_-zzzzzzz.wav", 0},
      {"sounds.dat_\xa0"
       "00002c0.wav",
       0},                             // only ASCII white space is skipped
      {"sounds.dat_  0 02c0.wav", 0},  // digits stop at the blank
      {"a.b.c_00000040.wav", 0x40},
      {"00000040.wav", 0x40},
  };
  for (const auto& c : cases) {
    std::uint32_t offset = 12345;
    EXPECT_TRUE(DecodePartOffset(c.name, &offset)) << c.name;
    EXPECT_EQ(offset, c.offset) << c.name;
  }
}

TEST(DecodePartOffset, RefusesNamesWithoutEightBytesBeforeTheDot) {
  std::uint32_t offset = 0;
  for (const char* name : {"0000040.wav", "no-dot-at-all-here", ".wav", ""}) {
    EXPECT_FALSE(DecodePartOffset(name, &offset)) << name;
  }
}

TEST(IsPartFileOf, TakesTheContainerNameLiterallyInEitherCase) {
  EXPECT_TRUE(IsPartFileOf("SOUNDS.dat_00000040.wav", "sounds.DAT"));
  EXPECT_TRUE(IsPartFileOf("a*b_00000040.wav", "a*b"));
  EXPECT_FALSE(IsPartFileOf("axb_00000040.wav", "a*b"));
  EXPECT_FALSE(IsPartFileOf("a?b_00000040.wav", "axb"));
  EXPECT_FALSE(IsPartFileOf("sounds.dat", "sounds.dat"));
  EXPECT_FALSE(IsPartFileOf("sounds.dat-00000040.wav", "sounds.dat"));
  EXPECT_FALSE(IsPartFileOf("sound\xe4.dat_00000040.wav", "sound\xc4.dat"));  // not UTF-8
  EXPECT_TRUE(IsPartFileOf("звуки.dat_00000040.wav", "Звуки.dat"));
  EXPECT_TRUE(IsPartFileOf("ÉTÉ.DAT_00000040.WAV", "été.dat"));
}

TEST(TakePartName, SkipsTakesOrRefusesEachNameAsWavespliceDoes) {
  const struct {
    const char* name;
    const char* container;
    PartName taken;
    std::uint32_t offset;
  } cases[] = {
      {"sounds.dat_000002c0.wav", "sounds.dat", PartName::kPart, 0x2c0},
      {"SOUNDS.DAT_000002C0.WAV", "sounds.dat", PartName::kPart, 0x2c0},
      {"sounds.dat_0x0002c0.wav", "sounds.dat", PartName::kPart, 0x2c0},
      {"sounds.dat_-0000010.wav", "sounds.dat", PartName::kPart, 0xfffffff0},
      {"sounds.dat_zzzzzzzz.wav", "sounds.dat", PartName::kPart, 0},
      {"s_00000040.x.wav", "s", PartName::kWrongLength, 0},  // one byte too many
      {"sounds.dat_2c0.wav", "sounds.dat", PartName::kWrongLength, 0},
      {"sounds.dat_000002c00.wav", "sounds.dat", PartName::kWrongLength, 0},
      {"s_.00000000wav", "s", PartName::kNoOffset, 0},  // its last '.' stands too early
  };
  for (const auto& c : cases) {
    std::uint32_t offset = 12345;
    EXPECT_EQ(TakePartName(c.name, c.container, &offset), c.taken) << c.name;
    if (c.taken == PartName::kPart) {
      EXPECT_EQ(offset, c.offset) << c.name;
    }
  }
  EXPECT_EQ(PartFileName("sounds.dat", 0x2c0), "sounds.dat_000002c0.wav");
  EXPECT_EQ(PartFileName("s", 0xffffffff), "s_ffffffff.wav");
}

TEST(HasWaveExtension, TakesWavInAnyLetterCaseAndNothingElse) {
  for (const char* name : {"a.wav", "a.WAV", "a.Wav", "a.waV", ".wav"}) {
    EXPECT_TRUE(HasWaveExtension(name)) << name;
  }
  for (const char* name : {"a.wave", "a.wa", "wav", "a_wav", "a.wav.orig", "a.w\xc3\xa1v", ""}) {
    EXPECT_FALSE(HasWaveExtension(name)) << name;
  }
}
