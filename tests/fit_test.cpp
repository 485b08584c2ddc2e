// wavescan --fit on real sounds, with sox as the independent judge of what
// each converted sound should be: every fitted part is its wave but for the
// samples, which sound as sox's conversion of the user's file does; the
// user's file is kept; the splice then changes nothing but those samples.
// And the parts it must leave as they are, each saying why.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using nlohmann::json;

class Fit : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    if (std::system("command -v sox >/dev/null && test -d /usr/share/sounds/alsa && "
                    "test -d /usr/share/sounds/sound-icons") != 0) {
      GTEST_SKIP() << "needs sox, alsa-utils and sound-icons (scripts/test installs them)";
    }
  }
  // Runs sox in the work folder; its arguments go through the shell.
  void Sox(const std::string& args) const {
    ASSERT_EQ(std::system(("cd '" + Path("") + "' && sox " + args).c_str()), 0) << args;
  }
  // The samples of a wave file, as sox reads them, in 32-bit floats.
  std::vector<float> Floats(const std::string& name) const {
    Sox("'" + name + "' -t raw -e floating-point -b 32 floats.raw");
    const std::string raw = Get("floats.raw");
    std::vector<float> samples(raw.size() / sizeof(float));
    std::memcpy(samples.data(), raw.data(), samples.size() * sizeof(float));
    return samples;
  }
};

double Correlation(const std::vector<float>& a, const std::vector<float>& b, std::size_t count) {
  double ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < count; ++i) {
    ab += double{a[i]} * b[i];
    aa += double{a[i]} * a[i];
    bb += double{b[i]} * b[i];
  }
  return ab / std::sqrt(aa * bb);
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Where a wave's data chunk's contents lie: [*begin, *end).
void DataOf(const std::string& wave, std::size_t* begin, std::size_t* end) {
  for (std::size_t at = 12; at + 8 <= wave.size();
       at += 8 + Le32(wave, at + 4) + (Le32(wave, at + 4) & 1)) {
    if (wave.compare(at, 4, "data") == 0) {
      *begin = at + 8;
      *end = std::min<std::size_t>(*begin + Le32(wave, at + 4), wave.size());
      return;
    }
  }
  *begin = *end = wave.size();
}

