// wavescan --fit into and out of the compressed formats it codes, with sox
// and libsndfile as the judges: each fitted part decodes in both, without a
// word of warning, to exactly its slot's samples, near the sound it was
// given; every byte but the payload is the slot's; a part in such a format
// decodes as sox decodes it; and the slots it must leave say why.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using nlohmann::json;

// Where a wave's data chunk's contents lie: [*begin, *end).
void DataOf(const std::string& wave, std::size_t* begin, std::size_t* end) {
  const auto le32 = [&wave](std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(wave[at + i]);
    return value;
  };
  for (std::size_t at = 12; at + 8 <= wave.size(); at += 8 + le32(at + 4) + (le32(at + 4) & 1)) {
    if (wave.compare(at, 4, "data") == 0) {
      *begin = at + 8;
      *end = std::min<std::size_t>(*begin + le32(at + 4), wave.size());
      return;
    }
  }
  *begin = *end = wave.size();
}

double Snr(const std::vector<std::int16_t>& reference, const std::vector<std::int16_t>& coded) {
  double signal = 0, noise = 0;
  for (std::size_t i = 0; i < std::min(reference.size(), coded.size()); ++i) {
    const double x = reference[i];
    signal += x * x;
    noise += (x - coded[i]) * (x - coded[i]);
  }
  return 10 * std::log10(signal / noise);
}

// An MS ADPCM wave whose table's first pair is 257, 0: another format
// that reuses the tag.
std::string NonStandardTable() {
  std::string wave = AdpcmWave(2, 1, 256, 4, 500, 7, 2560);
  wave[12 + 8 + 22] = 1;  // the low byte of the first coefficient
  return wave;
}

class FitCodec : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    if (std::system("command -v sox >/dev/null && command -v sndfile-convert >/dev/null && "
                    "test -d /usr/share/sounds/alsa && test -d /usr/share/sounds/sound-icons") !=
        0) {
      GTEST_SKIP() << "needs sox, sndfile-programs, alsa-utils and sound-icons (scripts/test "
                      "installs them)";
    }
  }
  // Runs a shell command in the work folder; its output.
  std::string Shell(const std::string& command, int status = 0) const {
    const std::string out = Path("shell.out");
    EXPECT_EQ(
        std::system(("cd '" + Path("") + "' && (" + command + ") >'" + out + "' 2>&1").c_str()),
        status)
        << command << ": " << Get("shell.out");
    return Get("shell.out");
  }
  // The 16-bit samples sox decodes a wave to.
  std::vector<std::int16_t> Decoded(const std::string& name) const {
    Shell("sox '" + name + "' -t raw -e signed -b 16 decoded.raw");
    const std::string raw = Get("decoded.raw");
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
  }
  // Fits part over slot, at 0x40 of a bank; the fitted part.
  std::string Fitted(const std::string& slot, const std::string& part) const {
    Put("bank.dat", std::string(64, 'U') + Get(slot) + std::string(16, 'U'));
    Shell("rm -f bank.dat_00000040.wav.orig && cp '" + part + "' bank.dat_00000040.wav");
    const Result run = Scan("--fit --json bank.dat");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(json::parse(run.out)["containers"][0]["counts"]["fitted"], 1) << run.out;
    return "bank.dat_00000040.wav";
  }
  // What libsndfile says of a wave's chunks, up to its own verdict.
  std::string LibsndfileLog(const std::string& name) const {
    const std::string log = Shell("sndfile-info '" + name + "'");
    const std::size_t from = log.find("RIFF");
    return log.substr(from == std::string::npos ? 0 : from, log.find("\nEnd") - from);
  }
  // The number of samples libsndfile decodes a wave to.
  std::size_t LibsndfileSamples(const std::string& name) const {
    EXPECT_EQ(Shell("sndfile-convert -pcm16 '" + name + "' lib.wav"), "");
    return Decoded("lib.wav").size();
  }
  // Fits mine into the slot and judges the fitted part.
  void CheckFitted(const std::string& slotName, const std::string& mine, double floor) const {
    const std::string slot = Get(slotName);
    const std::string name = Fitted(slotName, mine);
    const std::string fitted = Get(name);
    ASSERT_EQ(fitted.size(), slot.size());
    std::size_t begin = 0, end = 0;
    DataOf(slot, &begin, &end);
    EXPECT_EQ(fitted.substr(0, begin), slot.substr(0, begin));
    EXPECT_EQ(fitted.substr(end), slot.substr(end));
    EXPECT_EQ(Shell("sox '" + name + "' -n"), "");  // not a word of warning
    const std::vector<std::int16_t> coded = Decoded(name);
    EXPECT_EQ(coded.size(), Decoded(slotName).size());
    EXPECT_EQ(LibsndfileLog(name), LibsndfileLog(slotName));
    EXPECT_EQ(LibsndfileSamples(name), LibsndfileSamples(slotName));
    const std::vector<std::int16_t> reference = Decoded(mine);
    EXPECT_GE(Snr(reference, coded), floor);
  }
};

