// Runs the tool named by WAVESPLICE in scratch directories and checks what it
// prints, its exit status and the bytes it leaves.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <string>

#include "harness.h"

namespace {

using Wavesplice = Scratch;

const std::string kDots(32, '.');

TEST_F(Wavesplice, SplicesEachContainerInSearchOrder) {
  Put("a.dat", kDots);
  Put("a.dat_00000004.wav", Wave(4, "abcd") + "not copied");
  Put("A.DAT_00000008.WAV", Wave(2, "xy"));  // overlaps the one before and wins
  Put("a.dat_8.wav", Wave(0, ""));
  Put("b.dat", "....");
  Put("b.dat_00000010.wav", Wave(0, ""));  // beyond the end: lengthens it
  Put("c.txt", kDots);
  Put("c.txt_00000000.wav", Wave(0, ""));

  const Result run = Tool("'*.dat'");
  EXPECT_EQ(run.out,
            "Replacing waves in a.dat\n"
            "Processing a.dat_00000004.wav offset 00000004 length 0000000c\n"
            "Processing A.DAT_00000008.WAV offset 00000008 length 0000000a\n"
            "cont: a.dat_8.wav, a.dat, 11, 5\n"
            "Replacing waves in b.dat\n"
            "Processing b.dat_00000010.wav offset 00000010 length 00000008\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Get("a.dat"), "....RIFF" + Wave(2, "xy") + kDots.substr(18));
  EXPECT_EQ(Get("b.dat"), "...." + std::string(12, '\0') + Wave(0, ""));
  EXPECT_EQ(Get("c.txt"), kDots);
}

TEST_F(Wavesplice, HandlesTheArgumentAsACarefulUserExpects) {
  Put("a.dat", kDots);
  Put("a.dat_00000000.wav", Wave(0, ""));
  EXPECT_EQ(Tool("'*.none'").out, "");
  EXPECT_EQ(Tool("'*.none'").status, 0);
  // Later arguments are not used, but a shell may have made them from the
  // pattern: the run says so first, and does not pass for a whole one.
  const Result more = Tool("'A.DAT' '*'", true);
  EXPECT_EQ(more.out,
            "wavesplice: only the first argument is used; quote a pattern so that the shell "
            "does not expand it\n"
            "Replacing waves in a.dat\n"
            "Processing a.dat_00000000.wav offset 00000000 length 00000008\n");
  EXPECT_EQ(more.status, 1);
}

TEST_F(Wavesplice, LooksInTheArgumentsDirectoryAndAnnouncesBareNames) {
  mkdir(Path("sub").c_str(), 0755);
  Put("sub/a.dat", kDots);
  Put("sub/a.dat_00000000.wav", Wave(0, ""));
  Put("a.dat", kDots);
  Put("a.dat_00000008.wav", Wave(0, ""));
  const Result run = Tool("'sub/*.dat'");
  EXPECT_EQ(run.out,
            "Replacing waves in a.dat\n"
            "Processing a.dat_00000000.wav offset 00000000 length 00000008\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Get("sub/a.dat"), Wave(0, "") + kDots.substr(8));
  EXPECT_EQ(Get("a.dat"), kDots);
}

TEST_F(Wavesplice, PassesOverDirectoriesQuietly) {
  mkdir(Path("d").c_str(), 0755);
  const Result run = Tool("'*'");
  EXPECT_EQ(run.out, "Replacing waves in .\nReplacing waves in ..\nReplacing waves in d\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  // The folder itself, named as typed on every system.
  const struct {
    const char* arg;
    const char* shown;
  } folders[] = {{".", "."}, {"..", ".."}, {"d/.", "."}, {"d/..", ".."}};
  for (const auto& f : folders) {
    const Result named = Tool(f.arg);
    EXPECT_EQ(named.out, "Replacing waves in " + std::string(f.shown) + "\n") << f.arg;
    EXPECT_EQ(named.status, 0) << f.arg;
  }
}

TEST_F(Wavesplice, CopiesWhatTheSizeFieldSaysAfterItWraps) {
  Put("zero.dat", kDots);
  Put("zero.dat_00000000.wav", Wave(0xfffffff8, "data"));
  Put("seven.dat", kDots);
  Put("seven.dat_00000000.wav", Wave(0xffffffff, "data"));
  const Result run = Tool("'*.dat'");
  EXPECT_EQ(run.out,
            "Replacing waves in seven.dat\n"
            "Processing seven.dat_00000000.wav offset 00000000 length 00000007\n"
            "Replacing waves in zero.dat\n"
            "Processing zero.dat_00000000.wav offset 00000000 length 00000000\n");
  EXPECT_EQ(Get("seven.dat"), Wave(0xffffffff, "").substr(0, 7) + kDots.substr(7));
  EXPECT_EQ(Get("zero.dat"), kDots);

  // Waves shorter and longer than what is read with the header, each with
  // bytes after it that are not copied.
  for (const std::size_t samples : {1000, 700000}) {
    const std::string wave = Wave(static_cast<std::uint32_t>(samples), std::string(samples, 's'));
    Put("big.dat", std::string(samples + 100, '.'));
    Put("big.dat_00000010.wav", wave + "after");
    EXPECT_EQ(Tool("big.dat").status, 0);
    EXPECT_EQ(Get("big.dat"), std::string(16, '.') + wave + std::string(76, '.')) << samples;
  }
}

TEST_F(Wavesplice, ReachesOffsetsFrom2GiBUp) {
  Put("a.dat", kDots);
  Put("a.dat_80000000.wav", Wave(0, ""));
  EXPECT_EQ(Tool("a.dat").status, 0);
  std::ifstream container(Path("a.dat"), std::ios::binary);
  container.seekg(0x80000000LL);
  std::string tail(9, '?');
  container.read(&tail[0], 9);
  EXPECT_EQ(container.gcount(), 8);
  EXPECT_EQ(tail.substr(0, 8), Wave(0, ""));
}

TEST_F(Wavesplice, TakesTheContainerNameLiterallyInItsPartSearch) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: '*' in a file name";
  Put("a*b.dat", kDots);
  Put("a*b.dat_00000000.wav", Wave(0, ""));
  Put("axb.dat", kDots);
  Put("axb.dat_00000010.wav", Wave(0, ""));
  EXPECT_EQ(Tool("'a*b.dat'").out,
            "Replacing waves in a*b.dat\n"
            "Processing a*b.dat_00000000.wav offset 00000000 length 00000008\n"
            "Replacing waves in axb.dat\n"
            "Processing axb.dat_00000010.wav offset 00000010 length 00000008\n");
  EXPECT_EQ(Get("a*b.dat"), Wave(0, "") + kDots.substr(8));
}

TEST_F(Wavesplice, HandlesNamesOfAnyLength) {
  const std::string longName(242, 'n');  // its part file's name is the longest allowed
  Put(longName, kDots);
  Put(longName + "_00000000.wav", Wave(0, ""));
  Put(std::string(255, 'n'), kDots);
  const Result run = Tool("'n*'");
  // Windows cannot search past 260 characters: the part searches of the
  // two 255-byte names fail, and say so.
  EXPECT_EQ(run.status, onWindows ? 1 : 0);
  EXPECT_EQ(run.err.find(": cannot search for its part files: ") != std::string::npos, onWindows)
      << run.err;
  EXPECT_EQ(Get(longName), Wave(0, "") + kDots.substr(8));
}

TEST_F(Wavesplice, TakesAWindowsFolderPart) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: '\\' and drives";
  mkdir(Path("sub").c_str(), 0755);
  for (const std::string& pattern :
       {std::string("'sub\\*.dat'"), "'Z:" + Path("sub/A.DAT") + "'"}) {
    Put("sub/a.dat", kDots);
    Put("sub/a.dat_00000000.wav", Wave(0, ""));
    EXPECT_EQ(Tool(pattern).out,
              "Replacing waves in a.dat\n"
              "Processing a.dat_00000000.wav offset 00000000 length 00000008\n");
    EXPECT_EQ(Get("sub/a.dat"), Wave(0, "") + kDots.substr(8));
  }
}

// A bad part file is an error; the good part after it still lands, and
// nothing of the bad one does.
struct BadPart {
  const char* what;
  std::string contents;  // when empty, made by the shell command instead
  const char* make;
  const char* printed;
  const char* error;
  const char* windowsError;  // null where the case cannot hold on Windows
};

class BadParts : public Scratch, public ::testing::WithParamInterface<BadPart> {};

TEST_P(BadParts, AreReportedAndTheRunGoesOn) {
  const BadPart& bad = GetParam();
  const char* error = onWindows ? bad.windowsError : bad.error;
  if (error == nullptr) GTEST_SKIP() << "cannot hold on Windows: a Linux file of its kind";
  Put("a.dat", kDots);
  if (bad.contents.empty()) {
    std::system(("cd '" + Path("") + "' && " + bad.make + " a.dat_00000000.wav").c_str());
  } else {
    Put("a.dat_00000000.wav", bad.contents);
  }
  Put("a.dat_00000010.wav", Wave(0, ""));
  const Result run = Tool("a.dat");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Replacing waves in a.dat\n" + std::string(bad.printed) +
                         "Processing a.dat_00000010.wav offset 00000010 length 00000008\n");
  EXPECT_NE(run.err.find("wavesplice: a.dat_00000000.wav: " + std::string(error)),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Get("a.dat"), kDots.substr(0, 16) + Wave(0, "") + kDots.substr(24));
}

INSTANTIATE_TEST_SUITE_P(
    Wavesplice, BadParts,
    ::testing::Values(
        BadPart{"Directory", "", "mkdir", "", "a folder or a device, not a file",
                "a folder or a device, not a file"},
        // Opened without waiting for a writer that never comes.
        BadPart{"Fifo", "", "mkfifo", "", "a folder or a device, not a file", nullptr},
        BadPart{"Device", "", "ln -s /dev/zero", "", "a folder or a device, not a file", nullptr},
        BadPart{"DanglingLink", "", "ln -s missing", "", "cannot open: No such file", nullptr},
        BadPart{"NoHeader", "RIFF\x24", "", "", "cannot read: fewer than 8 bytes",
                "cannot read: fewer than 8 bytes"},
        BadPart{"ShortWave", Wave(100, "only this"), "",
                "Processing a.dat_00000000.wav offset 00000000 length 0000006c\n",
                "holds 17 bytes, fewer than its wave length of 108",
                "holds 17 bytes, fewer than its wave length of 108"},
        // Refused from the file's size: no 4 GiB buffer is asked for.
        BadPart{"Near4GiB", Wave(0xfffffff0, ""), "",
                "Processing a.dat_00000000.wav offset 00000000 length fffffff8\n",
                "holds 8 bytes, fewer than its wave length of 4294967288",
                "holds 8 bytes, fewer than its wave length of 4294967288"}),
    [](const ::testing::TestParamInfo<BadPart>& info) { return std::string(info.param.what); });

TEST_F(Wavesplice, ReportsAContainerThatCannotBeWrittenAndGoesOn) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: /dev/full and a dangling link";
  symlink("missing", Path("a.dat").c_str());
  Put("a.dat_00000000.wav", Wave(0, ""));
  symlink("/dev/full", Path("b.dat").c_str());  // a device takes no waves
  Put("b.dat_00000000.wav", Wave(0, ""));
  mkfifo(Path("bb.dat").c_str(), 0644);  // nor a FIFO, and nobody waits for one
  Put("bb.dat_00000000.wav", Wave(0, ""));
  Put("c.dat", kDots);
  Put("c.dat_00000000.wav", Wave(0, ""));
  const Result run = Tool("'*.dat'", true);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Replacing waves in a.dat\n"
            "wavesplice: a.dat: cannot open for update: No such file or directory\n"
            "Replacing waves in b.dat\n"
            "wavesplice: b.dat: a folder or a device, not a file\n"
            "Replacing waves in bb.dat\n"
            "wavesplice: bb.dat: a folder or a device, not a file\n"
            "Replacing waves in c.dat\n"
            "Processing c.dat_00000000.wav offset 00000000 length 00000008\n");
  EXPECT_EQ(Get("c.dat"), Wave(0, "") + kDots.substr(8));
}