// A mono 8000 Hz wave of 100 frames of silence, in 32-bit containers
// whose top 24 bits carry sound, as an extensible fmt chunk says.
std::string Extensible24In32() {
  const auto le = [](std::uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
    return text;
  };
  const std::string pcm("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);
  const std::string body = "WAVEfmt " + le(40, 4) + le(0xfffe, 2) + le(1, 2) + le(8000, 4) +
                           le(32000, 4) + le(4, 2) + le(32, 2) + le(22, 2) + le(24, 2) + le(4, 4) +
                           pcm + "data" + le(400, 4) + std::string(400, '\0');
  return Wave(static_cast<std::uint32_t>(body.size()), body);
}

struct Slot {
  const char* format;  // sox's options for the wave in the bank
  double seconds;
  const char* user;  // the user's replacement, from Debian's sounds, and how sox reads it
  const char* sox;   // sox's conversion of it into the slot's rate and channels
};

TEST_F(Fit, MakesRealSoundsFitTheirSlotsAsSoxWouldConvertThem) {
  const Slot slots[] = {
      {"-r 22050 -c 1 -b 8", 0.5, "/usr/share/sounds/alsa/Front_Center.wav", "-r 22050 -c 1"},
      {"-r 11025 -c 2 -b 16", 1.0, "/usr/share/sounds/sound-icons/guitar-12.wav", "-r 11025 -c 2"},
      {"-r 32000 -c 2 -b 24", 0.3, "/usr/share/sounds/sound-icons/cembalo-1.wav", "-r 32000 -c 2"},
      {"-r 44100 -c 1 -e floating-point -b 32", 0.4, "/usr/share/sounds/alsa/Front_Left.wav",
       "-r 44100 -c 1"},
      {"-r 8000 -c 1 -e floating-point -b 64", 0.3, "stereo.wav", "-r 8000 -c 1"},
      // Resampled, a square at full scale overshoots what a float slot may hold.
      {"-r 22050 -c 1 -e floating-point -b 32", 0.2, "square.wav", "-r 22050 -c 1"},
  };
  Sox("/usr/share/sounds/alsa/Rear_Right.wav -r 44100 -c 2 stereo.wav");  // a stereo file too
  Sox("-n -r 44100 -c 1 -e floating-point -b 32 square.wav synth 0.3 square 441 gain -n");
  std::string bank = std::string(64, 'U');
  std::vector<std::size_t> offsets;
  for (const Slot& slot : slots) {
    Sox("-n " + std::string(slot.format) + " slot.wav synth " + std::to_string(slot.seconds) +
        " sine 300 vol 0.3");
    offsets.push_back(bank.size());
    bank += Get("slot.wav") + std::string(20, 'U');
  }
  Put("bank.dat", bank);
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "bank.dat_%08zx.wav", offsets[i]);
    parts.push_back(name);
    Sox(std::string("'") + slots[i].user + "' '" + name + "'");
  }
  {  // Three samples of the square that are not numbers: NaN, +infinity, -infinity.
    std::string square = Get(parts[5]);
    std::size_t begin = 0, end = 0;
    DataOf(square, &begin, &end);
    square.replace(begin + 400, 12, std::string("\0\0\xc0\x7f\0\0\x80\x7f\0\0\x80\xff", 12));
    Put(parts[5], square);
  }
  std::vector<std::string> users;
  for (const std::string& part : parts) users.push_back(Get(part));

  const Result run = Scan("--fit --json bank.dat");
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  const json report = json::parse(run.out)["containers"][0];
  EXPECT_EQ(report["counts"]["fitted"], 6);
  const json& first = report["parts"][0];
  EXPECT_EQ(first["verdict"], "fits");
  EXPECT_EQ(first["fitted"]["kept_as"], parts[0] + ".orig");
  EXPECT_EQ(first["fitted"]["sample_rate"], json({48000, 22050}));
  EXPECT_EQ(first["fitted"]["channels"], nullptr);
  EXPECT_EQ(first["fitted"]["bits"], json({16, 8}));
  EXPECT_EQ(first["fitted"]["format"], nullptr);
  EXPECT_EQ(first["fitted"]["dithered"], true);
  EXPECT_NEAR(first["fitted"]["cut_seconds"].get<double>(), 68545.0 / 48000 - 0.5, 0.001);
  EXPECT_EQ(first["fitted"]["padded_seconds"], 0);
  EXPECT_EQ(report["parts"][1]["fitted"]["channels"], json({1, 2}));
  EXPECT_EQ(report["parts"][3]["fitted"]["format"], json({"PCM", "IEEE float"}));
  EXPECT_EQ(first["fitted"]["invalid_samples"], 0);
  const json& square = report["parts"][5];
  EXPECT_GT(square["fitted"]["clipped_samples"], 0);
  EXPECT_EQ(square["fitted"]["invalid_samples"], 3);
  {  // read as they are: sox would clip them itself
    const std::string fitted = Get(parts[5]);
    std::size_t begin = 0, end = 0;
    DataOf(fitted, &begin, &end);
    std::vector<float> samples((end - begin) / 4);
    std::memcpy(samples.data(), fitted.data() + begin, samples.size() * 4);
    for (float x : samples) ASSERT_LE(std::fabs(x), 1);
  }
  const std::string said = square["message"];
  EXPECT_NE(
      said.find(" samples clipped, 3 samples not numbers (NaN or infinity) taken as silence, "),
      std::string::npos)
      << said;

  // Bits are those that carry sound, whatever the container.
  Put("x.dat", std::string(16, 'U') + Extensible24In32());
  Sox("-n -r 8000 -c 1 -b 16 x.dat_00000010.wav synth 0.02 sine 500 vol 0.3");
  const json bits = json::parse(Scan("--fit --json x.dat").out)["containers"][0]["parts"][0];
  EXPECT_EQ(bits["fitted"]["bits"], json({16, 24}));
  EXPECT_EQ(bits["message"].get<std::string>().rfind(
                "fits; fitted: PCM -> PCM (extensible), 16 -> 24 bits", 0),
            0u)
      << bits["message"];
  EXPECT_EQ(first["message"].get<std::string>().substr(0, 64),
            "fits; fitted: 48000 -> 22050 Hz, 16 -> 8 bits (dithered), cut 0.");
  std::string spliced = bank;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    SCOPED_TRACE(parts[i]);
    const std::string part = Get(parts[i]);
    const std::string wave = bank.substr(offsets[i], part.size());
    std::size_t begin = 0, end = 0;
    DataOf(wave, &begin, &end);
    ASSERT_LT(begin, end);
    EXPECT_EQ(part.size(), 8 + Le32(bank, offsets[i] + 4));  // the wave's own length
    EXPECT_EQ(part.substr(0, begin), wave.substr(0, begin));
    EXPECT_EQ(part.substr(end), wave.substr(end));
    EXPECT_EQ(Get(parts[i] + ".orig"), users[i]);
    // Against sox's conversion, but for the fade at a cut.
    Sox(std::string("'") + slots[i].user + "' " + slots[i].sox + " reference.wav");
    const std::vector<float> ours = Floats(parts[i]);
    const std::vector<float> theirs = Floats("reference.wav");
    const std::size_t count = std::min(ours.size(), theirs.size()) * 9 / 10;
    EXPECT_GT(Correlation(ours, theirs, count), 0.99);
    spliced.replace(offsets[i], part.size(), part);
  }
  EXPECT_EQ(Tool("bank.dat").status, 0);
  EXPECT_EQ(Get("bank.dat"), spliced);
}

