// Measures wavesplice and wavescan on workloads it makes itself, each
// comparison run several times with the sides alternating, and prints medians
// and ratios as a Markdown table. Times on shared machines are noisy: the
// ratios between sides measured in the same run are the figures to read.
//
// Usage: wavesplice_bench BUILD-DIR SCRATCH-DIR [--small]
// BUILD-DIR holds wavesplice, wavescan and bench/ with the floors.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Sizes {
  int parts;  // splice workload: parts of partBytes each
  int partBytes;
  int fewContainers;  // search workload: folders of this many containers
  int manyContainers;
  int waveMiB;  // memory workload: one wave of this size
  int runs;
  int scanMiB;       // scan workload: two containers of this size
  int meetingParts;  // check workload: this many parts, and four times as many,
                     // all overlapping
  int extractWaves;  // extraction workload: this many waves, and four times as
                     // many
  int fitSeconds;    // fit workload: a part this long
};

struct Outcome {
  double seconds;
  double cpuSeconds;  // user and system time: what the run cost, waits for the
                      // processor left out
  long peakKiB;
};

// Deterministic filler: a linear congruential generator, 4 bytes a step.
void Fill(std::string *bytes, std::size_t from, std::uint32_t *seed) {
  for (std::size_t i = from; i < bytes->size(); ++i) {
    if ((i & 3) == 0) *seed = *seed * 1664525u + 1013904223u;
    (*bytes)[i] = static_cast<char>(*seed >> (8 * (i & 3)));
  }
}

std::string Wave(std::uint32_t length, std::uint32_t seed) {
  std::string bytes = "RIFF";
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((length - 8) >> shift);
  bytes.resize(length);
  Fill(&bytes, 8, &seed);
  return bytes;
}

void Put(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Dir(const std::string &path) {
  mkdir(path.c_str(), 0755);
  return path + "/";
}

// Runs argv in dir with standard output discarded; exits on failure, since a
// figure from a failed run would mislead.
Outcome Run(const std::vector<std::string> &argv, const std::string &dir) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::vector<char *> args;
    args.reserve(argv.size() + 1);
    for (const std::string &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    if (chdir(dir.c_str()) != 0 || !std::freopen("/dev/null", "w", stdout)) _exit(127);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench: %s failed in %s\n", argv[0].c_str(), dir.c_str());
    std::exit(1);
  }
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return {took.count(), cpu, usage.ru_maxrss};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string Machine() {
  utsname name{};
  uname(&name);
  std::string cpu = "unknown processor";
  std::ifstream info("/proc/cpuinfo");
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("model name", 0) == 0) {
      cpu = line.substr(line.find(':') + 2);
      break;
    }
  }
  return std::string(name.sysname) + " " + name.release + " " + name.machine + ", " + cpu + ", " +
         std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores";
}

struct Table {
  std::string text;
  bool judged;  // the targets are set for the full sizes only
  void Row(const std::string &measure, const std::string &figure, const std::string &target = "",
           int holds = -1) {
    if (!judged) holds = -1;
    text += "| " + measure + " | " + figure + " | " + (judged ? target : "") + " | " +
            (holds < 0 ? ""
             : holds   ? "yes"
                       : "**no**") +
            " |\n";
  }
};

std::string Fixed(double value, const char *unit) {
  char text[48];
  std::snprintf(text, sizeof text, "%.3f%s", value, unit);
  return text;
}

