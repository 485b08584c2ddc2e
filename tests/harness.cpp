#include "harness.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

bool onWindows = false;
std::string nativeCommand;

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

Result Scratch::Run(const std::string& command, bool windowsBuild, const std::string& args,
                    bool merged, const std::string& wrap) const {
  const std::string out = root_ + "/out", err = root_ + "/err";
  const std::string line = "cd '" + Path("") + "' && " + wrap + command + " " + args + " >'" + out +
                           "' 2>" + (merged ? "&1" : "'" + err + "'") + " </dev/null";
  const int status = std::system(line.c_str());
  const Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
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
  }
  return RUN_ALL_TESTS();
}