struct Refusal {
  const char* what;
  const char* slot;   // sox's options for the wave at 0x40
  const char* part;   // and for the part over it
  const char* other;  // a file put beside them first, or ""
  const char* why;    // why it is not fitted
};

TEST_F(Fit, LeavesWhatItCannotFitAndSaysWhy) {
  const Refusal refusals[] = {
      {"a GSM slot", "-r 8000 -c 1 -e gsm-full-rate", "-r 44100 -c 1 -b 16", "",
       "the wave at its offset is GSM 6.10 (0x0031), which --fit does not write"},
      {"a GSM part", "-r 22050 -c 1 -b 16", "-r 8000 -c 1 -e gsm-full-rate", "",
       "its format is GSM 6.10 (0x0031), which --fit does not read"},
      {"a kept copy already there", "-r 22050 -c 1 -b 16", "-r 44100 -c 1 -b 16",
       "bank.dat_00000040.wav.orig", "bank.dat_00000040.wav.orig exists already; nothing changed"},
      {"its new file's name taken", "-r 22050 -c 1 -b 16", "-r 44100 -c 1 -b 16",
       "bank.dat_00000040.wav.fitting",
       "bank.dat_00000040.wav.fitting exists already, left by a fit that did not finish: remove "
       "it to fit again; nothing changed"},
      {"a kept copy there in other letter case", "-r 22050 -c 1 -b 16", "-r 44100 -c 1 -b 16",
       "BANK.DAT_00000040.WAV.ORIG", "BANK.DAT_00000040.WAV.ORIG exists already; nothing changed"},
      {"a part inside its wave", "-r 22050 -c 1 -b 16", "-r 44100 -c 1 -b 16",
       "bank.dat_00000050.wav", "another part's bytes would still meet its wave's"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    std::system(("rm -rf '" + Path("") + "' && mkdir '" + Path("") + "'").c_str());
    Sox("-n " + std::string(refusal.slot) + " slot.wav synth 0.2 sine 300 vol 0.3");
    Put("bank.dat", std::string(64, 'U') + Get("slot.wav"));
    Sox("-n " + std::string(refusal.part) + " bank.dat_00000040.wav synth 0.3 sine 500 vol 0.3");
    const std::string part = Get("bank.dat_00000040.wav");
    if (*refusal.other != '\0') Put(refusal.other, Wave(0, ""));  // 8 bytes that splice
    const Result text = Scan("--fit bank.dat");
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find(std::string("; not fitted: ") + refusal.why + "\n"), std::string::npos)
        << text.out;
    const json report = json::parse(Scan("--fit --json bank.dat").out);
    EXPECT_EQ(report["containers"][0]["parts"][0]["not_fitted"], refusal.why);
    EXPECT_EQ(report["containers"][0]["counts"]["fitted"], 0);
    EXPECT_EQ(Get("bank.dat_00000040.wav"), part);
    EXPECT_EQ(Get("bank.dat_00000040.wav.orig"),
              refusal.other == std::string("bank.dat_00000040.wav.orig") ? Wave(0, "") : "");
  }
}

