// wavesplice: copies the waves of part files over a container's bytes at the
// offsets their names give.
#include <string>

#include "app/containers.h"
#include "app/help.h"
#include "platform/output.h"
#include "waves/messages.h"
#include "waves/replace_waves.h"

namespace {

const char kUsage[] =
    "usage: wavesplice CONTAINER-OR-PATTERN\n"
    "       wavesplice --help | --version\n";

const char kHelp[] =
    "Copies the wave (RIFF chunk) of each part file over the bytes of its\n"
    "container at the offset the part's name gives. A part file lies beside\n"
    "its container and is named CONTAINER_OFFSET.wav, the offset as eight\n"
    "hexadecimal digits. The argument is a container's name or a pattern in\n"
    "which * stands for any run of characters and ? for one; quote it so\n"
    "that the shell leaves it alone. Containers are changed in place: keep a\n"
    "copy of one you care about, and check parts first with wavescan.\n"
    "Exit status: 0 all handled; 1 something could not be done; 2 usage.\n";

}  // namespace

int main(int argc, char** argv) {
  if (!StartProgram("wavesplice")) return 1;
  if (argc < 2) {
    Print(Stream::kError, "usage: wavesplice CONTAINER-OR-PATTERN\n");
    return 2;
  }
  // Only the whole first argument asks: anything else is a pattern.
  const Request request = RequestIn(argv[1]);
  if (request != Request::kNone) return AnswerRequest(request, "wavesplice", kUsage, kHelp);
  // The first argument alone is the pattern. More mean a shell expanded it,
  // or split an unquoted name: the run then covers less than was meant.
  const bool more = argc > 2;
  if (more) {
    Print(Stream::kError,
          "wavesplice: only the first argument is used; quote a pattern so that the shell does "
          "not expand it\n");
  }
  const bool done = ForEachContainer(
      argv[1], [](const std::string& dir, const std::string& name, bool directory) {
        Print(Stream::kOutput, "Replacing waves in " + Shown(name) + "\n");
        // A directory has no bytes to replace: not a failure.
        return directory || ReplaceWaves(dir, name);
      });
  if (!FinishOutput()) return 1;
  return done && !more ? 0 : 1;
}