TEST_F(Wavesplice, SaysWhenAWriteFailsPartwayAndGoesOn) {
  if (failWrites.empty()) GTEST_SKIP() << "cannot hold here: writes failed through LD_PRELOAD";
  Put("a.dat", kDots);
  Put("a.dat_00000000.wav", Wave(4, "abcd"));
  Put("a.dat_00000010.wav", Wave(4, "efgh"));
  // A sanitized build wants its runtime first; ours only wraps two calls.
  const Result run = Tool(
      "a.dat", false,
      "LD_PRELOAD='" + failWrites + "' ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" ");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Replacing waves in a.dat\n"
            "Processing a.dat_00000000.wav offset 00000000 length 0000000c\n"
            "Processing a.dat_00000010.wav offset 00000010 length 0000000c\n");
  EXPECT_EQ(run.err,
            "wavesplice: a.dat: cannot write a.dat_00000000.wav at offset 0x00000000: "
            "Input/output error; part of the wave may have been written\n"
            "wavesplice: a.dat: cannot write a.dat_00000010.wav at offset 0x00000010: "
            "Input/output error; part of the wave may have been written\n");
  // Half of each wave, as the failing disk let through.
  EXPECT_EQ(Get("a.dat"), Wave(4, "abcd").substr(0, 6) + kDots.substr(6, 10) +
                              Wave(4, "efgh").substr(0, 6) + kDots.substr(22));
}