TEST_F(Fit, ChangesNothingWhereItMayNotWrite) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: Wine runs as root here";
  chmod(root_.c_str(), 0777);
  chmod(Path("").c_str(), 0777);
  Sox("-n -r 22050 -c 1 -b 16 slot.wav synth 0.2 sine 300 vol 0.3");
  Put("bank.dat", std::string(64, 'U') + Get("slot.wav"));
  Sox("-n -r 44100 -c 1 -b 16 bank.dat_00000040.wav synth 0.3 sine 500 vol 0.3");
  const std::string part = Get("bank.dat_00000040.wav");
  chmod(Path("bank.dat").c_str(), 0666);
  chmod(Path("bank.dat_00000040.wav").c_str(), 0444);  // the user's own is read-only
  std::string skip;
  const std::string nobody = Unprivileged(&skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  EXPECT_NE(Scan("--fit bank.dat", false, nobody)
                .out.find("; not fitted: it may not be replaced: Permission denied\n"),
            std::string::npos);
  chmod(Path("bank.dat_00000040.wav").c_str(), 0666);
  chmod(Path("").c_str(), 0555);  // now only the folder is closed to it
  const Result run = Scan("--fit bank.dat", false, nobody);
  chmod(Path("").c_str(), 0755);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(
      run.err.find("wavescan: bank.dat_00000040.wav: not fitted: cannot create "
                   "bank.dat_00000040.wav.orig.fitting: Permission denied; nothing changed\n"),
      std::string::npos)
      << run.err;
  EXPECT_EQ(Get("bank.dat_00000040.wav"), part);
  EXPECT_NE(access(Path("bank.dat_00000040.wav.orig").c_str(), F_OK), 0);
}

TEST_F(Fit, FitsOnlyWhatNeedsItAndNoFileUnderTwoNames) {
  // Slots at 0x40 and right after it; a longer part over the first, which
  // also overlaps the second, whose part is its own wave.
  Sox("-n -r 22050 -c 1 -b 16 slot.wav synth 0.2 sine 300 vol 0.3");
  const std::string slot = Get("slot.wav");
  const std::string second = "bank.dat_" + [&] {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08zx", 64 + slot.size());
    return std::string(hex);
  }() + ".wav";
  Put("bank.dat", std::string(64, 'U') + slot + slot);
  Sox("-n -r 44100 -c 1 -b 16 bank.dat_00000040.wav synth 0.3 sine 500 vol 0.3");
  Put(second, slot);
  if (!onWindows) chmod(Path("bank.dat_00000040.wav").c_str(), 0600);
  const std::string mine = Get("bank.dat_00000040.wav");
  // A second name of it, as a fit that did not finish leaves one.
  ASSERT_EQ(link(Path("bank.dat_00000040.wav").c_str(), Path("bank.dat_00000040.wav.orig").c_str()),
            0);
  const json first = json::parse(Scan("--fit --json bank.dat").out)["containers"][0];
  EXPECT_EQ(first["counts"]["fitted"], 1);
  EXPECT_EQ(first["counts"]["problems"], 0);
  EXPECT_EQ(first["parts"][1]["problems"], json::array());  // the overlap went with the fit
  EXPECT_FALSE(first["parts"][1].contains("not_fitted"));
  EXPECT_EQ(first["parts"][1]["message"], "fits");
  EXPECT_EQ(Get(second), slot);
  EXPECT_NE(access(Path(second + ".orig").c_str(), F_OK), 0);
  EXPECT_EQ(Get("bank.dat_00000040.wav.orig"), mine);
  struct stat kept {};
  stat(Path("bank.dat_00000040.wav").c_str(), &kept);
  if (!onWindows) {
    EXPECT_EQ(kept.st_mode & 0777, 0600u);  // no more open than the user's
  }

  // Two names of one file: fitting one would change the other.
  std::remove(Path(second).c_str());
  std::remove(Path("bank.dat_00000040.wav.orig").c_str());
  Put("bank.dat_00000040.wav", mine);
  ASSERT_EQ(symlink("bank.dat_00000040.wav", Path(second).c_str()), 0);
  const json shared = json::parse(Scan("--fit --json bank.dat").out)["containers"][0];
  EXPECT_EQ(shared["counts"]["fitted"], 0);
  EXPECT_EQ(shared["parts"][0]["not_fitted"],
            "it is the same file as " + second + ", another part");
  EXPECT_EQ(Get("bank.dat_00000040.wav"), mine);

  // A longer part it cannot fit reaches into the second's wave: the second,
  // in another format, is fitted all the same, and the overlap stays.
  std::remove(Path(second).c_str());
  Sox("-n -r 8000 -c 1 -e gsm-full-rate bank.dat_00000040.wav synth 6 sine 500 vol 0.3");
  Sox("-n -r 11025 -c 1 -b 16 '" + second + "' synth 0.1 sine 500 vol 0.3");
  const json reached = json::parse(Scan("--fit --json bank.dat").out)["containers"][0];
  EXPECT_EQ(reached["counts"]["fitted"], 1);
  EXPECT_EQ(reached["parts"][0]["not_fitted"],
            "its format is GSM 6.10 (0x0031), which --fit does not read");
  EXPECT_EQ(reached["parts"][1]["fitted"]["sample_rate"], json({11025, 22050}));
  EXPECT_EQ(reached["parts"][1]["problems"], json({"overlaps"}));
  EXPECT_EQ(Get(second).size(), slot.size());
}