struct CodedSlot {
  const char* what;
  const char* make;  // the shell commands that make slot.wav
  const char* rate;  // and its rate and channels, as sox's options
  double floor;      // the least SNR, in dB, of the fitted part
};

const char kFront[] = "/usr/share/sounds/alsa/Front_Center.wav";

TEST_F(FitCodec, WritesEachCodecIntoItsSlotAsSoxAndLibsndfileDecodeIt) {
  const CodedSlot slots[] = {
      {"mu-law by sox", "sox -n -r 8000 -c 1 -e u-law slot.wav synth 1.6 sine 300", "-r 8000 -c 1",
       35},
      {"A-law by libsndfile, stereo",
       "sox -n -r 8000 -c 2 -b 16 in.wav synth 1.6 sine 300 && sndfile-convert -alaw in.wav "
       "slot.wav",
       "-r 8000 -c 2", 35},
      {"IMA by sox", "sox -n -r 22050 -c 1 -e ima-adpcm slot.wav synth 1.5 sine 300",
       "-r 22050 -c 1", 25},
      {"IMA by sox, stereo", "sox -n -r 11025 -c 2 -e ima-adpcm slot.wav synth 1.6 sine 300",
       "-r 11025 -c 2", 25},
      {"IMA by libsndfile, stereo",
       "sox -n -r 16000 -c 2 -b 16 in.wav synth 1.6 sine 300 && "
       "sndfile-convert -ima-adpcm in.wav slot.wav",
       "-r 16000 -c 2", 25},
      {"MS by sox", "sox -n -r 22050 -c 1 -e ms-adpcm slot.wav synth 1.5 sine 300", "-r 22050 -c 1",
       28},
      {"MS by libsndfile, stereo",
       "sox -n -r 16000 -c 2 -b 16 in.wav synth 1.7 sine 300 && "
       "sndfile-convert -ms-adpcm in.wav slot.wav",
       "-r 16000 -c 2", 28},
  };
  for (const CodedSlot& slot : slots) {
    SCOPED_TRACE(slot.what);
    Shell(slot.make);
    Shell(std::string("sox ") + kFront + " " + slot.rate + " -b 16 mine.wav");
    CheckFitted("slot.wav", "mine.wav", slot.floor);
  }
}

TEST_F(FitCodec, WritesOddBlocksMadeByHandAndKeepsAPartBlock) {
  const struct {
    const char* what;
    std::string slot;
    double floor;
  } slots[] = {
      // 68-byte blocks of 129 samples, and a part block of 6 groups and 2 bytes more.
      {"IMA, mono", AdpcmWave(0x11, 1, 68, 4, 129, 0, 68 * 130 + 30), 25},
      // 100-byte blocks of 88 samples a channel, and a part block of 28.
      {"MS, stereo", AdpcmWave(2, 2, 100, 4, 88, 7, 100 * 180 + 40), 25},
      // A part block shorter than its headers.
      {"MS, stereo, a stub of a block", AdpcmWave(2, 2, 100, 4, 88, 7, 100 * 180 + 9), 25},
  };
  for (const auto& slot : slots) {
    SCOPED_TRACE(slot.what);
    Put("slot.wav", slot.slot);
    Shell(std::string("sox ") + kFront + " -r 11025 -c " + (slot.slot[22] == 1 ? "1" : "2") +
          " -b 16 mine.wav");
    CheckFitted("slot.wav", "mine.wav", slot.floor);
  }
}

