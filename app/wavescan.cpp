// wavescan: lists the waves inside containers, checks the part files that
// would replace them, and takes them out as part files.
#include <string>
#include <vector>

#include "app/containers.h"
#include "app/help.h"
#include "platform/command_line.h"
#include "platform/open_file.h"
#include "platform/output.h"
#include "platform/path.h"
#include "scan/scan_waves.h"
#include "waves/messages.h"

namespace {

const char kUsage[] =
    "usage: wavescan [--json] [--extract] [--fit] [--moved-from OLD-FOLDER] CONTAINER-OR-PATTERN\n"
    "       wavescan --help | --version\n";

const char kHelp[] =
    "Lists the waves (RIFF/WAVE chunks) inside each container the pattern\n"
    "matches, and checks each part file beside it as wavesplice would splice\n"
    "it: whether it is a wave, in the format of the wave at its offset, and\n"
    "fits there, and whether wavesplice would meet another part or container\n"
    "on the way. Only reads; with --extract it also writes each wave that has\n"
    "no part file yet as CONTAINER_OFFSET.wav beside its container, never\n"
    "over an existing file. With --fit it rewrites each part in another\n"
    "format or too long as the wave it replaces, with the part's sound\n"
    "converted and cut to fit, and keeps the part as it was as PART.orig;\n"
    "the container itself is never written. --fit reads and writes PCM,\n"
    "IEEE float, mu-law, A-law, IMA ADPCM and MS ADPCM. With --moved-from,\n"
    "after the program that owns the container was updated, it first\n"
    "renames each part file to the offset where its wave now lies, the wave\n"
    "found by its bytes in the old version OLD-FOLDER/CONTAINER, and moves\n"
    "PART.orig with it; it never renames over a file. With --json the\n"
    "report is one JSON document.\n"
    "Quote the pattern so that the shell leaves it alone.\n"
    "Exit status: 0 all read and no part has a problem; 1 otherwise; 2 usage.\n";

int Usage(const std::string& problem) {
  Print(Stream::kError, "wavescan: " + problem + "\n" + kUsage);
  return 2;
}

// Scans each container; false when any scan found a problem or failed.
bool ScanAll(const std::string& dir, const std::vector<std::string>& containers,
             const ScanOptions& options, ScanReport* report) {
  // Every name the run takes is known before the first is scanned, so that
  // two names of one file are told whichever comes first.
  const RunFiles files = IdentifyContainers(dir, containers);
  bool done = true;
  for (const std::string& name : containers) {
    if (!ScanWaves(dir, name, options, files, report)) done = false;
  }
  return done;
}

// The folder of the old versions, as a prefix of their paths; false,
// having said why, when it is none.
bool OldFolder(const std::string& folder, std::string* prefix) {
  std::string why;
  if (!IsFolder(folder, &why)) {
    Complain(folder, why);
    return false;
  }
  *prefix = PathIn(folder, "");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!StartProgram("wavescan")) return 1;
  ScanOptions scan;
  ScanReport report = kTextReport;
  const char* pattern = nullptr;
  const char* movedFrom = nullptr;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const Request request = arg == "-h" ? Request::kHelp : RequestIn(arg);
    if (options && arg == "--") {
      options = false;
    } else if (options && request != Request::kNone) {
      return AnswerRequest(request, "wavescan", kUsage, kHelp);
    } else if (options && arg == "--extract") {
      scan.extract = true;
    } else if (options && arg == "--fit") {
      scan.fit = true;
    } else if (options && arg == "--moved-from") {
      if (++i == argc) return Usage("--moved-from needs the folder of the old versions");
      movedFrom = argv[i];
    } else if (options && arg == "--json") {
      report = kJsonReport;
    } else if (options && ((arg.size() > 1 && arg[0] == '-') || IsPlatformSwitch(arg))) {
      return Usage("unknown option " + arg);
    } else if (pattern != nullptr) {
      // A shell that expanded the pattern, or a name with spaces left
      // unquoted (Windows expands nothing), both end up here.
      return Usage(
          "one pattern only: quote a pattern so that the shell does not expand it, and a name "
          "with spaces so that it stays one argument");
    } else {
      pattern = argv[i];
    }
  }
  if (pattern == nullptr) return Usage("no container or pattern given");
  if (movedFrom != nullptr && scan.extract) {
    return Usage("--moved-from and --extract do not go together: move the parts first");
  }
  if (movedFrom != nullptr && !OldFolder(movedFrom, &scan.movedFrom)) return 1;
  report.start(&report.place, ProgramVersion());
  std::string dir;
  std::vector<Match> matches;
  std::string unlisted;
  const bool listed = FindContainers(pattern, &dir, &matches, &unlisted);
  std::vector<std::string> containers;
  for (const Match& match : matches) {
    if (!match.directory) containers.push_back(match.name);
  }
  bool done = ScanAll(dir, containers, scan, &report);
  report.finish(&report.place,
                listed ? "" : (dir.empty() ? "." : dir) + ": cannot list: " + unlisted);
  if (!ListedWhole(dir, listed, unlisted)) done = false;
  // A check that found nothing to check has not passed.
  if (done && containers.empty()) {
    Complain(pattern, "no such container");
    done = false;
  }
  if (!FinishOutput()) return 1;
  return done ? 0 : 1;
}