void Splice(const Sizes &n, const std::string &tool, const std::string &floor,
            const std::string &root, Table *table) {
  const std::string dir = Dir(root + "splice");
  Put(dir + "bank.dat", std::string(static_cast<std::size_t>(n.parts) * n.partBytes, 'U'));
  std::string manifest;
  for (int i = 0; i < n.parts; ++i) {
    char name[64];
    const unsigned offset = static_cast<unsigned>(i) * n.partBytes;
    std::snprintf(name, sizeof name, "bank.dat_%08x.wav", offset);
    Put(dir + name, Wave(n.partBytes, offset));
    manifest += std::to_string(offset) + " " + std::to_string(n.partBytes) + " " + name + "\n";
  }
  Put(dir + "manifest", manifest);
  const std::string loop =
      "while read -r at length name; do dd if=\"$name\" of=bank.dat bs=1M "
      "seek=\"$at\" "
      "oflag=seek_bytes conv=notrunc status=none || exit 1; done <manifest";

  std::vector<double> ours, floors, dds;
  Run({tool, "bank.dat"}, dir);  // warm-up: both sides then find the same cache
  Run({floor, "bank.dat", "manifest"}, dir);
  for (int run = 0; run < n.runs; ++run) {
    const bool oursFirst = run % 2 == 0;
    if (oursFirst) ours.push_back(Run({tool, "bank.dat"}, dir).seconds);
    floors.push_back(Run({floor, "bank.dat", "manifest"}, dir).seconds);
    if (!oursFirst) ours.push_back(Run({tool, "bank.dat"}, dir).seconds);
    // The loop takes seconds where the others take a tenth: a third as
    // many of its runs tell as much.
    if (run % 3 == 0) dds.push_back(Run({"/bin/sh", "-c", loop}, dir).seconds);
  }
  const std::string what =
      std::to_string(n.parts) + " parts of " + std::to_string(n.partBytes / 1024) + " KiB";
  const double ratio = Median(ours) / Median(floors);
  const double speedup = Median(dds) / Median(ours);
  table->Row("splice " + what + ": wavesplice", Fixed(Median(ours), " s"));
  table->Row("splice " + what + ": floor (open, read, pwrite, close)", Fixed(Median(floors), " s"));
  table->Row("splice " + what + ": dd conv=notrunc loop", Fixed(Median(dds), " s"));
  table->Row("wavesplice / floor", Fixed(ratio, "x"), "at most 1.15x", ratio <= 1.15);
  table->Row("dd loop / wavesplice", Fixed(speedup, "x"), "at least 30x", speedup >= 30);
}

// The system calls wavesplice makes for one run that splices parts of 64 KiB
// into one container, counted by strace: a count, not a time, so it holds on
// any machine.
long Syscalls(const std::string &tool, const std::string &dir, unsigned parts) {
  constexpr unsigned kBytes = 64 * 1024;
  Put(dir + "bank.dat", std::string(std::size_t{parts} * kBytes, 'U'));
  for (unsigned i = 0; i < parts; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "bank.dat_%08x.wav", i * kBytes);
    Put(dir + name, Wave(kBytes, i));
  }
  const std::string counts = dir + "strace.txt";
  Run({"/bin/sh", "-c", "strace -c -f -o '" + counts + "' '" + tool + "' bank.dat"}, dir);
  long calls = -1;
  std::ifstream in(counts);
  for (std::string line; std::getline(in, line);) {
    // "100.00    0.015771          10      1482         2 total"
    if (line.size() > 6 && line.compare(line.size() - 6, 6, " total") == 0) {
      double percent = 0, seconds = 0;
      long perCall = 0;
      std::istringstream(line) >> percent >> seconds >> perCall >> calls;
    }
  }
  if (calls < 0) {
    std::fprintf(stderr, "bench: no count of system calls in %s\n", counts.c_str());
    std::exit(1);
  }
  return calls;
}

// The calls each further part costs: runs with 200 and 400 parts differ only
// in their parts, so the program's start-up, which loads the C++ library,
// drops out.
void Syscalls(const std::string &tool, const std::string &root, Table *table) {
  constexpr unsigned kParts = 200;
  const long few = Syscalls(tool, Dir(root + "syscalls1"), kParts);
  const long many = Syscalls(tool, Dir(root + "syscalls2"), 2 * kParts);
  const double perPart = static_cast<double>(many - few) / kParts;
  table->Row(
      "system calls per part: splicing 400 parts of 64 KiB less 200 "
      "(strace -c -f)",
      Fixed(perPart, ""), "at most 6", perPart <= 6);
}

void Search(const Sizes &n, const std::string &tool, const std::string &root, Table *table) {
  std::vector<std::string> dirs;
  for (int count : {n.fewContainers, n.manyContainers}) {
    dirs.push_back(Dir(root + "search" + std::to_string(count)));
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "c%05d.dat", i);
      Put(dirs.back() + name, std::string(256, 'U'));
      Put(dirs.back() + name + "_00000010.wav", Wave(44, i));
    }
  }
  std::vector<double> few, many;
  for (int run = 0; run < n.runs; ++run) {
    const int first = run % 2;
    (first == 0 ? few : many).push_back(Run({tool, "*.dat"}, dirs[first]).seconds);
    (first == 0 ? many : few).push_back(Run({tool, "*.dat"}, dirs[1 - first]).seconds);
  }
  const double ratio = Median(many) / Median(few);
  const std::string fewText = std::to_string(n.fewContainers) + " containers";
  const std::string manyText = std::to_string(n.manyContainers) + " containers";
  table->Row("search \"*.dat\", " + fewText, Fixed(Median(few), " s"));
  table->Row("search \"*.dat\", " + manyText, Fixed(Median(many), " s"), "under 0.5 s",
             Median(many) < 0.5);
  table->Row("search " + manyText + " / " + fewText, Fixed(ratio, "x"), "at most 5x", ratio <= 5);
}

