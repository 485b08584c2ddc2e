// What Windows does differently: its search also matches short (8.3)
// aliases, its paths have a length limit, programs are started without
// standard handles, and other programs hold files open. The cases hold on
// Linux too, where the Windows-only ones are skipped.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "harness.h"

namespace {

using OnWindows = Scratch;

const std::string kBank(64, '.');

TEST_F(OnWindows, TakesNoFileThroughItsShortAlias) {
  const struct {
    const char* pattern;
    std::vector<const char*> others;  // each with an alias the pattern matches
    const char* part;                 // a part file of the first other
    const char* out;
  } cases[] = {
      {"'*.dat'",
       {"bank.dat2", "x.data", "y.dat~"},
       "bank.dat2_00000040.wav",
       "Replacing waves in bank.dat\n"},
      // Its alias SFX_~XXX.WAV matches sfx_*.wav, and its offset would read as 0.
      {"sfx", {}, "sfx_0000040.wave", "Replacing waves in sfx\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    Put(c.pattern[0] == 's' ? "sfx" : "bank.dat", kBank);
    for (const char* name : c.others) Put(name, kBank);
    Put(c.part, Wave(0, ""));
    const Result run = Tool(c.pattern);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    for (const char* name : c.others) EXPECT_EQ(Get(name), kBank) << name;
    EXPECT_EQ(Get(c.pattern[0] == 's' ? "sfx" : "bank.dat"), kBank);
  }
}

TEST_F(OnWindows, TakesANameWithoutWildcardsAsWindowsResolvesIt) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: names the system resolves";
  Put("soundbank.dat", kBank);
  Put("soundbank.dat_00000000.wav", Wave(0, ""));
  const Result alias = Run(launcherCommand, false, "short soundbank.dat");
  ASSERT_EQ(alias.status, 0);
  ASSERT_NE(alias.out.find('~'), std::string::npos) << alias.out;
  // Windows drops a name's trailing dots and blanks.
  for (const std::string& name : {std::string("soundbank.dat."), std::string("soundbank.dat "),
                                  alias.out.substr(0, alias.out.size() - 1)}) {
    const Result run = Tool("'" + name + "'");
    EXPECT_EQ(run.out,
              "Replacing waves in soundbank.dat\n"
              "Processing soundbank.dat_00000000.wav offset 00000000 length 00000008\n")
        << name;
    EXPECT_EQ(run.status, 0) << name;
  }
}

TEST_F(OnWindows, NeverPassesOverPartsInSilenceAtThePathLimit) {
  // The folder and the container's name stay under Windows' 260
  // characters; the part search's pattern, 6 longer, passes them.
  const std::string folder(250, 'f');
  mkdir(Path(folder).c_str(), 0755);
  Put(folder + "/c.dat", kBank);
  Put(folder + "/c.dat_00000000.wav", Wave(0, ""));
  const Result run = Tool(folder + "/c.dat");
  EXPECT_EQ(run.out.substr(0, 25), "Replacing waves in c.dat\n");
  if (run.status == 0) {
    EXPECT_EQ(Get(folder + "/c.dat"), Wave(0, "") + kBank.substr(8));
  } else {
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("c.dat: cannot search for its part files: "), std::string::npos)
        << run.err;
    EXPECT_EQ(Get(folder + "/c.dat"), kBank);
    // A script is told too, as of a container it could not read.
    const Result scan = Scan("--json " + folder + "/c.dat");
    EXPECT_EQ(scan.status, 1);
    EXPECT_NE(scan.out.find("\"error\":\"cannot search for its part files: "), std::string::npos)
        << scan.out;
  }
}

TEST_F(OnWindows, RunsWithoutStandardHandles) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: started without handles";
  Put("a.dat", kBank);
  Put("a.dat_00000000.wav", Wave(0, ""));
  Put("b.dat", PcmWave(8000, 1, 8, 8) + "tail");  // more than its one wave
  EXPECT_EQ(Run(launcherCommand, false, "detached wavesplice a.dat").status, 0);
  EXPECT_EQ(Get("a.dat"), Wave(0, "") + kBank.substr(8));
  EXPECT_EQ(Run(launcherCommand, false, "detached wavescan --extract b.dat").status, 0);
  EXPECT_EQ(Get("b.dat_00000000.wav"), PcmWave(8000, 1, 8, 8));
}

TEST_F(OnWindows, SaysABankHasItsReadOnlyAttribute) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: the Read-only attribute";
  Put("bank.dat", kBank);
  Put("bank.dat_00000000.wav", Wave(4, "WAVE"));
  chmod(Path("bank.dat").c_str(), 0444);  // what Wine shows as the attribute
  const Result run = Scan("bank.dat");
  EXPECT_NE(run.out.find("PROBLEM: wavesplice could not open the container for update: read-only: "
                         "its Read-only attribute is set\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.status, 1);
  // And wavesplice leaves it, even run by an administrator (Wine runs as
  // root here), who may write it.
  const Result splice = Tool("bank.dat");
  EXPECT_EQ(splice.out, "Replacing waves in bank.dat\n");
  EXPECT_EQ(splice.err,
            "wavesplice: bank.dat: cannot open for update: read-only: its Read-only attribute is "
            "set\n");
  EXPECT_EQ(splice.status, 1);
  chmod(Path("bank.dat").c_str(), 0644);
  EXPECT_EQ(Get("bank.dat"), kBank);
}

TEST_F(OnWindows, FitsNoPartAnotherProgramHolds) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: files held without sharing";
  Put("bank.dat", std::string(64, 'U') + PcmWave(8000, 1, 8, 400));
  const std::string part = PcmWave(16000, 1, 16, 600);
  Put("bank.dat_00000040.wav", part);
  const Result run =
      Run(launcherCommand, false, "play bank.dat_00000040.wav wavescan --fit bank.dat");
  EXPECT_NE(run.out.find("; not fitted: it may not be replaced: in use by another program\n"),
            std::string::npos)
      << run.out << run.err;
  EXPECT_EQ(Get("bank.dat_00000040.wav"), part);
  EXPECT_NE(access(Path("bank.dat_00000040.wav.orig").c_str(), F_OK), 0);
}

