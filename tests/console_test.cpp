// The Windows programs on a console: while they run, its output code page is
// UTF-8, and the one it had is back when they end, however they end. Wine
// gives them a console when they run on a terminal; its relay trace shows
// each call they make to the system.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "harness.h"

namespace {

class Console : public Scratch {
 protected:
  // Runs command with args (redirections included) on a terminal, and
  // returns the code pages it set, in order, then the one it found.
  std::vector<std::string> CodePagesSet(const std::string& command, const std::string& args,
                                        int* status) const {
    const std::string terminal = root_ + "/terminal";
    const std::string line = "cd '" + Path("") + "' && script -qec \"WINEDEBUG=+relay " + command +
                             " " + args + "\" /dev/null >'" + terminal + "' 2>&1 </dev/null";
    const int run = std::system(line.c_str());
    *status = WIFEXITED(run) ? WEXITSTATUS(run) : -1;
    // The trace goes where the program's standard error does.
    const std::string trace = Slurp(terminal) + Slurp(Path("err.txt"));
    std::vector<std::string> pages;
    const std::regex call("Call KERNEL32\\.SetConsoleOutputCP\\(([0-9a-f]+)\\)");
    for (std::sregex_iterator i(trace.begin(), trace.end(), call), end; i != end; ++i) {
      pages.push_back((*i)[1]);
    }
    std::smatch found;
    const std::regex got("Ret  KERNEL32\\.GetConsoleOutputCP\\(\\) retval=([0-9a-f]+)");
    if (std::regex_search(trace, found, got)) pages.push_back(found[1]);
    return pages;
  }
};

TEST_F(Console, ShowsUtf8WhileAProgramRunsAndPutsTheCodePageBack) {
  if (!onWindows) GTEST_SKIP() << "only on Windows: the console's code page";
  Put("a.dat", std::string(64, '.'));
  Put("a.dat_00000000.wav", Wave(4, "abcd"));
  Put("b.dat", "....");
  Put("c.dat", "....");
  mkdir(Path("b.dat_00000000.wav").c_str(), 0755);
  const struct {
    bool scan;
    const char* args;
    int status;
    bool set;  // false: the code page is left alone
  } cases[] = {
      {false, "a.dat", 0, true},
      {false, "b.dat", 1, true},  // a part that is a folder
      {false, "", 2, true},
      {false, "--version", 0, true},
      {true, "--extract c.dat", 0, true},
      {true, "--extrac a.dat", 2, true},
      {false, "a.dat >out.txt", 0, true},  // errors still show on the console
      {false, "a.dat >out.txt 2>err.txt", 0, false},
      {true, "c.dat >out.txt 2>err.txt", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.scan ? "wavescan " : "wavesplice ") + c.args);
    int status = 0;
    const std::vector<std::string> pages =
        CodePagesSet(c.scan ? wavescanCommand : std::getenv("WAVESPLICE"), c.args, &status);
    EXPECT_EQ(status, c.status);
    if (c.set) {
      ASSERT_EQ(pages.size(), 3U);
      EXPECT_EQ(pages[0], "0000fde9");  // 65001, UTF-8
      EXPECT_EQ(pages[1], pages[2]);    // the one it had, put back
    } else {
      EXPECT_EQ(pages.size(), 0U);
    }
    remove(Path("err.txt").c_str());
  }
}

}  // namespace
