// Both programs run with their streams closed, into a pipe nobody reads,
// past a file-size limit, in a folder they may not list: whatever happens,
// nothing but wave bytes may land in a container, and no half-written
// extraction may be left behind.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "harness.h"

namespace {

const std::string kWave = PcmWave(8000, 1, 8, 80);         // 124 bytes
const std::string kEdited = PcmWave(11025, 1, 8, 80);      // as long, other samples
const std::string kTail = Wave(24, std::string(24, 'L'));  // 32 bytes
const std::string kBank = std::string(64, 'U') + kWave + std::string(1024 - 64 - 124, 'U');
const std::string kShort = PcmWave(44100, 1, 16, 10);  // 64 bytes
const std::string kLong = PcmWave(8000, 1, 8, 3000);   // 3044 bytes, past a 2 KiB limit
const std::string kE(4096, 'Z');

// What c.dat holds after the run.
enum class Bank { kUnchanged, kSpliced, kSplicedButTheTail };
// What wavescan --extract left of d.dat's two waves.
enum class Parts { kNone, kBoth, kShortOnly };

struct Fault {
  const char* what;
  bool scan;           // wavescan, else wavesplice
  const char* script;  // CMD is the program; WRAP runs it as a user who may not list nr/
  int status;
  std::string out;
  std::string err;
  Bank bank;
  Parts parts;
  bool onWine;  // whether the case can hold under Wine
};

// c.dat's short part is refused and said on standard error in every run
// that reaches it.
const char kSpliced[] =
    "Replacing waves in c.dat\n"
    "Processing c.dat_00000040.wav offset 00000040 length 0000007c\n"
    "Processing c.dat_00000200.wav offset 00000200 length 0000006c\n"
    "Processing c.dat_000003f0.wav offset 000003f0 length 00000020\n";
const char kRefused[] =
    "wavesplice: c.dat_00000200.wav: holds 17 bytes, fewer than its wave length of 108; "
    "nothing written\n";
// Nobody reads the pipe: its reader closed it before the program began.
#define NO_READER(run) \
  "mkfifo go; { read -r _ <go; " run "; echo $? >\"$STATUS\"; } | { exec 0<&-; echo >go; }"

class Faults : public Scratch, public ::testing::WithParamInterface<Fault> {};

TEST_P(Faults, LeaveNothingButWavesWritten) {
  const Fault& fault = GetParam();
  if (onWindows && !fault.onWine) {
    GTEST_SKIP() << "cannot hold under Wine: its start-up takes closed descriptors, no ulimit, "
                    "runs as root";
  }
  Put("c.dat", kBank);
  Put("c.dat_00000040.wav", kEdited);
  Put("c.dat_00000200.wav", Wave(100, "only this"));
  Put("c.dat_000003f0.wav", kTail);  // lengthens the container
  Put("d.dat", kShort + kLong);
  Put("e.dat", kE);
  Put("e.dat_000007f0.wav", kWave);  // inside the container, past a 2 KiB limit
  mkdir(Path("nr").c_str(), 0755);
  Put("nr/c.dat", kBank);
  Put("nr/c.dat_00000040.wav", kEdited);

  std::string script = fault.script;
  std::string wrap;
  if (script.find("WRAP") != std::string::npos) {
    chmod(root_.c_str(), 0777);
    chmod(Path("").c_str(), 0777);
    chmod(Path("nr").c_str(), 0311);  // may be passed through, not listed
    std::string skip;
    wrap = Unprivileged(&skip);
    if (!skip.empty()) GTEST_SKIP() << skip;
    script.replace(script.find("WRAP"), 4, wrap);
  }
  const char* tool = std::getenv("WAVESPLICE");
  ASSERT_NE(tool, nullptr);
  if (std::string(tool).find("valgrind") != std::string::npos &&
      script.find("2>&-") != std::string::npos) {
    GTEST_SKIP() << "cannot hold under valgrind: it needs standard error itself";
  }
  script.replace(script.find("CMD"), 3, fault.scan ? wavescanCommand : std::string(tool));
  const Result run = Script(script, onWindows);
  chmod(Path("nr").c_str(), 0755);

  EXPECT_EQ(run.status, fault.status);
  EXPECT_EQ(run.out, fault.out);
  EXPECT_EQ(run.err, fault.err);
  const std::string edited = std::string(64, 'U') + kEdited + kBank.substr(64 + 124);
  switch (fault.bank) {
    case Bank::kUnchanged:
      EXPECT_EQ(Get("c.dat"), kBank);
      break;
    case Bank::kSpliced:
      EXPECT_EQ(Get("c.dat"), edited.substr(0, 0x3f0) + kTail);
      break;
    case Bank::kSplicedButTheTail:
      EXPECT_EQ(Get("c.dat"), edited);
      break;
  }
  EXPECT_EQ(Get("nr/c.dat"), kBank);
  EXPECT_EQ(Get("e.dat"), kE);
  EXPECT_EQ(Get("d.dat"), kShort + kLong);
  EXPECT_EQ(Get("d.dat_00000000.wav"), fault.parts == Parts::kNone ? "" : kShort);
  EXPECT_EQ(access(Path("d.dat_00000040.wav").c_str(), F_OK) == 0, fault.parts == Parts::kBoth);
  if (fault.parts == Parts::kBoth) {
    EXPECT_EQ(Get("d.dat_00000040.wav"), kLong);
  }
}

const char kExtracted[] =
    "Scanning d.dat, 3108 bytes\n"
    "  wave 00000000 length 00000040: PCM, 1 channel, 44100 Hz, 16 bits, 0.000 s; extracted to "
    "d.dat_00000000.wav\n"
    "  wave 00000040 length 00000be4: PCM, 1 channel, 8000 Hz, 8 bits, 0.375 s; extracted to "
    "d.dat_00000040.wav\n"
    "d.dat: 2 waves, 0 part files: 0 fit, 0 shorter, 0 with a problem, 0 skipped, 2 extracted\n";
const char kUnlisted[] = ": nr/: cannot list: Permission denied\n";

INSTANTIATE_TEST_SUITE_P(
    BothPrograms, Faults,
    ::testing::Values(
        Fault{"SpliceWithOutputClosed", false, "CMD c.dat >&- 2>\"$ERR\" </dev/null", 1, "",
              kRefused, Bank::kSpliced, Parts::kNone, false},
        Fault{"SpliceWithErrorClosed", false, "CMD c.dat >\"$OUT\" 2>&- </dev/null", 1, kSpliced,
              "", Bank::kSpliced, Parts::kNone, false},
        Fault{"SpliceWithInputClosed", false, "CMD c.dat >\"$OUT\" 2>\"$ERR\" <&-", 1, kSpliced,
              kRefused, Bank::kSpliced, Parts::kNone, false},
        Fault{"SpliceIntoAPipeNobodyReads", false, NO_READER("CMD c.dat 2>\"$ERR\" </dev/null"), 1,
              "",
              std::string(kRefused) + "wavesplice: standard output: cannot write: Broken pipe\n",
              Bank::kSpliced, Parts::kNone, true},
        // The shell does not ignore SIGXFSZ: the program must.
        Fault{"SplicePastAFileSizeLimit", false,
              "ulimit -f 1; CMD c.dat >\"$OUT\" 2>\"$ERR\" </dev/null", 1, kSpliced,
              std::string(kRefused) +
                  "wavesplice: c.dat: no room to write c.dat_000003f0.wav at offset 0x000003f0: "
                  "File too large; nothing written\n",
              Bank::kSplicedButTheTail, Parts::kNone, false},
        Fault{"SplicePastAFileSizeLimitInsideTheContainer", false,
              "ulimit -f 2; CMD e.dat >/dev/null 2>\"$ERR\" </dev/null", 1, "",
              "wavesplice: e.dat: no room to write e.dat_000007f0.wav at offset 0x000007f0: File "
              "too large; nothing written\n",
              Bank::kUnchanged, Parts::kNone, false},
        Fault{"SpliceInAFolderItMayNotList", false, "WRAP CMD 'nr/*.dat' >\"$OUT\" 2>\"$ERR\"", 1,
              "", std::string("wavesplice") + kUnlisted, Bank::kUnchanged, Parts::kNone, false},
        Fault{"SpliceANamedContainerInAFolderItMayNotList", false,
              "WRAP CMD nr/c.dat >\"$OUT\" 2>\"$ERR\"", 1, "",
              std::string("wavesplice") + kUnlisted, Bank::kUnchanged, Parts::kNone, false},
        Fault{"SpliceMatchingNothing", false, "CMD '*.none' >\"$OUT\" 2>\"$ERR\"", 0, "", "",
              Bank::kUnchanged, Parts::kNone, true},
        Fault{"ExtractWithOutputClosed", true, "CMD --extract d.dat >&- 2>\"$ERR\" </dev/null", 0,
              "", "", Bank::kUnchanged, Parts::kBoth, false},
        Fault{"ExtractWithErrorClosedPastAFileSizeLimit", true,
              "ulimit -f 2; CMD --extract d.dat >\"$OUT\" 2>&- </dev/null", 1,
              "Scanning d.dat, 3108 bytes\n"
              "  wave 00000000 length 00000040: PCM, 1 channel, 44100 Hz, 16 bits, 0.000 s; "
              "extracted to d.dat_00000000.wav\n"
              "  wave 00000040 length 00000be4: PCM, 1 channel, 8000 Hz, 8 bits, 0.375 s; NOT "
              "extracted\n"
              "d.dat: 2 waves, 0 part files: 0 fit, 0 shorter, 0 with a problem, 0 skipped, 1 "
              "extracted, 1 failed\n",
              "", Bank::kUnchanged, Parts::kShortOnly, false},
        Fault{"ExtractWithInputClosed", true, "CMD --extract d.dat >\"$OUT\" 2>\"$ERR\" <&-", 0,
              kExtracted, "", Bank::kUnchanged, Parts::kBoth, false},
        Fault{"ExtractIntoAPipeNobodyReads", true,
              NO_READER("CMD --extract d.dat 2>\"$ERR\" </dev/null"), 1, "",
              "wavescan: standard output: cannot write: Broken pipe\n", Bank::kUnchanged,
              Parts::kBoth, true},
        Fault{"ExtractPastAFileSizeLimit", true,
              "ulimit -f 2; CMD --extract d.dat >/dev/null 2>\"$ERR\" </dev/null", 1, "",
              "wavescan: d.dat_00000040.wav: cannot write: File too large; removed\n",
              Bank::kUnchanged, Parts::kShortOnly, false},
        Fault{"ScanInAFolderItMayNotList", true, "WRAP CMD nr/c.dat >\"$OUT\" 2>\"$ERR\"", 1, "",
              std::string("wavescan") + kUnlisted, Bank::kUnchanged, Parts::kNone, false},
        Fault{"ScanMatchingNothing", true, "CMD '*.none' >\"$OUT\" 2>\"$ERR\"", 1, "",
              "wavescan: *.none: no such container\n", Bank::kUnchanged, Parts::kNone, true}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.what); });

}  // namespace
