// Runs builds of the tool in scratch directories, for the end-to-end cases.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// Set from the command line: --windows when WAVESPLICE runs the Windows
// build, --native=COMMAND to run the Linux build beside it, and
// --wavescan=COMMAND for the wavescan of the same build, and on Windows
// --launcher=COMMAND to start a program as tests/launcher.c says.
extern bool onWindows;
extern std::string nativeCommand;
extern std::string wavescanCommand;
extern std::string launcherCommand;
// --fail-writes=LIBRARY: tests/fail_writes.cpp, for a native build.
extern std::string failWrites;
// --save-between=LIBRARY: tests/save_between.cpp, for a native build.
extern std::string saveBetween;
// --stop-renames=LIBRARY: tests/stop_renames.cpp, for a native build.
extern std::string stopRenames;

// The exit status of a run in which valgrind found errors (--error-exitcode).
constexpr int kCheckerFound = 99;

std::string Slurp(const std::string& path);

// A RIFF chunk header with the given size field, then the rest.
std::string Wave(std::uint32_t size, const std::string& rest);

// A PCM WAVE file holding frames of a 440 Hz tone, with the fmt and data
// chunks a sound editor writes.
std::string PcmWave(std::uint32_t rate, int channels, int bits, std::uint32_t frames);

// An ADPCM wave at 11025 Hz made by hand: tag 0x11 or 2, its fmt extension
// (samples per block, and for tag 2 the first `pairs` of the standard
// coefficient pairs), a fact chunk and dataBytes of data, which need not be
// whole blocks.
std::string AdpcmWave(std::uint32_t tag, std::uint32_t channels, std::uint32_t align,
                      std::uint32_t bits, std::uint32_t perBlock, int pairs,
                      std::uint32_t dataBytes);

struct Result {
  int status;
  std::string out;  // line ends read as "\n" on either platform
  std::string err;
};

class Scratch : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Paths inside the directory the tool runs in.
  std::string Path(const std::string& name) const { return root_ + "/work/" + name; }
  void Put(const std::string& name, const std::string& bytes) const;
  std::string Get(const std::string& name) const { return Slurp(Path(name)); }

  // Runs the build under test; args go through the shell. With merged,
  // standard error joins standard output so that their order can be checked.
  // wrap is shell text put before the command: limits, another user.
  Result Tool(const std::string& args, bool merged = false, const std::string& wrap = "") const;
  // The same for wavescan.
  Result Scan(const std::string& args, bool merged = false, const std::string& wrap = "") const;
  Result Run(const std::string& command, bool windowsBuild, const std::string& args,
             bool merged = false, const std::string& wrap = "") const;
  // Runs a bash script in the work folder. In it, $OUT and $ERR name the
  // files read back as standard output and error; the status is the
  // script's, or the one it writes to $STATUS.
  Result Script(const std::string& script, bool windowsBuild) const;

  // A wrap under which the tool runs without the power to read or write
  // files whatever their permissions; sets skip when there is none.
  std::string Unprivileged(std::string* skip) const;

  std::string root_;
};
