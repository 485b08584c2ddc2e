// Runs the tool named by WAVESPLICE in scratch directories and checks what it
// prints, its exit status and the bytes it leaves.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A RIFF chunk header with the given size field, then the rest.
std::string Wave(std::uint32_t size, const std::string& rest) {
  std::string bytes = "RIFF";
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(size >> shift);
  return bytes + rest;
}

struct Result {
  int status;
  std::string out;
  std::string err;
};

class Wavesplice : public ::testing::Test {
 protected:
  void SetUp() override {
    char made[] = "/tmp/wavesplice-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(made), nullptr);
    root_ = made;
    mkdir(Path("").c_str(), 0755);
  }
  void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }

  // Paths inside the directory the tool runs in.
  std::string Path(const std::string& name) const { return root_ + "/work/" + name; }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name) const { return Slurp(Path(name)); }

  // args go through the shell; with merged, standard error joins standard
  // output so that the order of the two can be checked.
  Result Tool(const std::string& args, bool merged = false) const {
    const std::string out = root_ + "/out", err = root_ + "/err";
    const std::string command = "cd '" + Path("") + "' && " + std::getenv("WAVESPLICE") + " " +
                                args + " >'" + out + "' 2>" + (merged ? "&1" : "'" + err + "'");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }

  std::string root_;
};

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
  const Result bare = Tool("");
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.out, "");
  EXPECT_NE(bare.err.find("usage: wavesplice"), std::string::npos);
  // Later arguments are not looked at.
  EXPECT_EQ(Tool("'A.DAT' '*'").out,
            "Replacing waves in a.dat\n"
            "Processing a.dat_00000000.wav offset 00000000 length 00000008\n");
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
  Put("a*b.dat", kDots);
  Put("a*b.dat_00000000.wav", Wave(0, ""));
  Put("axb.dat", kDots);
  Put("axb.dat_00000010.wav", Wave(0, ""));
  const std::string longName(242, 'n');  // its part file's name is the longest allowed
  Put(longName, kDots);
  Put(longName + "_00000000.wav", Wave(0, ""));
  Put(std::string(255, 'n'), kDots);
  EXPECT_EQ(Tool("'a*b.dat'").out,
            "Replacing waves in a*b.dat\n"
            "Processing a*b.dat_00000000.wav offset 00000000 length 00000008\n"
            "Replacing waves in axb.dat\n"
            "Processing axb.dat_00000010.wav offset 00000010 length 00000008\n");
  EXPECT_EQ(Get("a*b.dat"), Wave(0, "") + kDots.substr(8));
  const Result run = Tool("'n*'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Get(longName), Wave(0, "") + kDots.substr(8));
}

// Each bad part file is an error; the good part after it still lands, and
// nothing of the bad one does.
TEST_F(Wavesplice, ReportsEachPartThatCannotBeSplicedAndGoesOn) {
  const struct {
    const char* what;
    std::string contents;  // empty: made by the shell command instead
    const char* make;
    const char* printed;
    const char* error;
  } cases[] = {
      {"directory", "", "mkdir", "", "a.dat_00000000.wav: cannot read: Is a directory"},
      {"dangling link", "", "ln -s missing", "", "a.dat_00000000.wav: cannot open: No such file"},
      {"no header", "RIFF\x24", "", "", "a.dat_00000000.wav: cannot read: fewer than 8 bytes"},
      {"short wave", Wave(100, "only this"), "",
       "Processing a.dat_00000000.wav offset 00000000 length 0000006c\n",
       "a.dat_00000000.wav: holds 17 bytes, fewer than its wave length of 108"},
      {"near 4 GiB", Wave(0xfffffff0, ""), "",
       "Processing a.dat_00000000.wav offset 00000000 length fffffff8\n",
       "a.dat_00000000.wav: holds 8 bytes, fewer than its wave length of 4294967288"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Put("a.dat", kDots);
    std::system(("rm -rf '" + Path("a.dat_00000000.wav") + "'").c_str());
    if (c.contents.empty()) {
      std::system(("cd '" + Path("") + "' && " + c.make + " a.dat_00000000.wav").c_str());
    } else {
      Put("a.dat_00000000.wav", c.contents);
    }
    Put("a.dat_00000010.wav", Wave(0, ""));
    const Result run = Tool("a.dat");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Replacing waves in a.dat\n" + std::string(c.printed) +
                           "Processing a.dat_00000010.wav offset 00000010 length 00000008\n");
    EXPECT_NE(run.err.find("wavesplice: " + std::string(c.error)), std::string::npos) << run.err;
    EXPECT_EQ(Get("a.dat"), kDots.substr(0, 16) + Wave(0, "") + kDots.substr(24));
  }
}

TEST_F(Wavesplice, ReportsAContainerThatCannotBeWrittenAndGoesOn) {
  symlink("missing", Path("a.dat").c_str());
  Put("a.dat_00000000.wav", Wave(0, ""));
  symlink("/dev/full", Path("b.dat").c_str());  // the failure shows only at the flush
  Put("b.dat_00000000.wav", Wave(0, ""));
  Put("c.dat", kDots);
  Put("c.dat_00000000.wav", Wave(0, ""));
  const Result run = Tool("'*.dat'", true);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Replacing waves in a.dat\n"
            "wavesplice: a.dat: cannot open for update: No such file or directory\n"
            "Replacing waves in b.dat\n"
            "Processing b.dat_00000000.wav offset 00000000 length 00000008\n"
            "wavesplice: b.dat: cannot write b.dat_00000000.wav at offset 0x00000000: "
            "No space left on device\n"
            "Replacing waves in c.dat\n"
            "Processing c.dat_00000000.wav offset 00000000 length 00000008\n");
  EXPECT_EQ(Get("c.dat"), Wave(0, "") + kDots.substr(8));
}

}  // namespace