void Memory(const Sizes &n, const std::string &tool, const std::string &root, Table *table) {
  const std::string dir = Dir(root + "memory");
  const std::uint32_t length = static_cast<std::uint32_t>(n.waveMiB) << 20;
  Put(dir + "big.dat", std::string(1024, 'U'));
  Put(dir + "big.dat_00000000.wav", Wave(length, 1));
  long peak = 0;
  for (int run = 0; run < n.runs; ++run) peak = std::max(peak, Run({tool, "big.dat"}, dir).peakKiB);
  const double mib = static_cast<double>(peak) / 1024.0;
  table->Row("peak resident size, one " + std::to_string(n.waveMiB) + " MiB wave",
             Fixed(mib, " MiB"), "at most " + std::to_string(n.waveMiB + 4) + " MiB",
             mib <= n.waveMiB + 4);
}

// A container of mib MiB: WAVE chunks of 16 KiB to 1 MiB back to back when
// dense, else random bytes with a wave of 4 MiB every 256 MiB. Returns its
// number of waves.
int Container(const std::string &path, int mib, bool dense) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  std::uint32_t seed = dense ? 1 : 2;
  std::string bytes;
  int waves = 0;
  const std::uint64_t total = static_cast<std::uint64_t>(mib) << 20;
  for (std::uint64_t left = total; left > 0;) {
    seed = seed * 1664525u + 1013904223u;
    const bool wave = dense || ((total - left) >> 20) % 256 == 0;
    std::uint64_t length = dense ? (16 << 10) + seed % (1008 << 10) : wave ? 4 << 20 : 1 << 20;
    length = std::min(length, left);
    if (wave && length >= 12) {
      bytes = Wave(static_cast<std::uint32_t>(length), seed);
      bytes.replace(8, 4, "WAVE");
      ++waves;
    } else {
      bytes.assign(static_cast<std::size_t>(length), '\0');
      Fill(&bytes, 0, &seed);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    left -= length;
  }
  std::fclose(file);
  return waves;
}

// The peak resident size of argv run in dir, in MiB, measured by bench/peak.
double PeakMiB(const std::string &bin, std::vector<std::string> argv, const std::string &dir) {
  const std::string out = dir + "peak.out";
  argv.insert(argv.begin(), {bin + "bench/peak", out});
  Run(argv, dir);
  long kib = 0;
  std::ifstream(out) >> kib;
  return static_cast<double>(kib) / 1024.0;
}

// Wall-clock and processor times of runs of one command.
struct Times {
  std::vector<double> wall, cpu;
  void Add(const Outcome &outcome) {
    wall.push_back(outcome.seconds);
    cpu.push_back(outcome.cpuSeconds);
  }
};

// The sizes of the blocks of the plain read the scan is measured against:
// how fast a file comes out of the page cache depends on how the blocks fit
// the processor's caches, so the floor is the fastest of these.
constexpr int kFloorKiB[] = {64, 128, 256, 1024};
constexpr std::size_t kFloors = sizeof kFloorKiB / sizeof kFloorKiB[0];

struct ScanTimes {
  Times ours, greps, floors[kFloors];
};

// Runs wavescan, the plain reads and, unless dense, grep over name, the
// sides alternating from run to run.
ScanTimes TimeScan(const Sizes &n, const std::string &bin, const std::string &dir,
                   const std::string &name, bool dense) {
  // grep stops at the first match when its output is /dev/null.
  const std::vector<std::string> grep = {"/bin/sh", "-c", "grep -c -a RIFF " + name + " >count"};
  const auto floor = [&](std::size_t size) {
    return std::vector<std::string>{bin + "bench/read_floor", name,
                                    std::to_string(kFloorKiB[size])};
  };
  Run(floor(0), dir);  // into the page cache
  ScanTimes times;
  for (int run = 0; run < n.runs; ++run) {
    const bool oursFirst = run % 2 == 0;
    if (oursFirst) times.ours.Add(Run({bin + "wavescan", name}, dir));
    for (std::size_t i = 0; i < kFloors; ++i) {
      const std::size_t size = oursFirst ? i : kFloors - 1 - i;
      times.floors[size].Add(Run(floor(size), dir));
    }
    if (!oursFirst) times.ours.Add(Run({bin + "wavescan", name}, dir));
    if (!dense) times.greps.Add(Run(grep, dir));
  }
  return times;
}