// A write the system cuts short, or interrupts before it writes, is no
// failure: the rest of the wave is written after it.
TEST_F(Wavesplice, WritesTheWholeWaveAfterAShortOrInterruptedWrite) {
  if (failWrites.empty()) GTEST_SKIP() << "cannot hold here: writes failed through LD_PRELOAD";
  for (const char* mode : {"short", "eintr"}) {
    Put("a.dat", kDots);
    Put("a.dat_00000010.wav", Wave(4, "abcd"));
    const Result run = Tool("a.dat", false,
                            std::string("FAIL_WRITES=") + mode + " LD_PRELOAD='" + failWrites +
                                "' ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" ");
    EXPECT_EQ(run.status, 0) << mode << ": " << run.err;
    EXPECT_EQ(run.err, "") << mode;
    EXPECT_EQ(Get("a.dat"), kDots.substr(0, 16) + Wave(4, "abcd") + kDots.substr(28)) << mode;
  }
}

TEST_F(Wavesplice, RefusesAPartPastAFileSizeLimitWholeAndGoesOn) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: no ulimit";
  const std::string bank(1024, '.');
  Put("a.dat", bank);
  Put("a.dat_000003f8.wav", Wave(8, "abcdefgh"));  // would lengthen the container
  Put("a.dat_0x000010.wav", Wave(0, ""));          // comes later in the search
  const Result run = Tool("a.dat", false, "ulimit -f 1 && ");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Replacing waves in a.dat\n"
            "Processing a.dat_000003f8.wav offset 000003f8 length 00000010\n"
            "Processing a.dat_0x000010.wav offset 00000010 length 00000008\n");
  EXPECT_EQ(run.err,
            "wavesplice: a.dat: no room to write a.dat_000003f8.wav at offset 0x000003f8: File "
            "too large; nothing written\n");
  // Not one byte of the refused wave landed, and the container kept its length.
  EXPECT_EQ(Get("a.dat"), bank.substr(0, 16) + Wave(0, "") + bank.substr(24));
}

