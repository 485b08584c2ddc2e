// The Windows programs on a console: every name shows as it is spelt, in any
// language, whatever the console's code page, and the code page is the one
// the console had. Wine gives them a console when they run on a terminal,
// and shows there what they write to it in the terminal's UTF-8.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "harness.h"

namespace {

class Console : public Scratch {
 protected:
  // What the terminal shows of the program's run through the launcher, its
  // cursor movements left out: the code page, the program's lines, the code
  // page after it.
  std::string Screen(const std::string& program, const std::string& args, int* status) const {
    const std::string terminal = root_ + "/terminal";
    // Wide enough that no line wraps.
    const std::string line = "cd '" + Path("") + "' && script -qec \"stty cols 300 && " +
                             launcherCommand + " console " + program + " " + args +
                             "\" /dev/null >'" + terminal + "' 2>&1 </dev/null";
    const int run = std::system(line.c_str());
    *status = WIFEXITED(run) ? WEXITSTATUS(run) : -1;
    const std::string shown =
        std::regex_replace(Slurp(terminal), std::regex("\x1b\\[[0-9;?]*[A-Za-z]|\r"), "");
    return shown;
  }
};

TEST_F(Console, ShowsEveryNameAsItIsAndLeavesTheCodePageAlone) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: the console";
  Put("日本.dat", std::string(64, '.'));
  Put("日本.dat_00000000.wav", Wave(4, "abcd"));
  Put("звуки.dat", PcmWave(8000, 1, 8, 8));
  mkdir(Path("звуки.dat_00000000.wav").c_str(), 0755);
  const std::string folder =
      "wavesplice: звуки.dat_00000000.wav: a folder or a device, not a file\n";
  const struct {
    const char* program;
    const char* args;
    int status;
    std::string shown;
    std::string file;  // what out.txt holds after it, lines ending in CRLF
  } cases[] = {
      {"wavesplice", "'*.dat'", 1,
       "Replacing waves in звуки.dat\n" + folder +
           "Replacing waves in 日本.dat\n"
           "Processing 日本.dat_00000000.wav offset 00000000 length 0000000c\n",
       ""},
      // Errors still show on the console; the rest goes to the file as it is.
      {"wavesplice", "'*.dat' >out.txt", 1, folder,
       "Replacing waves in звуки.dat\r\nReplacing waves in 日本.dat\r\n"
       "Processing 日本.dat_00000000.wav offset 00000000 length 0000000c\r\n"},
      {"wavescan", "--extract звуки.dat", 1,
       "Scanning звуки.dat, 52 bytes\n"
       "  wave 00000000 length 00000034: PCM, 1 channel, 8000 Hz, 8 bits, 0.001 s; not extracted: "
       "звуки.dat is itself a wave file; edit it directly\n"
       "  part звуки.dat_00000000.wav offset 00000000: PROBLEM: wavesplice would refuse it: a "
       "folder or a device, not a file\n"
       "звуки.dat: 1 wave, 1 part file: 0 fit, 0 shorter, 1 with a problem, 0 skipped, 0 "
       "extracted\n",
       ""},
      {"wavescan", "--extrac 日本.dat", 2,
       "wavescan: unknown option --extrac\n"
       "usage: wavescan [--json] [--extract] [--fit] [--moved-from OLD-FOLDER] "
       "CONTAINER-OR-PATTERN\n"
       "       wavescan --help | --version\n",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.args);
    int status = 0;
    EXPECT_EQ(Screen(c.program, c.args, &status), "codepage=850\n" + c.shown + "codepage=850\n");
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(Slurp(Path("out.txt")), c.file);
    std::remove(Path("out.txt").c_str());
  }
}

}  // namespace
