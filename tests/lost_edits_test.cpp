// Every way a splice could lose an edit that wavescan must catch first: one
// bank under two names, a part that is a bank, files that are no waves
// whatever their length, and the smaller holes around them. Each row checks
// the line a person reads, the keys a script reads, and the status.
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "harness.h"

namespace {

using nlohmann::json;

class LostEdits : public Scratch {
 protected:
  void Link(const std::string& from, const std::string& to, bool symbolic) const {
    const int made = symbolic ? symlink(from.c_str(), Path(to).c_str())
                              : link(Path(from).c_str(), Path(to).c_str());
    ASSERT_EQ(made, 0) << to;
  }
};

const std::string kVoice = PcmWave(16000, 1, 16, 300);  // 644 bytes
const std::string kBank = std::string(64, 'U') + kVoice + kVoice;

std::string Le(std::uint32_t value) {
  return std::string{static_cast<char>(value), static_cast<char>(value >> 8),
                     static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
}

// kVoice with its byte rate (bytes 28 to 31) doubled.
std::string TwiceTheByteRate() { return kVoice.substr(0, 28) + Le(64000) + kVoice.substr(32); }

struct Row {
  const char* what;
  std::function<void()> setUp;
  const char* args;                   // wavescan's, and --json for the keys
  const char* line;                   // in standard output
  std::vector<const char*> problems;  // of the first part, or of the container when no part
  const char* verdict;                // of the first part, or "" for the container
  int status;
  bool onWindows;  // whether it holds under Wine
};

TEST_F(LostEdits, AreCaughtBeforeTheSplice) {
  const Row rows[] = {
      {"a hard link",
       [this] {
         Put("a.dat", kBank);
         Link("a.dat", "b.dat", false);
         Put("a.dat_00000040.wav", kVoice);
       },
       "'*.dat'",
       "Scanning a.dat, 1352 bytes\n  PROBLEM: it is the same file as b.dat, matched in this run "
       "too: wavesplice would splice the parts of each name into it, the later over the "
       "earlier\n",
       {"same_file"},
       "",
       1,
       true},
      {"a hard link, extracted",
       [this] {
         Put("a.dat", kBank);
         Link("a.dat", "b.dat", false);
       },
       "--extract '*.dat'",
       "0.019 s; not extracted: b.dat is the same file as a.dat, extracted under that name\n",
       {"same_file"},
       "",
       1,
       true},
      {"a symbolic link",
       [this] {
         Put("a.dat", kBank);
         Link("a.dat", "b.dat", true);
       },
       "'*.dat'",
       "  PROBLEM: it is the same file as b.dat",
       {"same_file"},
       "",
       1,
       true},
      {"a part that is its own container",
       [this] {
         Put("bank.dat", kVoice + kVoice);  // the bank is, to wavesplice, a wave as long
         Link("bank.dat", "bank.dat_00000284.wav", true);
       },
       "bank.dat",
       "(PCM, 1 channel, 16000 Hz, 16 bits, 0.019 s): PROBLEM: it is the same file as "
       "bank.dat, a container of this run: splicing it would copy that container's own first "
       "bytes here. Its length: fits\n",
       {"same_file"},
       "fits",
       1,
       true},
      {"a part that is its own container, which begins with its table",
       [this] {
         Put("bank.dat", kBank);
         Link("bank.dat", "bank.dat_00000040.wav", false);
       },
       "bank.dat",
       "PROBLEM: it is the same file as bank.dat, a container of this run: splicing it would "
       "copy that container's own first bytes here\n",
       {"not_a_wave", "refused", "same_file"},
       "refused",
       1,
       true},
      {"a renamed FLAC",
       [this] {
         Put("bank.dat", kBank);
         Put("bank.dat_00000040.wav", std::string("fLaC\0\0\0\x22", 8) + std::string(100, 'F'));
       },
       "bank.dat",
       "offset 00000040 length 22000008: PROBLEM: not a wave: it begins with fLaC, as FLAC files "
       "do. PROBLEM: "
       "wavesplice would refuse it: holds 108 bytes, fewer than its wave length of 570425352\n",
       {"not_a_wave", "refused"},
       "refused",
       1,
       true},
      {"an MP3 without a tag",
       [this] {
         Put("bank.dat", kBank);
         Put("bank.dat_00000040.wav",
             std::string("\xff\xfb\x90\x64\x00\x0f\xf0\x00", 8) + std::string(400, 'M'));
       },
       "bank.dat",
       "PROBLEM: not a wave: it begins with an MPEG frame sync, as MP3 files do. PROBLEM: "
       "wavesplice would refuse it",
       {"not_a_wave", "refused"},
       "refused",
       1,
       true},
      {"an MP3 with a tag",
       [this] {
         Put("bank.dat", kBank);
         Put("bank.dat_00000040.wav",
             std::string("ID3\x04\0\0\0\0\x02\x01", 10) + std::string(400, 'M'));
       },
       "bank.dat",
       "length 00000008: PROBLEM: not a wave: it begins with ID3, as MP3 files do\n",
       {"not_a_wave"},
       "not_a_wave",
       1,
       true},
      {"a renamed Ogg",
       [this] {
         Put("bank.dat", kBank);
         Put("bank.dat_00000040.wav", std::string("OggS\0\x02", 6) + std::string(600, '\0'));
       },
       "bank.dat",
       "length 00000208: PROBLEM: not a wave: it begins with OggS, as Ogg files do\n",
       {"not_a_wave"},
       "not_a_wave",
       1,
       true},
      {"a RIFX file",
       [this] {
         Put("bank.dat", kBank);
         Put("bank.dat_00000040.wav",
             "RIFX" + std::string("\0\0\x02\x7c", 4) + "WAVE" + std::string(624, '\0'));
       },
       "bank.dat",
       "PROBLEM: not a wave: it begins with RIFX: big-endian RIFF, which is no WAVE file. PROBLEM: "
       "wavesplice would refuse it",
       {"not_a_wave", "refused"},
       "refused",
       1,
       true},
      {"a part of length 0 beside one for its offset",
       [this] {
         Put("bank.dat", kBank);
         Put("bank.dat_00000040.wav", kVoice);
         Put("bank.dat_0x000040.wav", Wave(0xfffffff8, ""));
       },
       "bank.dat",
       "  part bank.dat_00000040.wav offset 00000040 length 00000284 (PCM, 1 channel, 16000 Hz, "
       "16 bits, 0.019 s): fits\n",
       {},
       "fits",
       1,
       true},
      {"a .wav of three waves",
       [this] { Put("sfx.wav", kVoice + PcmWave(8000, 1, 8, 20) + kVoice); },
       "--extract sfx.wav",
       "  wave 00000000 length 00000284: PCM, 1 channel, 16000 Hz, 16 bits, 0.019 s; extracted "
       "to sfx.wav_00000000.wav\n",
       {},
       "",
       0,
       true},
      {"twice the byte rate",
       [this] {
         Put("bank.dat", kBank);
         Put("bank.dat_00000040.wav", TwiceTheByteRate());
       },
       "bank.dat",
       "PROBLEM: another format than the wave at that offset: byte rate 64000, not 32000. Its "
       "length: fits\n",
       {"format_differs"},
       "fits",
       1,
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (onWindows && !row.onWindows) continue;
    std::system(("rm -rf '" + Path("") + "' && mkdir '" + Path("") + "'").c_str());
    row.setUp();
    const Result text = Scan(row.args);
    EXPECT_NE(text.out.find(row.line), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("fine"), std::string::npos) << text.out;
    EXPECT_EQ(text.status, row.status);
    const Result keys = Scan(std::string("--json ") + row.args);
    EXPECT_EQ(keys.status, row.status);
    const json report = json::parse(keys.out);
    const json& container = report["containers"][0];
    std::vector<std::string> problems(row.problems.begin(), row.problems.end());
    if (*row.verdict == '\0') {
      EXPECT_EQ(container["problems"], json(problems)) << container;
    } else {
      EXPECT_EQ(container["parts"][0]["problems"], json(problems)) << container;
      EXPECT_EQ(container["parts"][0]["verdict"], row.verdict) << container;
    }
  }
}

TEST_F(LostEdits, ScriptsReadTheBytesAndTheNamesAPartMeets) {
  // Six parts over one wave, each longer than its slot: every one overlaps
  // the five others. The line names three, and counts the rest.
  Put("bank.dat", kBank);
  for (const char* offset : {"40", "41", "42", "43", "44", "45"}) {
    Put(std::string("bank.dat_000000") + offset + ".wav", PcmWave(16000, 1, 16, 622));
  }
  const Result text = Scan("bank.dat");
  EXPECT_NE(text.out.find("PROBLEM: its bytes overlap those of bank.dat_00000040.wav, "
                          "bank.dat_00000041.wav, bank.dat_00000043.wav and 2 more\n"),
            std::string::npos)
      << text.out;
  const json parts = json::parse(Scan("--json bank.dat").out)["containers"][0]["parts"];
  EXPECT_EQ(parts[2]["overlapping_parts"]["count"], 5);
  EXPECT_EQ(parts[2]["overlapping_parts"]["names"].size(), 5u);
  EXPECT_EQ(parts[2]["same_offset_parts"], json({{"count", 0}, {"names", json::array()}}));
  // The first is longer than its wave by all it overwrites; the last, where
  // no wave starts, reaches 5 bytes past the container's end.
  for (const auto& [index, longer, overwrites, lengthens] :
       {std::tuple<int, int, int, int>{0, 644, 644, 0}, {5, 0, 0, 5}}) {
    EXPECT_EQ(parts[index]["longer_by"], longer);
    EXPECT_EQ(parts[index]["overwrites"], overwrites);
    EXPECT_EQ(parts[index]["lengthens"], lengthens);
  }
}

TEST_F(LostEdits, AContainerWavespliceCannotOpenIsAProblemWithoutParts) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: Wine runs as root here";
  chmod(root_.c_str(), 0777);
  chmod(Path("").c_str(), 0777);
  Put("bank.dat", kBank);
  chmod(Path("bank.dat").c_str(), 0444);
  std::string skip;
  const std::string nobody = Unprivileged(&skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  const Result text = Scan("bank.dat", false, nobody);
  EXPECT_NE(text.out.find("Scanning bank.dat, 1352 bytes\n  PROBLEM: wavesplice could not open "
                          "it for update: Permission denied\n"),
            std::string::npos)
      << text.out;
  EXPECT_EQ(text.status, 1);
  const json container = json::parse(Scan("--json bank.dat", false, nobody).out)["containers"][0];
  EXPECT_EQ(container["problems"], json({"not_writable"}));
  EXPECT_EQ(container["not_writable"], "Permission denied");
  // A folder it may not list: scripts are told too.
  mkdir(Path("closed").c_str(), 0311);
  const json closed = json::parse(Scan("--json 'closed/*.dat'", false, nobody).out);
  EXPECT_EQ(closed["containers"], json::array());
  EXPECT_EQ(closed["error"], "closed/: cannot list: Permission denied");
}

}  // namespace
