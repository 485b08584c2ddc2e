// What the first argument asks: help or the version only when it is one of
// their switches whole; anything else is searched for, as it always was.
#include <string>
#include <utility>
#include <vector>

#include "harness.h"

namespace {

using CommandLine = Scratch;

const std::string kVersion = std::string(" ") + WAVESPLICE_VERSION + "\n";

TEST_F(CommandLine, AnswersHelpAndVersionOnStandardOutput) {
  struct Ask {
    bool scan;
    std::string args;
    std::string out;  // its start
  };
  std::vector<Ask> asks = {
      {false, "--help",
       "usage: wavesplice CONTAINER-OR-PATTERN\n       wavesplice --help | --version\n\nCopies"},
      {false, "--help x.dat", "usage: wavesplice"},
      {false, "--version", "wavesplice" + kVersion},
      {false, "--version --help", "wavesplice" + kVersion},
      {true, "--version", "wavescan" + kVersion},
  };
  if (onWindows) {
    asks.push_back({false, "'/?'", "usage: wavesplice"});
    asks.push_back({true, "'/?'", "usage: wavescan"});
  }
  for (const Ask& ask : asks) {
    const Result run = ask.scan ? Scan(ask.args) : Tool(ask.args);
    EXPECT_EQ(run.status, 0) << ask.args;
    EXPECT_EQ(run.out.substr(0, ask.out.size()), ask.out) << ask.args;
    EXPECT_EQ(run.err, "") << ask.args;
  }
  const Result bare = Tool("");
  EXPECT_EQ(bare.out, "");
  EXPECT_EQ(bare.err, "usage: wavesplice CONTAINER-OR-PATTERN\n");
  EXPECT_EQ(bare.status, 2);
}

TEST_F(CommandLine, TakesAnyOtherFirstArgumentAsAPattern) {
  Put("--help.dat", "....");
  const std::string found = "Replacing waves in --help.dat\n";
  std::vector<std::pair<std::string, std::string>> patterns = {
      {"--help.dat", found},
      {"'*.dat'", found},
      {"--HELP", ""},
      {"-h", ""},
  };
  // A name on Linux: the root folder's "." is its only one-character name.
  if (!onWindows) patterns.emplace_back("'/?'", "Replacing waves in .\n");
  for (const auto& [args, out] : patterns) {
    const Result run = Tool(args);
    EXPECT_EQ(run.out, out) << args;
    EXPECT_EQ(run.status, 0) << args;
  }
  EXPECT_EQ(Scan("'*.dat'").out.substr(0, 28), "Scanning --help.dat, 4 bytes");
}

}  // namespace