// Where no second name can be made (FAT, exFAT, some shares), the user's
// file is kept as a whole copy, written under another name first.
TEST_F(Fit, KeepsAWholeCopyWhereNoLinkCanBeMade) {
  if (failWrites.empty()) GTEST_SKIP() << "cannot hold here: links refused through LD_PRELOAD";
  Sox("-n -r 22050 -c 1 -b 16 slot.wav synth 0.2 sine 300 vol 0.3");
  Put("bank.dat", std::string(64, 'U') + Get("slot.wav"));
  Sox("-n -r 44100 -c 1 -b 16 bank.dat_00000040.wav synth 0.1 sine 500 vol 0.3");
  const std::string mine = Get("bank.dat_00000040.wav");
  const Result run = Scan("--fit bank.dat", false,
                          "FAIL_WRITES=nolink LD_PRELOAD='" + failWrites +
                              "' ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" ");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("; yours is kept as bank.dat_00000040.wav.orig"), std::string::npos)
      << run.out;
  EXPECT_EQ(Get("bank.dat_00000040.wav.orig"), mine);
  struct stat part {
  }, kept{};
  stat(Path("bank.dat_00000040.wav").c_str(), &part);
  stat(Path("bank.dat_00000040.wav.orig").c_str(), &kept);
  EXPECT_NE(part.st_ino, kept.st_ino);  // a copy, not a second name
  EXPECT_NE(access(Path("bank.dat_00000040.wav.orig.fitting").c_str(), F_OK), 0);
  EXPECT_NE(access(Path("bank.dat_00000040.wav.fitting").c_str(), F_OK), 0);
  if (stopRenames.empty() || wavescanCommand.find("valgrind") != std::string::npos) return;
  // Stopped before the fitted part is renamed into place, the fit leaves the
  // copy and the new file: the next run says what each is.
  std::remove(Path("bank.dat_00000040.wav.orig").c_str());
  Put("bank.dat_00000040.wav", mine);
  Scan("--fit bank.dat", false,
       "FAIL_WRITES=nolink STOP_AFTER_RENAMES=1 LD_PRELOAD='" + failWrites + ":" + stopRenames +
           "' ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" ");
  EXPECT_EQ(Get("bank.dat_00000040.wav.orig"), mine);
  EXPECT_EQ(Get("bank.dat_00000040.wav"), mine);
  EXPECT_NE(
      Scan("--fit bank.dat")
          .out.find("; not fitted: bank.dat_00000040.wav.orig exists already, a whole copy of "
                    "the part as it was, and bank.dat_00000040.wav.fitting is left by a fit "
                    "that did not finish: remove both to fit it again; nothing changed\n"),
      std::string::npos);
}

}  // namespace