// The index of the fastest of the floors by their medians.
std::size_t Fastest(const ScanTimes &times, bool cpu) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < kFloors; ++i) {
    const Times &t = times.floors[i];
    const Times &b = times.floors[best];
    if (Median(cpu ? t.cpu : t.wall) < Median(cpu ? b.cpu : b.wall)) best = i;
  }
  return best;
}

std::string Kib(int kib) { return kib < 1024 ? std::to_string(kib) + " KiB" : "1 MiB"; }

// A ratio of medians of wall-clock time, and the same of processor time.
std::string Ratio(const Times &ours, const Times &theirs, double *wall) {
  *wall = Median(ours.wall) / Median(theirs.wall);
  return Fixed(*wall, "x") +
         " (processor time: " + Fixed(Median(ours.cpu) / Median(theirs.cpu), "x)");
}

void ScanRows(const ScanTimes &times, const std::string &what, bool dense, Table *table) {
  std::string each;
  for (std::size_t i = 0; i < kFloors; ++i) {
    each += (i == 0 ? "" : ", ") + Fixed(Median(times.floors[i].wall), " s");
  }
  const std::size_t best = Fastest(times, false);
  const std::size_t bestCpu = Fastest(times, true);
  const Times &floor = times.floors[best];
  table->Row("scan " + what + ": wavescan", Fixed(Median(times.ours.wall), " s"));
  table->Row("scan " + what + ": plain read in blocks of 64, 128, 256 KiB and 1 MiB", each);
  table->Row("scan " + what + ": fastest plain read",
             Fixed(Median(floor.wall), " s") + ", " + Kib(kFloorKiB[best]) + " blocks (" +
                 Kib(kFloorKiB[bestCpu]) + " by processor time)");
  double ratio = 0;
  const std::string figure = Ratio(times.ours, floor, &ratio);
  const double limit = dense ? 1.0 : 1.2;
  table->Row("wavescan / fastest read, " + what, figure, "at most " + Fixed(limit, "x"),
             ratio <= limit);
  if (dense) return;
  table->Row("scan " + what + ": grep -c -a RIFF", Fixed(Median(times.greps.wall), " s"));
  const std::string versus = Ratio(times.ours, times.greps, &ratio);
  table->Row("wavescan / grep, " + what, versus, "at most 0.4x", ratio <= 0.4);
}

void Scan(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  const std::string dir = Dir(root + "scan");
  const std::string scan = bin + "wavescan";
  for (const bool dense : {true, false}) {
    const std::string name = dense ? "dense.dat" : "sparse.dat";
    const int waves = Container(dir + name, n.scanMiB, dense);
    const std::string what = std::string(dense ? "dense" : "sparse") + " " +
                             std::to_string(n.scanMiB) + " MiB, " + std::to_string(waves) +
                             (waves == 1 ? " wave" : " waves");
    ScanRows(TimeScan(n, bin, dir, name, dense), what, dense, table);
    const double mib = PeakMiB(bin, {scan, name}, dir);
    table->Row("peak resident size, wavescan " + what, Fixed(mib, " MiB"), "at most 16 MiB",
               mib <= 16);
  }
  // Extraction copies in blocks: its memory does not grow with the waves.
  const double mib = PeakMiB(bin, {scan, "--extract", "sparse.dat"}, dir);
  table->Row("peak resident size, wavescan --extract sparse (waves of 4 MiB)", Fixed(mib, " MiB"),
             "at most 16 MiB", mib <= 16);
  if (std::getenv("BENCH_KEEP") == nullptr) {
    std::remove((dir + "dense.dat").c_str());
    std::remove((dir + "sparse.dat").c_str());
  }
}