TEST_F(Wavesplice, RefusesAPartWhereAHoleHasNoRoom) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: a file system of its own";
  if (geteuid() != 0 ||
      std::system("unshare -m mount -t tmpfs -o size=4k tmpfs /mnt 2>/dev/null") != 0) {
    GTEST_SKIP() << "cannot run: needs root to mount a small file system of its own";
  }
  const char* tool = std::getenv("WAVESPLICE");
  ASSERT_NE(tool, nullptr);
  Put("voice.wav", PcmWave(8000, 1, 8, 20000));  // 0x4e4c bytes
  // Containers with holes, on a file system with room left for fewer waves
  // than they would take: no hole may take half of one.
  const struct {
    const char* what;
    const char* make;  // s.dat and its parts
    const char* room;  // bytes left free
    const char* out;   // the lines before the refused part's
    const char* refused;
    const char* part;  // the refused part
  } cases[] = {
      {"sparse", "truncate -s 1M s.dat && cp ../voice.wav s.dat_00000100.wav", "8192", "",
       "00000100", "s.dat_00000100.wav"},
      {"room kept past its end",
       "truncate -s 64k s.dat && fallocate -n -o 64k -l 64k s.dat && "
       "cp ../voice.wav s.dat_00000100.wav",
       "8192", "", "00000100", "s.dat_00000100.wav"},
      {"a hole the run makes",
       "head -c 64k /dev/zero >s.dat && cp ../voice.wav s.dat_00020000.wav && "
       "cp ../voice.wav s.dat_0x018000.wav",
       "24576", "Processing s.dat_00020000.wav offset 00020000 length 00004e4c\n", "00018000",
       "s.dat_0x018000.wav"},
      {"past its end, with no hole",
       "head -c 64k /dev/zero >s.dat && cp ../voice.wav s.dat_00010000.wav", "8192", "", "00010000",
       "s.dat_00010000.wav"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string refused = c.part;
    const Result run = Script(
        "export OUT ERR STATUS; rm -rf full; mkdir full && unshare -m bash -c '"
        "mount -t tmpfs -o size=128k tmpfs full && cd full && " +
            std::string(c.make) +
            " && { cat /dev/zero >fill 2>/dev/null; true; } && "
            "truncate -s $(( $(stat -c %s fill) - " +
            c.room + " )) fill && " + tool +
            " s.dat >\"$OUT\" 2>\"$ERR\"; echo $? >\"$STATUS\"; "
            // Nothing of the refused wave landed: its bytes still read as zeros.
            "dd if=s.dat bs=4k skip=$((0x" +
            c.refused + " / 4096)) count=5 status=none | tr -d \"\\000\" | wc -c >>\"$OUT\"'",
        false);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Replacing waves in s.dat\n" + std::string(c.out) + "Processing " + refused +
                           " offset " + c.refused + " length 00004e4c\n0\n");
    EXPECT_EQ(run.err, "wavesplice: s.dat: no room to write " + refused + " at offset 0x" +
                           c.refused + ": No space left on device; nothing written\n");
  }
}