// The bench's comparison with sox's own encoders, on three of its sounds: the
// slot is sox's encoding of the sound (so the block size is sox's), the
// fitted part the same sound; both decoded by sox and set against it. Each
// margin is a little under what the encoder reaches (README), so that a
// search made narrower or blunter shows.
TEST_F(FitCodec, CodesBetterThanSoxsOwnEncoders) {
  const struct {
    const char* sound;
    const char* encoding;
    double margin;  // dB above sox's SNR
  } cases[] = {{"front.wav", "ima-adpcm", 0.75},  {"sweep.wav", "ima-adpcm", 0.5},
               {"front.wav", "ms-adpcm", 0.9},    {"sweep.wav", "ms-adpcm", 0.2},
               {"front.wav", "u-law", 0.05},      {"sweep.wav", "u-law", 0.5},
               {"front.wav", "a-law", 0.1},       {"sweep.wav", "a-law", 0.3},
               {"cembalo.wav", "ima-adpcm", 1.1}, {"cembalo.wav", "ms-adpcm", 0.95}};
  Shell(std::string("sox -D ") + kFront +
        " -b 16 -e signed front.wav && "
        "sox -D -n -r 22050 -c 1 -b 16 sweep.wav synth 3 sine 100-9000 vol 0.5 && "
        "sox -D /usr/share/sounds/sound-icons/cembalo-1.wav -b 16 -e signed cembalo.wav");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.sound) + ", " + c.encoding);
    Shell(std::string("sox -D ") + c.sound + " -e " + c.encoding + " slot.wav");  // undithered
    const std::vector<std::int16_t> sound = Decoded(c.sound);
    const double sox = Snr(sound, Decoded("slot.wav"));
    EXPECT_GE(Snr(sound, Decoded(Fitted("slot.wav", c.sound))), sox + c.margin);
  }
}

}  // namespace

