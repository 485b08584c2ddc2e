#include "harness.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

bool onWindows = false;
std::string nativeCommand;
std::string wavescanCommand;
std::string launcherCommand;
std::string failWrites;
std::string saveBetween;
std::string stopRenames;

namespace {

// Standard output is in text mode on Windows: every line must end in CRLF,
// and is then compared as the Linux build's would be.
std::string FromText(const std::string& text, bool check) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool crlf = text.compare(i, 2, "\r\n") == 0;
    if (check && !crlf && (text[i] == '\r' || text[i] == '\n')) {
      ADD_FAILURE() << "a line not ending in CRLF at byte " << i << " of:\n" << text;
      check = false;
    }
    lines += text[i];
    if (crlf) lines.back() = '\n', ++i;
  }
  return lines;
}

}  // namespace

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Wave(std::uint32_t size, const std::string& rest) {
  std::string bytes = "RIFF";
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(size >> shift);
  return bytes + rest;
}

std::string PcmWave(std::uint32_t rate, int channels, int bits, std::uint32_t frames) {
  const auto le = [](std::uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
    return text;
  };
  const std::uint32_t align = static_cast<std::uint32_t>(channels * bits / 8);
  std::string samples;
  for (std::uint32_t frame = 0; frame < frames; ++frame) {
    const double level = std::sin(2 * 3.14159265358979 * 440 * frame / rate);
    const auto sample =
        static_cast<std::int32_t>(level * (bits == 8 ? 100 : 20000)) + (bits == 8 ? 128 : 0);
    for (int channel = 0; channel < channels; ++channel) {
      samples += le(static_cast<std::uint32_t>(sample), bits / 8);
    }
  }
  return Wave(static_cast<std::uint32_t>(36 + samples.size()),
              "WAVEfmt " + le(16, 4) + le(1, 2) + le(static_cast<std::uint32_t>(channels), 2) +
                  le(rate, 4) + le(rate * align, 4) + le(align, 2) +
                  le(static_cast<std::uint32_t>(bits), 2) + "data" +
                  le(static_cast<std::uint32_t>(samples.size()), 4) + samples);
}

void Scratch::SetUp() {
  char made[] = "/tmp/wavesplice-e2e-XXXXXX";
  ASSERT_NE(mkdtemp(made), nullptr);
  root_ = made;
  mkdir(Path("").c_str(), 0755);
}

void Scratch::TearDown() { std::system(("rm -rf '" + root_ + "'").c_str()); }

void Scratch::Put(const std::string& name, const std::string& bytes) const {
  std::ofstream(Path(name), std::ios::binary) << bytes;
}

Result Scratch::Tool(const std::string& args, bool merged, const std::string& wrap) const {
  const char* command = std::getenv("WAVESPLICE");
  if (command == nullptr) throw std::runtime_error("WAVESPLICE names no command to test");
  return Run(command, onWindows, args, merged, wrap);
}

std::string Scratch::Unprivileged(std::string* skip) const {
  if (geteuid() != 0) return "";  // permissions hold already
  if (std::system("command -v setpriv >/dev/null") != 0) {
    *skip = "cannot run: as root, and no setpriv to give up that privilege";
    return "";
  }
  const std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  if (Tool("", false, nobody).status == 2) return nobody;  // the usage status: nobody ran it
  std::cout << "[   NOTE   ] nobody cannot reach the tool here: running as root without "
               "the capabilities that override file permissions\n";
  return "setpriv --bounding-set=-dac_override,-dac_read_search ";
}

Result Scratch::Scan(const std::string& args, bool merged, const std::string& wrap) const {
  if (wavescanCommand.empty()) throw std::runtime_error("run with --wavescan=COMMAND");
  Result result = Run(wavescanCommand, onWindows, args, merged, wrap);
  // Every document a case makes is held against the schema scripts rely on,
  // so that the program, the schema and the man page cannot drift apart. A
  // usage error and a run whose output went elsewhere write none.
  if (args.find("--json") != std::string::npos && result.status != 2 && !merged &&
      !result.out.empty()) {
    const std::string document = root_ + "/document.json";
    std::ofstream(document, std::ios::binary) << result.out;
    const std::string check = "/usr/bin/python3 '" WAVESPLICE_SOURCE "/tests/check-schema.py' '" +
                              std::string(WAVESPLICE_SOURCE) + "/man/wavescan.schema.json' '" +
                              document + "' >'" + root_ + "/schema' 2>&1";
    if (std::system(check.c_str()) != 0) {
      ADD_FAILURE() << "wavescan " << args << ": the JSON does not hold to the schema:\n"
                    << Slurp(root_ + "/schema") << "in:\n"
                    << result.out;
    }
  }
  return result;
}