// wavescan over parts that all overlap one another, each named on every
// other's line: the output and the time grow with the parts, not with
// their square, as each line names a few and counts the rest.
void Meetings(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  std::vector<std::string> dirs;
  std::vector<double> bytes;
  for (const int parts : {n.meetingParts, 4 * n.meetingParts}) {
    dirs.push_back(Dir(root + "meetings" + std::to_string(parts)));
    Put(dirs.back() + "bank.dat", std::string(static_cast<std::size_t>(parts) * 2, 'U'));
    for (int i = 0; i < parts; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "bank.dat_%08x.wav", static_cast<unsigned>(i));
      Put(dirs.back() + name, Wave(static_cast<std::uint32_t>(parts) + 12, i));
    }
    // Status 1: every part has a problem, which the shell's exit then hides.
    Run({"/bin/sh", "-c", "'" + bin + "wavescan' bank.dat >out; wc -c <out >size"}, dirs.back());
    double size = 0;
    std::ifstream(dirs.back() + "size") >> size;
    bytes.push_back(size);
  }
  std::vector<double> few, many;
  const std::string scan = "'" + bin + "wavescan' bank.dat >/dev/null; true";
  for (int run = 0; run < n.runs; ++run) {
    few.push_back(Run({"/bin/sh", "-c", scan}, dirs[0]).seconds);
    many.push_back(Run({"/bin/sh", "-c", scan}, dirs[1]).seconds);
  }
  for (int i = 0; i < 2; ++i) {
    const std::string what =
        std::to_string((i == 0 ? 1 : 4) * n.meetingParts) + " parts that all overlap";
    table->Row("check " + what + ": wavescan", Fixed(Median(i == 0 ? few : many), " s"));
    table->Row("check " + what + ": output", Fixed(bytes[i] / (1 << 20), " MiB"));
  }
  const double ratio = Median(many) / Median(few);
  table->Row("check 4x the parts / 1x", Fixed(ratio, "x"), "at most 5x", ratio <= 5);
}

// wavescan --extract of many small waves into a folder that already holds
// as many files that sort after the parts it creates.
//
// In memory where it can be: ext4, on some machines, creates files ever more
// slowly in a folder that has just lost tens of thousands of them, and its
// time would drown wavescan's.
void Extraction(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  std::string memory = root;
  char shm[] = "/dev/shm/wavesplice-bench.XXXXXX";
  if (mkdtemp(shm) != nullptr) memory = std::string(shm) + "/";
  std::vector<double> medians;
  for (const int waves : {n.extractWaves, 4 * n.extractWaves}) {
    const std::string dir = Dir(memory + "extract" + std::to_string(waves));
    std::string bank;
    for (int i = 0; i < waves; ++i) {
      std::string wave = Wave(44, i);
      wave.replace(8, 4, "WAVE");
      bank += wave;
    }
    Put(dir + "bank.dat", bank);
    for (int i = 0; i < waves; ++i) Put(dir + "later" + std::to_string(i), "");
    std::vector<double> times;
    for (int run = 0; run < n.runs; ++run) {
      Run({"/bin/sh", "-c", "rm -f bank.dat_*.wav"}, dir);
      times.push_back(Run({bin + "wavescan", "--extract", "bank.dat"}, dir).seconds);
    }
    medians.push_back(Median(times));
    table->Row("extract " + std::to_string(waves) + " waves beside as many later files" +
                   (memory == root ? "" : " (in /dev/shm)"),
               Fixed(medians.back(), " s"));
  }
  if (memory != root) Run({"/bin/rm", "-rf", shm}, root);
  const double ratio = medians[1] / medians[0];
  table->Row("extract 4x the waves / 1x", Fixed(ratio, "x"), "at most 5x", ratio <= 5);
}

// wavescan --extract of a container that is all waves, against dd copying
// it whole in blocks of the scan's size, a read and a write each, as the
// extraction copies. In memory where it can be, for the reason above.
void ExtractCopy(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  std::string dir = root;
  char shm[] = "/dev/shm/wavesplice-bench.XXXXXX";
  if (mkdtemp(shm) != nullptr) dir = std::string(shm) + "/";
  const int mib = n.scanMiB / 4;
  const int waves = Container(dir + "bank.dat", mib, true);
  const std::string dd = "dd if=bank.dat of=copy.dat bs=128K status=none";
  Times ours, dds;
  for (int run = 0; run < n.runs; ++run) {
    Run({"/bin/sh", "-c", "rm -f bank.dat_*.wav copy.dat"}, dir);
    if (run % 2 == 0) dds.Add(Run({"/bin/sh", "-c", dd}, dir));
    ours.Add(Run({bin + "wavescan", "--extract", "bank.dat"}, dir));
    if (run % 2 == 1) dds.Add(Run({"/bin/sh", "-c", dd}, dir));
  }
  const std::string what = "extract dense " + std::to_string(mib) + " MiB, " +
                           std::to_string(waves) + " waves" + (dir == root ? "" : " (in /dev/shm)");
  table->Row(what + ": wavescan --extract", Fixed(Median(ours.wall), " s"));
  table->Row(what + ": dd bs=128K", Fixed(Median(dds.wall), " s"));
  double ratio = 0;
  const std::string figure = Ratio(ours, dds, &ratio);
  table->Row("wavescan --extract / dd, dense", figure, "at most 1.2x", ratio <= 1.2);
  Run({"/bin/rm", "-rf", dir == root ? dir + "bank.dat" : shm}, root);
}

