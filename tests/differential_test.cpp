// The Windows build searches with the system's FindFirstFileA, the Linux
// build with our own layer: in the same folders, with the same patterns, both
// must announce the same names in the same order.
#include <sys/stat.h>

#include <string>

#include "harness.h"

namespace {

using Differential = Scratch;

TEST_F(Differential, BothSearchesAnnounceTheSameNamesInTheSameOrder) {
  ASSERT_FALSE(nativeCommand.empty()) << "run with --native=COMMAND";
  // Mixed case, names equal but for case, brackets, several dots, no
  // extension, '_' beside letters, a folder, names whose short aliases
  // match patterns they do not, and names beyond ASCII, whose characters '?'
  // takes whole and whose letters match and are ordered in either case:
  // Latin, Cyrillic, Greek with its final sigma, which has no upper case of
  // its own.
  for (const char* name : {"a",
                           "A.DAT",
                           "b.Dat",
                           "B.dAT.bak",
                           "x[1]",
                           "X[1]y",
                           "x1",
                           "a.b.c",
                           "noext",
                           "NOEXT2",
                           "a_b",
                           "A_",
                           "_a",
                           "__",
                           "ab",
                           "Ab",
                           "abc",
                           "z.tar.gz",
                           "sounds.dat_00000040.wav",
                           "Sounds.DAT",
                           "bank.dat2",
                           "x.data",
                           "y.dat~",
                           "sfx",
                           "sfx_0000040.wave",
                           "café.dat",
                           "cafe.dat",
                           "ä",
                           "звуки.dat",
                           "効果音.dat",
                           "日本.dat",
                           "ÉTÉ.DAT",
                           "ёлка.dat",
                           "ЁЛКА2.dat",
                           "ήχος.dat",
                           "ΉΧΟΣ.dat",
                           "éa",
                           "Éb",
                           "яa",
                           "Яb"}) {
    Put(name, "x");
  }
  mkdir(Path("sub.dat").c_str(), 0755);
  for (const char* pattern :
       {"*",        "*.*",    "*.dat", "a.*",     "?",        "A?",     "x[1]*",     "SOUNDS.dat",
        "b.DAT",    "*.?AT",  "a*b*",  "noext.*", "*.gz",     "s*.wav", "sfx_*.wav", "*.dat?",
        "caf?.dat", "??.dat", "*音*",  "з*",      "é*",       "É?",     "Я*",        "ЁЛ*",
        "ήχο?.dat", "ΉΧΟΣ.*", "?T?.*", "*Ё*",     "ЗВУКИ.DAT"}) {
    SCOPED_TRACE(pattern);
    const std::string quoted = std::string("'") + pattern + "'";
    const Result native = Run(nativeCommand, false, quoted);
    const Result windows = Tool(quoted);
    EXPECT_EQ(windows.out, native.out);
    EXPECT_EQ(windows.status, native.status);
  }
}

TEST_F(Differential, BothBuildsFitAPartToTheSameBytes) {
  ASSERT_FALSE(nativeCommand.empty()) << "run with --native=COMMAND";
  // wavescan beside each build's wavesplice.
  const std::string native =
      nativeCommand.substr(0, nativeCommand.rfind("wavesplice")) + "wavescan";
  // A stereo 44.1 kHz part into slots that resample, mix, dither and cut.
  // And slots that code: IMA ADPCM and MS ADPCM, each ending in a part
  // block.
  const std::string bank = std::string(64, 'U') + PcmWave(22050, 1, 8, 3000) +
                           std::string(16, 'U') + PcmWave(48000, 2, 16, 2000) +
                           AdpcmWave(0x11, 2, 512, 4, 505, 0, 512 * 9 + 100) +
                           AdpcmWave(2, 1, 256, 4, 500, 7, 256 * 9 + 51);
  const char* parts[] = {"bank.dat_00000040.wav", "bank.dat_00000c34.wav", "bank.dat_00002ba0.wav",
                         "bank.dat_00003e40.wav"};
  for (const char* build : {"linux", "windows"}) {
    mkdir(Path(build).c_str(), 0755);
    Put(std::string(build) + "/bank.dat", bank);
    for (const char* part : parts) {
      Put(std::string(build) + "/" + part, PcmWave(44100, 2, 16, 5000));
    }
  }
  EXPECT_EQ(Run(native, false, "--fit linux/bank.dat").status, 0);
  EXPECT_EQ(Scan("--fit windows/bank.dat").status, 0);
  for (const char* part : parts) {
    SCOPED_TRACE(part);
    EXPECT_NE(Get(std::string("linux/") + part), PcmWave(44100, 2, 16, 5000));
    EXPECT_EQ(Get(std::string("windows/") + part), Get(std::string("linux/") + part));
  }
}

}  // namespace
