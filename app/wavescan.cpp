// wavescan: lists the waves inside containers, checks the part files that
// would replace them, and takes them out as part files.
#include <cstdio>
#include <string>

#include "platform/console.h"
#include "waves/container_scan.h"
#include "waves/containers.h"
#include "waves/help.h"
#include "waves/report.h"

namespace {

const char kUsage[] =
    "usage: wavescan [--extract] CONTAINER-OR-PATTERN\n"
    "       wavescan --help | --version\n";

const char kHelp[] =
    "Lists the waves (RIFF/WAVE chunks) inside each container the pattern\n"
    "matches, and checks each part file beside it as wavesplice would splice\n"
    "it: whether a wave starts at its offset and how its length compares.\n"
    "Only reads; with --extract it also writes each wave that has no part\n"
    "file yet as CONTAINER_OFFSET.wav beside its container, never over an\n"
    "existing file. Quote the pattern so that the shell leaves it alone.\n"
    "Exit status: 0 all read and no part has a problem; 1 otherwise; 2 usage.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "wavescan: %s\n%s", problem, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsole();
  SetProgramName("wavescan");
  bool extract = false;
  const char* pattern = nullptr;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const Request request = arg == "-h" ? Request::kHelp : RequestIn(arg);
    if (options && arg == "--") {
      options = false;
    } else if (options && request != Request::kNone) {
      return AnswerRequest(request, "wavescan", kUsage, kHelp);
    } else if (options && arg == "--extract") {
      extract = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return Usage(("unknown option " + arg).c_str());
    } else if (pattern != nullptr) {
      return Usage("one pattern only; quote it so that the shell does not expand it");
    } else {
      pattern = argv[i];
    }
  }
  if (pattern == nullptr) return Usage("no container or pattern given");
  const bool done = ForEachContainer(
      pattern, [extract](const std::string& dir, const std::string& name, bool directory) {
        return directory || ScanContainer(dir, name, extract);
      });
  if (!FinishOutput()) return 1;
  return done ? 0 : 1;
}