// wavescan --fit of a 60-second 44.1 kHz stereo 16-bit part into a slot of
// 22050 Hz mono 8-bit, against sox making the same conversion; and the fit's
// peak memory against the part's size.
void Fitting(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  const std::string dir = Dir(root + "fit");
  const std::string seconds = std::to_string(n.fitSeconds);
  Run({"/bin/sh", "-c",
       "sox -n -r 22050 -c 1 -b 8 -t wav bank.dat synth " + seconds +
           " sine 300 vol 0.3 && "
           "sox -n -r 44100 -c 2 -b 16 part.wav synth " +
           seconds + " sine 440 sine 1000 vol 0.5"},
      dir);
  const std::string again = "cp part.wav bank.dat_00000000.wav && rm -f bank.dat_00000000.wav.orig";
  std::vector<double> ours, soxes;
  for (int run = 0; run < n.runs; ++run) {
    Run({"/bin/sh", "-c", again}, dir);
    ours.push_back(Run({bin + "wavescan", "--fit", "bank.dat"}, dir).seconds);
    soxes.push_back(
        Run({"/usr/bin/sox", "part.wav", "-r", "22050", "-c", "1", "-b", "8", "out.wav"}, dir)
            .seconds);
  }
  Run({"/bin/sh", "-c", again}, dir);
  const double peak = PeakMiB(bin, {bin + "wavescan", "--fit", "bank.dat"}, dir);
  struct stat part {};
  stat((dir + "part.wav").c_str(), &part);
  const double limit = 4.0 * static_cast<double>(part.st_size) / (1 << 20) + 16;
  const std::string what = seconds + " s, 44.1 kHz stereo 16-bit into 22050 Hz mono 8-bit";
  const double ratio = Median(ours) / Median(soxes);
  table->Row("fit " + what + ": wavescan --fit", Fixed(Median(ours), " s"));
  table->Row("fit " + what + ": sox", Fixed(Median(soxes), " s"));
  table->Row("wavescan --fit / sox", Fixed(ratio, "x"), "at most 1.5x", ratio <= 1.5);
  table->Row("peak resident size, wavescan --fit", Fixed(peak, " MiB"),
             "at most " + Fixed(limit, " MiB") + " (4x the part + 16 MiB)", peak <= limit);
}