Result Scratch::Run(const std::string& command, bool windowsBuild, const std::string& args,
                    bool merged, const std::string& wrap) const {
  const std::string script =
      wrap + command + " " + args + " >\"$OUT\" 2>" + (merged ? "&1" : "\"$ERR\"") + " </dev/null";
  Result result = Script(script, windowsBuild);
  // Wine can end a program with status 1 before it runs, saying nothing when
  // its messages are off: it found the addresses the program needs taken
  // (tests/wine.sh). Neither program ever fails in silence, so such a run is
  // tried once more: a program that failed so of itself does so again.
  if (windowsBuild && result.status == 1 && result.out.empty() && result.err.empty()) {
    std::cout << "[   NOTE   ] Wine gave status 1 and no output; running again: " << args << "\n";
    result = Script(script, windowsBuild);
  }
  return result;
}

Result Scratch::Script(const std::string& script, bool windowsBuild) const {
  const std::string out = root_ + "/out", err = root_ + "/err", status = root_ + "/status";
  std::ofstream(root_ + "/script") << "cd '" << Path("") << "' || exit 99\nOUT='" << out
                                   << "' ERR='" << err << "' STATUS='" << status << "'\n"
                                   << script << "\n";
  for (const std::string& path : {out, err, status}) std::remove(path.c_str());
  const int ran = std::system(("bash '" + root_ + "/script'").c_str());
  const std::string written = Slurp(status);
  const Result result{
      written.empty() ? (WIFEXITED(ran) ? WEXITSTATUS(ran) : -1) : std::stoi(written),
      FromText(Slurp(out), windowsBuild), FromText(Slurp(err), false)};
  // The status a memory checker wrapped around the tool gives for its findings.
  if (result.status == kCheckerFound) ADD_FAILURE() << "the checker found errors:\n" << result.err;
  return result;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--windows") onWindows = true;
    if (arg.rfind("--native=", 0) == 0) nativeCommand = arg.substr(9);
    if (arg.rfind("--wavescan=", 0) == 0) wavescanCommand = arg.substr(11);
    if (arg.rfind("--launcher=", 0) == 0) launcherCommand = arg.substr(11);
    if (arg.rfind("--fail-writes=", 0) == 0) failWrites = arg.substr(14);
    if (arg.rfind("--save-between=", 0) == 0) saveBetween = arg.substr(15);
    if (arg.rfind("--stop-renames=", 0) == 0) stopRenames = arg.substr(15);
  }
  return RUN_ALL_TESTS();
}

namespace {

std::string Le(std::uint32_t value, int bytes = 4) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
  return text;
}

}  // namespace

// An ADPCM wave made by hand: tag 0x11 or 2, its fmt extension (samples per
// block, and for tag 2 `pairs` of the standard coefficient pairs) and
// dataBytes of data that need not be whole blocks.
std::string AdpcmWave(std::uint32_t tag, std::uint32_t channels, std::uint32_t align,
                      std::uint32_t bits, std::uint32_t perBlock, int pairs,
                      std::uint32_t dataBytes) {
  static const int kPairs[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};
  std::string extension = Le(perBlock, 2);
  if (tag == 2) {
    extension += Le(static_cast<std::uint32_t>(pairs), 2);
    for (int i = 0; i < 2 * pairs; ++i) extension += Le(static_cast<std::uint32_t>(kPairs[i]), 2);
  }
  const std::string format = Le(tag, 2) + Le(channels, 2) + Le(11025) +
                             Le(11025 * align / perBlock) + Le(align, 2) + Le(bits, 2) +
                             Le(static_cast<std::uint32_t>(extension.size()), 2) + extension;
  const std::string body = "WAVEfmt " + Le(static_cast<std::uint32_t>(format.size())) + format +
                           "fact" + Le(4) + Le(1000) + "data" + Le(dataBytes) +
                           std::string(dataBytes, '\x11') + std::string(dataBytes & 1, '\0');
  return Wave(static_cast<std::uint32_t>(body.size()), body);
}