TEST_F(Wavesplice, ReportsFilesItMayNotReadOrWriteAndGoesOn) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: Wine runs as root here";
  chmod(root_.c_str(), 0777);
  chmod(Path("").c_str(), 0777);
  std::string skip;
  const std::string wrap = Unprivileged(&skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  for (const char* name : {"a.dat", "b.dat", "c.dat"}) Put(name, kDots);
  Put("a.dat_00000000.wav", Wave(0, ""));
  Put("a.dat_00000010.wav", Wave(0, ""));
  Put("b.dat_00000000.wav", Wave(0, ""));
  Put("c.dat_00000000.wav", Wave(0, ""));
  chmod(Path("a.dat").c_str(), 0666);
  chmod(Path("c.dat").c_str(), 0666);
  chmod(Path("a.dat_00000000.wav").c_str(), 0);
  chmod(Path("b.dat").c_str(), 0444);
  const Result run = Tool("'*.dat'", false, wrap);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Replacing waves in a.dat\n"
            "Processing a.dat_00000010.wav offset 00000010 length 00000008\n"
            "Replacing waves in b.dat\n"
            "Replacing waves in c.dat\n"
            "Processing c.dat_00000000.wav offset 00000000 length 00000008\n");
  EXPECT_NE(run.err.find("wavesplice: a.dat_00000000.wav: cannot open: Permission denied"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("wavesplice: b.dat: cannot open for update: Permission denied"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Get("a.dat"), kDots.substr(0, 16) + Wave(0, "") + kDots.substr(24));
  EXPECT_EQ(Get("b.dat"), kDots);
  EXPECT_EQ(Get("c.dat"), Wave(0, "") + kDots.substr(8));
}

}  // namespace