// The signal-to-noise ratio in dB of coded against reference, both read back
// by sox as 16-bit samples, over the reference's samples.
double Snr(const std::string &dir, const std::string &reference, const std::string &coded) {
  Run({"/bin/sh", "-c",
       "sox -D " + reference + " -t raw -e signed -b 16 ref.raw && sox -D " + coded +
           " -t raw -e signed -b 16 coded.raw"},
      dir);
  std::ifstream ref(dir + "ref.raw", std::ios::binary), got(dir + "coded.raw", std::ios::binary);
  double signal = 0, noise = 0;
  std::int16_t x = 0, y = 0;
  while (ref.read(reinterpret_cast<char *>(&x), 2) && got.read(reinterpret_cast<char *>(&y), 2)) {
    const double a = x, b = y;
    signal += a * a;
    noise += (a - b) * (a - b);
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

struct Codec {
  const char *name;
  const char *encoding;  // sox's -e
  double margin;         // dB over sox's own encoder that the target asks
};

const Codec kCodecs[] = {{"IMA ADPCM", "ima-adpcm", 1.0},
                         {"MS ADPCM", "ms-adpcm", 0.0},
                         {"mu-law", "u-law", 0.0},
                         {"A-law", "a-law", 0.0}};

// Each codec's slot is sox's own encoding of a real sound (so the block size
// is sox's), and the fitted part is the same sound, as 16-bit PCM at the
// slot's rate and channels, fitted into it: both against that sound.
void CodecQuality(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  const std::string dir = Dir(root + "codecs");
  std::vector<std::pair<std::string, std::string>> sounds = {
      {"Front_Center", "/usr/share/sounds/alsa/Front_Center.wav"},
      {"a sweep", "-n -r 22050 -c 1 sweep.wav synth 3 sine 100-9000 vol 0.5"}};
  if (n.runs > 3) {
    sounds.emplace_back("Noise", "/usr/share/sounds/alsa/Noise.wav");
    sounds.emplace_back("cembalo-1", "/usr/share/sounds/sound-icons/cembalo-1.wav");
  }
  for (const auto &[sound, source] : sounds) {
    const std::string from = source[0] == '-' ? "sweep.wav" : source;
    if (source[0] == '-') Run({"/bin/sh", "-c", "sox " + source}, dir);
    Run({"/bin/sh", "-c", "sox -D " + from + " -b 16 -e signed conv.wav"}, dir);
    for (const Codec &codec : kCodecs) {
      Run({"/bin/sh", "-c",
           std::string("sox -D conv.wav -e ") + codec.encoding +
               " sox.wav && cp sox.wav bank.dat && cp conv.wav bank.dat_00000000.wav && "
               "rm -f bank.dat_00000000.wav.orig"},
          dir);
      Run({bin + "wavescan", "--fit", "bank.dat"}, dir);
      const double ours = Snr(dir, "conv.wav", "bank.dat_00000000.wav");
      const double sox = Snr(dir, "conv.wav", "sox.wav");
      const std::string what = std::string(codec.name) + ", " + sound;
      table->Row("SNR " + what + ": wavescan --fit", Fixed(ours, " dB"));
      table->Row("SNR " + what + ": sox", Fixed(sox, " dB"));
      table->Row("SNR " + what + ": ours less sox's", Fixed(ours - sox, " dB"),
                 "at least " + Fixed(codec.margin, " dB"), ours - sox >= codec.margin);
    }
  }
}

// wavescan --fit of the fit workload's part into a 22050 Hz mono ADPCM slot,
// against sox making the same conversion and encoding.
void CodecSpeed(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  const std::string dir = Dir(root + "codec-speed");
  const std::string seconds = std::to_string(n.fitSeconds);
  Run({"/bin/sh", "-c",
       "sox -n -r 44100 -c 2 -b 16 part.wav synth " + seconds + " sine 440 sine 1000 vol 0.5"},
      dir);
  for (const Codec &codec : {kCodecs[0], kCodecs[1]}) {
    Run({"/bin/sh", "-c",
         std::string("sox -n -r 22050 -c 1 -e ") + codec.encoding + " -t wav bank.dat synth " +
             seconds + " sine 300 vol 0.3"},
        dir);
    const std::string again =
        "cp part.wav bank.dat_00000000.wav && rm -f bank.dat_00000000.wav.orig";
    std::vector<double> ours, soxes;
    for (int run = 0; run < n.runs; ++run) {
      Run({"/bin/sh", "-c", again}, dir);
      ours.push_back(Run({bin + "wavescan", "--fit", "bank.dat"}, dir).seconds);
      soxes.push_back(Run({"/usr/bin/sox", "part.wav", "-r", "22050", "-c", "1", "-e",
                           codec.encoding, "out.wav"},
                          dir)
                          .seconds);
    }
    const std::string what =
        seconds + " s, 44.1 kHz stereo 16-bit into 22050 Hz mono " + codec.name;
    const double ratio = Median(ours) / Median(soxes);
    table->Row("fit " + what + ": wavescan --fit", Fixed(Median(ours), " s"));
    table->Row("fit " + what + ": sox", Fixed(Median(soxes), " s"));
    table->Row("wavescan --fit / sox, " + std::string(codec.name), Fixed(ratio, "x"),
               "at most 1.5x", ratio <= 1.5);
  }
}

}  // namespace

// Writes a bank of about mib MiB of waves of 16 to 96 KiB, random bytes
// each (some 19,000 in 1 GiB), with one more wave before them when
// inserted; and in parts, unless "", a part file bank.dat_OFFSET.wav of
// each wave as it lies in the bank without that wave: a 12-byte wave,
// shorter than its slot.
int MovingBank(const std::string &path, int mib, bool inserted, const std::string &parts) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (inserted) {
    std::string wave = Wave(20000, 12345);  // a seed of none of the others
    wave.replace(8, 4, "WAVE");
    std::fwrite(wave.data(), 1, wave.size(), file);
  }
  std::uint32_t seed = 7;
  int waves = 0;
  const std::uint64_t total = static_cast<std::uint64_t>(mib) << 20;
  for (std::uint64_t at = 0; at < total;) {  // at: the offset in the bank without that wave
    seed = seed * 1664525u + 1013904223u;
    std::string wave = Wave((16 << 10) + seed % (80 << 10), seed);
    wave.replace(8, 4, "WAVE");
    if (!parts.empty()) {
      char name[32];
      std::snprintf(name, sizeof name, "bank.dat_%08llx.wav", static_cast<unsigned long long>(at));
      Put(parts + name, std::string("RIFF\x04\0\0\0WAVE", 12));
    }
    ++waves;
    at += wave.size();
    std::fwrite(wave.data(), 1, wave.size(), file);
  }
  std::fclose(file);
  return waves;
}

