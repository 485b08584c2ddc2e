// Runs wavescan, with wavesplice beside it, in scratch directories: the round
// trip of scan, extract and splice, each verdict of the check, and what
// extraction does where it cannot or must not write.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "harness.h"

namespace {

using Wavescan = Scratch;

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

const std::string kShort = PcmWave(44100, 1, 16, 10);   // 64 bytes
const std::string kMono = PcmWave(8000, 1, 8, 80);      // 124 bytes
const std::string kStereo = PcmWave(22050, 2, 16, 50);  // 244 bytes
const std::string kNotWave = "RIFF" + std::string("\x04\0\0\0", 4) + "JUNK";

TEST_F(Wavescan, ExtractsEveryWaveAndTheSpliceThenChangesNoByte) {
  const std::string bank = std::string(100, 'U') + kMono + kNotWave + kStereo + kShort;
  Put("bank.dat", bank);
  const std::string waves =
      "Scanning bank.dat, 544 bytes\n"
      "  wave 00000064 length 0000007c: PCM, 1 channel, 8000 Hz, 8 bits, 0.010 s%s\n"
      "  wave 000000ec length 000000f4: PCM, 2 channels, 22050 Hz, 16 bits, 0.002 s%s\n"
      "  wave 000001e0 length 00000040: PCM, 1 channel, 44100 Hz, 16 bits, 0.000 s%s\n";
  const auto with = [&waves](const char* a, const char* b, const char* c) {
    char text[512];
    std::snprintf(text, sizeof text, waves.c_str(), a, b, c);
    return std::string(text);
  };

  const Result listed = Scan("bank.dat");  // reads only
  EXPECT_EQ(listed.out, with("", "", "") +
                            "bank.dat: 3 waves, 0 part files: 0 fit, 0 shorter, 0 with a problem, "
                            "0 skipped\n");
  EXPECT_EQ(listed.status, 0);
  EXPECT_FALSE(Exists(Path("bank.dat_00000064.wav")));

  const Result extracted = Scan("--extract '*.dat'");
  EXPECT_EQ(extracted.out,
            with("; extracted to bank.dat_00000064.wav", "; extracted to bank.dat_000000ec.wav",
                 "; extracted to bank.dat_000001e0.wav") +
                "bank.dat: 3 waves, 0 part files: 0 fit, 0 shorter, 0 with a "
                "problem, 0 skipped, 3 extracted\n");
  EXPECT_EQ(extracted.err, "");
  EXPECT_EQ(extracted.status, 0);
  EXPECT_EQ(Get("bank.dat_00000064.wav"), kMono);
  EXPECT_EQ(Get("bank.dat_000000ec.wav"), kStereo);
  EXPECT_EQ(Get("bank.dat_000001e0.wav"), kShort);

  EXPECT_EQ(Tool("bank.dat").status, 0);
  EXPECT_EQ(Get("bank.dat"), bank);
  const Result checked = Scan("bank.dat");
  EXPECT_NE(checked.out.find("bank.dat: 3 waves, 3 part files: 3 fit, 0 shorter, 0 with a problem"),
            std::string::npos)
      << checked.out;
  EXPECT_EQ(checked.status, 0);
}

TEST_F(Wavescan, GivesEachPartFileItsVerdict) {
  // Waves at 0x00, 0x40 and 0xbc, then 24 bytes that are none. Each part
  // is in the format of the wave it replaces, where one starts there.
  Put("c.dat", kShort + kMono + kShort + std::string(24, 'U'));
  Put("c.dat_00000000.wav", PcmWave(44100, 1, 16, 10));  // as long as the wave there
  Put("c.dat_00000040.wav", PcmWave(8000, 1, 8, 56));    // 24 bytes shorter
  Put("c.dat_000000bc.wav", PcmWave(44100, 1, 16, 14));  // 8 bytes longer
  Put("c.dat_000000b0.wav", Wave(0, ""));                // inside the wave at 0x40
  Put("c.dat_00000110.wav", Wave(0, ""));                // among the bytes after the waves
  Put("c.dat_00000200.wav", Wave(0, ""));                // after the container's end
  Put("c.dat_00000114.wav", Wave(0xfffffff8, ""));       // at the end, writing nothing
  Put("c.dat_00000004.wav", "RIFF");                     // no whole header
  Put("c.dat_00000008.wav", Wave(100, "only this"));     // fewer bytes than its size says
  Put("c.dat_40.wav", kShort);                           // a name of the wrong length
  const Result run = Scan("c.dat");
  const std::string notAWave =
      "PROBLEM: not a wave: its wave length of 8 bytes is less than the 12 bytes of a wave's "
      "header. ";
  EXPECT_EQ(run.out,
            "Scanning c.dat, 276 bytes\n"
            "  wave 00000000 length 00000040: PCM, 1 channel, 44100 Hz, 16 bits, 0.000 s\n"
            "  wave 00000040 length 0000007c: PCM, 1 channel, 8000 Hz, 8 bits, 0.010 s\n"
            "  wave 000000bc length 00000040: PCM, 1 channel, 44100 Hz, 16 bits, 0.000 s\n"
            "  part c.dat_00000000.wav offset 00000000 length 00000040 (PCM, 1 channel, 44100 Hz, "
            "16 bits, 0.000 s): fits\n"
            "  part c.dat_00000004.wav offset 00000004: PROBLEM: not a wave: it holds 4 bytes, "
            "fewer than the 12 bytes of a wave's header. PROBLEM: wavesplice would refuse it: "
            "cannot read: fewer than 8 bytes, no chunk header\n"
            "  part c.dat_00000008.wav offset 00000008 length 0000006c: PROBLEM: not a wave: it is "
            "a RIFF file "
            "of form 'only', not WAVE. PROBLEM: wavesplice would refuse it: holds 17 bytes, "
            "fewer than its wave length of 108\n"
            "  part c.dat_00000040.wav offset 00000040 length 00000064 (PCM, 1 channel, 8000 Hz, "
            "8 bits, 0.007 s): shorter than the wave at that offset by 24 bytes; fine: the rest "
            "of the old wave stays behind it\n"
            "  part c.dat_000000b0.wav offset 000000b0 length 00000008: " +
                notAWave +
                "PROBLEM: no wave starts at that offset; it falls inside the wave at 00000040\n"
                "  part c.dat_000000bc.wav offset 000000bc length 00000048 (PCM, 1 channel, 44100 "
                "Hz, 16 bits, 0.000 s): PROBLEM: LONGER than the wave at that offset by 8 bytes: "
                "splicing it would overwrite 8 bytes after the wave; with its other chunks as "
                "they are, 20 bytes of samples would fit (0.000 s)\n"
                "  part c.dat_00000110.wav offset 00000110 length 00000008: " +
                notAWave +
                "PROBLEM: no wave starts at that offset; splicing it would lengthen the container "
                "by 4 bytes\n"
                "  part c.dat_00000114.wav offset 00000114 length 00000000: PROBLEM: not a wave: "
                "its wave length of 0 bytes is less than the 12 bytes of a wave's header. "
                "PROBLEM: past the container's end\n"
                "  part c.dat_00000200.wav offset 00000200 length 00000008: " +
                notAWave +
                "PROBLEM: past the container's end: splicing it would lengthen the container by "
                "244 bytes\n"
                "  part c.dat_40.wav: skipped, as wavesplice skips it: its name has 12 bytes, not "
                "the 18 of a part file\n"
                "c.dat: 3 waves, 10 part files: 1 fit, 1 shorter, 7 with a problem, 1 skipped\n");
  EXPECT_EQ(run.status, 1);
}

TEST_F(Wavescan, ExtractionKeepsAnExistingPartOfOtherCase) {
  const std::string replacement = PcmWave(8000, 1, 8, 80);
  Put("c.dat", kShort + kMono);
  Put("C.DAT_00000040.WAV", replacement);
  const Result run = Scan("--extract c.dat");
  EXPECT_NE(run.out.find("length 00000040: PCM, 1 channel, 44100 Hz, 16 bits, 0.000 s; "
                         "extracted to c.dat_00000000.wav\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("; kept the existing C.DAT_00000040.WAV\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Get("C.DAT_00000040.WAV"), replacement);
  EXPECT_EQ(Get("c.dat_00000000.wav"), kShort);
  if (!onWindows) {
    EXPECT_FALSE(Exists(Path("c.dat_00000040.wav")));
  }
}

TEST_F(Wavescan, ExtractionThatCannotCreateOrFinishAFileLeavesNone) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: Wine runs as root here, no ulimit";
  chmod(root_.c_str(), 0777);
  chmod(Path("").c_str(), 0777);
  mkdir(Path("locked").c_str(), 0755);
  Put("locked/c.dat", kShort + "tail");  // more than its one wave
  chmod(Path("locked").c_str(), 0555);
  std::string skip;
  const std::string nobody = Unprivileged(&skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  const Result locked = Scan("--extract locked/c.dat", false, nobody);
  EXPECT_EQ(locked.status, 1);
  EXPECT_NE(locked.out.find("0.000 s; NOT extracted\n"), std::string::npos) << locked.out;
  EXPECT_EQ(locked.err, "wavescan: locked/c.dat_00000000.wav: cannot create: Permission denied\n");
  const Result json = Scan("--json --extract locked/c.dat", false, nobody);
  EXPECT_NE(json.out.find("\"extracted\":0,\"failed\":1"), std::string::npos) << json.out;
  EXPECT_FALSE(Exists(Path("locked/c.dat_00000000.wav")));

  // A file-size limit stops the long wave partway; the short one still lands.
  const std::string longWave = PcmWave(8000, 1, 8, 2000);
  Put("d.dat", kShort + longWave);
  const Result limited = Scan("--extract d.dat", false, "ulimit -f 1 && ");
  EXPECT_EQ(limited.status, 1);
  EXPECT_EQ(limited.err, "wavescan: d.dat_00000040.wav: cannot write: File too large; removed\n");
  EXPECT_FALSE(Exists(Path("d.dat_00000040.wav")));
  EXPECT_EQ(Get("d.dat_00000000.wav"), kShort);
}

TEST_F(Wavescan, NeverCreatesAPartFileNoSearchCouldReturn) {
  const struct {
    std::size_t length;  // of the container's name; its parts' have 13 more
    bool extracted;
  } cases[] = {{242, true}, {247, false}};
  for (const auto& c : cases) {
    const std::string container = std::string(c.length - 4, 'c') + ".dat";
    const std::string part = container + "_00000000.wav";
    Put(container, kShort + "tail");  // more than its one wave
    const Result run = Scan("--extract " + container);
    EXPECT_EQ(run.status, c.extracted ? 0 : 1) << c.length;
    EXPECT_EQ(Exists(Path(part)), c.extracted) << c.length;
    EXPECT_EQ(run.err, c.extracted ? ""
                                   : "wavescan: " + part +
                                         ": not created: its name would have 260 bytes, more than "
                                         "the 259 a search returns, so neither program could "
                                         "find it\n")
        << c.length;
  }
}

TEST_F(Wavescan, RefusesFilesThatAreNotRegularWithoutWaiting) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: FIFOs";
  mkfifo(Path("a.dat").c_str(), 0644);
  Put("b.dat", kShort);
  mkfifo(Path("b.dat_00000000.wav").c_str(), 0644);
  const Result run = Scan("'*.dat'", true);
  EXPECT_EQ(run.out,
            "wavescan: a.dat: a folder or a device, not a file\n"
            "Scanning b.dat, 64 bytes\n"
            "  wave 00000000 length 00000040: PCM, 1 channel, 44100 Hz, 16 bits, 0.000 s\n"
            "  part b.dat_00000000.wav offset 00000000: PROBLEM: wavesplice would refuse it: "
            "a folder or a device, not a file\n"
            "b.dat: 1 wave, 1 part file: 0 fit, 0 shorter, 1 with a problem, 0 skipped\n");
  EXPECT_EQ(run.status, 1);
}

TEST_F(Wavescan, AnswersItsCommandLineAsUsual) {
  Put("c.dat", kShort);
  const struct {
    const char* args;
    int status;
    const char* out;  // the start of standard output
    const char* err;  // the start of standard error
  } cases[] = {
      {"", 2, "", "wavescan: no container or pattern given\nusage: wavescan [--json] [--extract]"},
      {"--extrac c.dat", 2, "", "wavescan: unknown option --extrac\nusage:"},
      {"c.dat c.dat", 2, "", "wavescan: one pattern only: quote a pattern"},
      {"--help", 0,
       "usage: wavescan [--json] [--extract] [--fit] [--moved-from OLD-FOLDER] "
       "CONTAINER-OR-PATTERN\n",
       ""},
      {"'*.none'", 1, "", "wavescan: *.none: no such container\n"},
      {"-- c.dat", 0, "Scanning c.dat, 64 bytes\n", ""},
  };
  for (const auto& c : cases) {
    const Result run = Scan(c.args);
    EXPECT_EQ(run.status, c.status) << c.args;
    EXPECT_EQ(run.out.substr(0, std::string(c.out).size()), c.out) << c.args;
    EXPECT_EQ(run.err.substr(0, std::string(c.err).size()), c.err) << c.args;
  }
  // On Windows a user may give an option as a switch; elsewhere it is a
  // path, here a second pattern.
  for (const char* arg : {"/json", "/EXTRACT"}) {
    const Result run = Scan(std::string(arg) + " c.dat");
    EXPECT_EQ(run.status, 2) << arg;
    const std::string err = onWindows ? "wavescan: unknown option " + std::string(arg) + "\nusage:"
                                      : "wavescan: one pattern only";
    EXPECT_EQ(run.err.substr(0, err.size()), err) << arg;
  }
}

}  // namespace