namespace {

TEST_F(FitCodec, ReadsPartsInEachCodecAsSoxDecodesThem) {
  const char* makers[] = {
      "sox mine.pcm -e u-law part.wav",
      "sox mine.pcm -e a-law part.wav",
      "sox mine.pcm -e ima-adpcm part.wav",
      "sox mine.pcm -e ms-adpcm part.wav",
      "sndfile-convert -ulaw mine.pcm part.wav",
      "sndfile-convert -alaw mine.pcm part.wav",
      "sndfile-convert -ima-adpcm mine.pcm part.wav",
      "sndfile-convert -ms-adpcm mine.pcm part.wav",
  };
  for (const char* channels : {"1", "2"}) {
    Shell(std::string("sox ") + kFront + " -r 22050 -c " + channels + " -b 16 -t wav mine.pcm");
    // A PCM slot as long as the sound, or longer: no cut, no fade.
    Shell(std::string("sox -n -r 22050 -c ") + channels + " -b 16 slot.wav synth 1.6 sine 300");
    for (const char* maker : makers) {
      SCOPED_TRACE(std::string(maker) + ", channels " + channels);
      Shell(std::string("rm -f part.wav && ") + maker);
      const std::vector<std::int16_t> sox = Decoded("part.wav");
      const std::vector<std::int16_t> ours = Decoded(Fitted("slot.wav", "part.wav"));
      ASSERT_GE(ours.size(), sox.size());
      int worst = 0;
      for (std::size_t i = 0; i < sox.size(); ++i)
        worst = std::max(worst, std::abs(ours[i] - sox[i]));
      EXPECT_LE(worst, 1);
    }
  }
}

TEST_F(FitCodec, LeavesSlotsItCannotWriteAndSaysWhy) {
  const struct {
    const char* what;
    std::string slot;
    const char* why;
  } refusals[] = {
      {"MS ADPCM without a table", AdpcmWave(2, 1, 256, 4, 500, 0, 2560),
       "the wave at its offset is MS ADPCM, but its fmt chunk has no MS ADPCM coefficient table, "
       "so it is not the standard format"},
      {"MS ADPCM with 7 pairs, not the standard ones", NonStandardTable(),
       "the wave at its offset is MS ADPCM whose coefficient table does not begin with the 7 "
       "standard pairs"},
      {"MS ADPCM with 6 pairs", AdpcmWave(2, 1, 256, 4, 500, 6, 2560),
       "the wave at its offset is MS ADPCM whose coefficient table does not begin with the 7 "
       "standard pairs"},
      // The fmt content starts 20 bytes into the wave: its extension's size
      // at 16, the count of pairs at 20.
      {"MS ADPCM whose count claims more pairs than it holds",
       AdpcmWave(2, 1, 256, 4, 500, 7, 2560).replace(40, 2, "\x64\x00", 2),
       "the wave at its offset is MS ADPCM whose fmt chunk says its coefficient table has 100 "
       "pairs, more than the chunk or its extension holds"},
      {"MS ADPCM whose extension is too short for its table",
       AdpcmWave(2, 1, 256, 4, 500, 7, 2560).replace(36, 2, "\x02\x00", 2),
       "the wave at its offset is MS ADPCM whose fmt chunk says its coefficient table has 7 "
       "pairs, more than the chunk or its extension holds"},
      {"IMA ADPCM of too few samples per block", AdpcmWave(0x11, 1, 256, 4, 504, 0, 2560),
       "the wave at its offset is IMA ADPCM whose 504 samples per block do not agree with its "
       "block align of 256 bytes"},
      {"IMA ADPCM of blocks not whole groups", AdpcmWave(0x11, 2, 258, 4, 251, 0, 2580),
       "the wave at its offset is IMA ADPCM whose 251 samples per block do not agree with its "
       "block align of 258 bytes"},
      {"MS ADPCM of too many samples per block", AdpcmWave(2, 2, 256, 4, 245, 7, 2560),
       "the wave at its offset is MS ADPCM whose 245 samples per block do not agree with its "
       "block align of 256 bytes"},
      {"IMA ADPCM of 3 bits", AdpcmWave(0x11, 1, 256, 3, 505, 0, 2560),
       "the wave at its offset is IMA ADPCM of 3 bits, which --fit does not write"},
  };
  Shell(std::string("sox ") + kFront + " -r 11025 -c 1 -b 16 mine.wav");
  for (const auto& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    Put("bank.dat", std::string(64, 'U') + refusal.slot);
    Shell("cp mine.wav bank.dat_00000040.wav");
    const Result run = Scan("--fit --json bank.dat");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    const json container = json::parse(run.out)["containers"][0];
    EXPECT_EQ(container["parts"][0]["not_fitted"], refusal.why);
    // A format at odds with its own block align says nothing of how long
    // the wave plays.
    if (std::string(refusal.why).find("do not agree") != std::string::npos) {
      EXPECT_TRUE(container["waves"][0]["format"]["seconds"].is_null());
    }
    EXPECT_EQ(Get("bank.dat_00000040.wav"), Get("mine.wav"));
  }
}

TEST_F(FitCodec, SaysTheCodecAndCountsAnAdpcmWavesSamples) {
  // 2 blocks of 505 samples and a part block of 4 + 8 bytes, 17 samples.
  Put("bank.dat", std::string(64, 'U') + AdpcmWave(0x11, 1, 256, 4, 505, 0, 512 + 12));
  Shell(std::string("sox ") + kFront + " -r 44100 -c 2 -b 24 bank.dat_00000040.wav trim 0 0.05");
  const Result run = Scan("--fit --json bank.dat");
  const json report = json::parse(run.out)["containers"][0];
  const json& part = report["parts"][0];
  EXPECT_EQ(
      part["message"].get<std::string>().substr(0, 86),
      "fits; fitted: 44100 -> 11025 Hz, 2 -> 1 channels, 24 bits -> IMA ADPCM (dithered), pad")
      << part["message"];
  EXPECT_EQ(part["fitted"]["format"], json({"PCM (extensible)", "IMA ADPCM"}));
  EXPECT_NEAR(report["waves"][0]["format"]["seconds"].get<double>(), 1027.0 / 11025, 1e-9);
}

}  // namespace