// wavescan --moved-from moving a part of every wave of a bank of
// scanMiB, after one wave was inserted before them all, against one check
// of the new version with the parts in place. The two versions trade
// places between runs, so that each run moves every part.
void Moving(const Sizes &n, const std::string &bin, const std::string &root, Table *table) {
  const std::string one = Dir(root + "moving-one");
  const std::string two = Dir(root + "moving-two");
  MovingBank(one + "bank.dat", n.scanMiB, false, "");
  const int waves = MovingBank(two + "bank.dat", n.scanMiB, true, "");
  MovingBank(root + "unused.dat", n.scanMiB, false, two);
  std::remove((root + "unused.dat").c_str());
  std::vector<double> moves;
  std::vector<double> checks;
  for (int run = 0; run < n.runs; ++run) {
    moves.push_back(Run({bin + "wavescan", "--moved-from", one, "bank.dat"}, two).seconds);
    checks.push_back(Run({bin + "wavescan", "bank.dat"}, two).seconds);
    std::string swap = "mv bank.dat t.dat && mv '";
    swap += one + "bank.dat' bank.dat && mv t.dat '";
    swap += one + "bank.dat'";
    Run({"/bin/sh", "-c", swap}, two);
  }
  const std::string what =
      std::to_string(n.scanMiB) + " MiB, " + std::to_string(waves) + " waves, a part each";
  table->Row("move parts after an update, " + what + ": wavescan --moved-from",
             Fixed(Median(moves), " s"));
  table->Row("check of the new version, the same parts: wavescan", Fixed(Median(checks), " s"));
  const double ratio = Median(moves) / Median(checks);
  table->Row("wavescan --moved-from / check", Fixed(ratio, "x"), "at most 3x", ratio <= 3);
}

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wavesplice_bench BUILD-DIR SCRATCH-DIR [--small]\n");
    return 2;
  }
  const bool small = argc > 3 && std::string(argv[3]) == "--small";
  const Sizes sizes = small ? Sizes{200, 64 * 1024, 100, 400, 8, 3, 64, 100, 500, 5}
                            : Sizes{4000, 64 * 1024, 1000, 4000, 64, 9, 1024, 1000, 12500, 60};
  const std::string bin = std::string(argv[1]) + "/";
  const std::string tool = bin + "wavesplice";
  const std::string root = Dir(argv[2]);
  Table table;
  table.judged = !small;
  table.text = "| measure | median of " + std::to_string(sizes.runs) +
               " runs (dd loop: a third as many) | target | holds |\n" +
               "| --- | --- | --- | --- |\n";
  Splice(sizes, tool, bin + "bench/splice_floor", root, &table);
  Syscalls(tool, root, &table);
  Search(sizes, tool, root, &table);
  Memory(sizes, tool, root, &table);
  Scan(sizes, bin, root, &table);
  Meetings(sizes, bin, root, &table);
  Extraction(sizes, bin, root, &table);
  ExtractCopy(sizes, bin, root, &table);
  Fitting(sizes, bin, root, &table);
  CodecQuality(sizes, bin, root, &table);
  CodecSpeed(sizes, bin, root, &table);
  Moving(sizes, bin, root, &table);
  std::printf("Machine: %s\n\n%s", Machine().c_str(), table.text.c_str());
  return 0;
}