TEST_F(OnWindows, TakesWindowsOwnWildcardsForNoOtherName) {
  // '<', '>' and '"' are wildcards to Windows' search, which would match
  // bank.dat and voices.dat; elsewhere they are letters of names.
  Put("bank.dat", kBank);
  Put("bank.dat_00000000.wav", Wave(0, ""));
  Put("voices.dat", kBank);
  Put("voices.dat_00000000.wav", Wave(0, ""));
  for (const char* pattern : {"'bank>dat'", "'>>>>>>.dat'", "'bank\"dat'", "'<.dat'"}) {
    const Result run = Tool(pattern);
    EXPECT_EQ(run.out, "") << pattern;
    EXPECT_EQ(run.status, 0) << pattern;
  }
  EXPECT_EQ(Get("bank.dat"), kBank);
  EXPECT_EQ(Get("voices.dat"), kBank);
}

TEST_F(OnWindows, SaysANameTheSearchMayHaveCutShort) {
  // To Wine each byte 0xff is U+FFFD, 3 bytes: 301 in all, cut at 259,
  // where ".dat" no longer matches. Natively, a name like any other.
  const std::string longName = "a" + std::string(100, '\xff') + ".dat";
  Put("bank.dat", kBank);
  Put("bank.dat_00000000.wav", Wave(0, ""));
  Put(longName, kBank);
  const struct {
    bool scan;
    const char* out;  // a line of it
  } runs[] = {{false, "Replacing waves in bank.dat\n"}, {true, "Scanning bank.dat, 64 bytes\n"}};
  for (const auto& c : runs) {
    const Result run = c.scan ? Scan("'*.dat'") : Tool("'*.dat'");
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    const bool said =
        run.err.find(
            ".: cannot list: the system gave a name of 259 bytes, which it "
            "may have cut short, and it is left out: a\xef\xbf\xbd") != std::string::npos;
    EXPECT_EQ(said, onWindows) << run.err;
    EXPECT_EQ(run.out.find("Replacing waves in a") != std::string::npos, !onWindows && !c.scan);
    EXPECT_EQ(run.status, onWindows ? 1 : c.scan ? 1 : 0) << run.err;
  }
  EXPECT_EQ(Get("bank.dat"), Wave(0, "") + kBank.substr(8));
}

TEST_F(OnWindows, SaysAFileIsHeldByAnotherProgram) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: files held without sharing";
  Put("a.dat", kBank);
  Put("a.dat_00000000.wav", Wave(0, ""));
  for (const char* held : {"a.dat", "a.dat_00000000.wav"}) {
    const Result run =
        Run(launcherCommand, false, std::string("hold ") + held + " wavesplice a.dat");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(std::string("wavesplice: ") + held + ": cannot open"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(": in use by another program\n"), std::string::npos) << run.err;
    EXPECT_EQ(Get("a.dat"), kBank);
  }
}

}  // namespace

namespace {

TEST_F(OnWindows, RefusesAPartPastTheEndOfAFullDiskWhole) {
  // Natively, the same rows run in a file system of their own (e2e_test.cpp).
  if (!onWindows) GTEST_SKIP() << "only on Windows: its own way of making room";
  // Wine's server must see the small file system, so it is mounted where
  // both see it, and taken away at the end.
  const std::string work = Path("");
  if (geteuid() != 0 ||
      std::system(("mount -t tmpfs -o size=128k tmpfs '" + work + "'").c_str()) != 0) {
    GTEST_SKIP() << "cannot run: needs root to mount a small file system";
  }
  Put("s.dat", std::string(65536, '\0'));
  Put("s.dat_00010000.wav", PcmWave(8000, 1, 8, 20000));  // 0x4e4c bytes
  std::system(("cd '" + work + "' && { cat /dev/zero >fill 2>/dev/null; true; } && " +
               "truncate -s $(( $(stat -c %s fill) - 8192 )) fill")
                  .c_str());
  const Result run = Tool("s.dat");
  const std::string bank = Get("s.dat");
  std::system(("umount '" + work + "'").c_str());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Replacing waves in s.dat\n"
            "Processing s.dat_00010000.wav offset 00010000 length 00004e4c\n");
  EXPECT_EQ(run.err.rfind("wavesplice: s.dat: no room to write s.dat_00010000.wav at offset "
                          "0x00010000: ",
                          0),
            0u)
      << run.err;
  EXPECT_NE(run.err.find("; nothing written\n"), std::string::npos) << run.err;
  EXPECT_EQ(bank, std::string(65536, '\0'));  // its length kept
}

}  // namespace
