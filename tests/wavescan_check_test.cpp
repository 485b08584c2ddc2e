// What wavescan's check catches before a splice breaks a program: parts in
// another format or no wave at all, parts and containers that wavesplice
// would meet on the way; and its JSON report, read with a JSON parser.
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>

#include "harness.h"

namespace {

using Check = Scratch;
using nlohmann::json;

std::string Le(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
  return text;
}

// A wave as a sound editor exports it: format tag, channels, rate and bits,
// samples bytes of silence, and an optional chunk after the samples.
std::string Exported(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate,
                     std::uint32_t bits, std::uint32_t samples, const std::string& after = "") {
  const std::uint32_t align = channels * bits / 8;
  const std::string body = "WAVEfmt " + Le(16, 4) + Le(tag, 2) + Le(channels, 2) + Le(rate, 4) +
                           Le(rate * align, 4) + Le(align, 2) + Le(bits, 2) + "data" +
                           Le(samples, 4) + std::string(samples, '\0') + after;
  return Wave(static_cast<std::uint32_t>(body.size()), body);
}

const std::string kList =
    "LIST" + Le(18, 4) + "INFOISFT" + Le(6, 4) + std::string("Editr\0", 6);  // 26 bytes
const std::string kVoice = Exported(1, 1, 16000, 16, 600);                   // 644 bytes
const std::string kBank = std::string(64, 'U') + kVoice + kVoice + std::string(64, 'U');

TEST_F(Check, CatchesWhatANewUserDropsIn) {
  const std::string bank = kBank.substr(0, 64 + 644) + kBank.substr(64);  // voices at 40, 2c4, 548
  Put("bank.dat", bank);
  // The editor's defaults, fewer bytes than the slot: another format.
  Put("bank.dat_00000040.wav", Exported(3, 2, 48000, 32, 96, kList));
  // A renamed Ogg file: its first page's header reads as a size of 0x200.
  Put("bank.dat_000002c4.wav", std::string("OggS\0\x02", 6) + std::string(600, '\0'));
  // An edit saved under a second spelling, longer, with the editor's
  // metadata, beside the part it was meant to replace.
  Put("bank.dat_00000548.wav", kVoice);
  Put("bank.dat_0x000548.wav", Exported(1, 1, 16000, 16, 620, kList));
  const Result run = Scan("--json bank.dat");
  EXPECT_EQ(run.status, 1);
  const json report = json::parse(run.out);
  const json& parts = report["containers"][0]["parts"];
  ASSERT_EQ(parts.size(), 4u) << run.out;
  EXPECT_EQ(parts[0]["problems"], json({"format_differs"}));
  EXPECT_EQ(parts[0]["verdict"], "shorter");
  EXPECT_EQ(parts[0]["format"]["name"], "IEEE float");
  EXPECT_NE(parts[0]["message"].get<std::string>().find(
                "IEEE float, not PCM; 2 channels, not 1; 48000 Hz, not 16000 Hz; 32 bits, not 16; "
                "block align 8, not 2"),
            std::string::npos)
      << parts[0]["message"];
  EXPECT_EQ(parts[1]["problems"], json({"not_a_wave"}));
  EXPECT_NE(parts[1]["message"].get<std::string>().find("it begins with OggS, as Ogg files do"),
            std::string::npos)
      << parts[1]["message"];
  EXPECT_EQ(parts[2]["problems"], json({"same_offset"}));
  EXPECT_EQ(parts[3]["problems"], json({"longer", "same_offset"}));
  EXPECT_EQ(parts[3]["would_fit"]["sample_bytes"], 574);  // 644 - 70 bytes that are no samples
  EXPECT_NE(parts[3]["message"].get<std::string>().find(
                "splicing it would overwrite 46 bytes after the wave; with its other chunks as "
                "they are, 574 bytes of samples would fit (0.018 s); leaving out its 'LIST' (26 "
                "bytes), which the wave at that offset lacks, makes room. PROBLEM: "
                "bank.dat_00000548.wav is taken for the same offset; wavesplice splices "
                "bank.dat_0x000548.wav last"),
            std::string::npos)
      << parts[3]["message"];
  EXPECT_EQ(report["containers"][0]["counts"]["problems"], 4);
  EXPECT_EQ(Get("bank.dat"), bank);
}

TEST_F(Check, ReportsInJsonWhatItSaysInText) {
  // Names with a space, a quote and a non-ASCII letter; on Linux also a
  // double quote and a backslash, which Windows names cannot hold.
  const std::string name = onWindows ? "my 'bank' \xc3\xa9.dat" : "my \"bank\" \\ \xc3\xa9.dat";
  std::string quoted;  // for the shell, in double quotes
  for (const char c : name) quoted += (c == '"' || c == '\\' ? "\\" : "") + std::string(1, c);
  Put(name, kBank);
  Put("bad\xff.dat", kBank);  // not UTF-8
  const Result extracted = Scan("--json --extract \"" + quoted + "\"");
  EXPECT_EQ(extracted.status, 0) << extracted.err;
  const json first = json::parse(extracted.out);
  EXPECT_EQ(first["version"], WAVESPLICE_VERSION);
  const json& container = first["containers"][0];
  EXPECT_EQ(container["name"], name);
  EXPECT_EQ(container["size"], kBank.size());
  EXPECT_EQ(container["read"], true);
  ASSERT_EQ(container["waves"].size(), 2u);
  EXPECT_EQ(container["waves"][1]["offset"], 64 + 644);
  EXPECT_EQ(container["waves"][1]["length"], 644);
  EXPECT_EQ(container["waves"][1]["format"]["sample_rate"], 16000);
  EXPECT_EQ(container["waves"][1]["extracted"], name + "_000002c4.wav");
  EXPECT_EQ(Get(name + "_000002c4.wav"), kVoice);

  const Result text = Scan("\"" + quoted + "\"");
  const json checked = json::parse(Scan("--json \"" + quoted + "\"").out);
  const json& parts = checked["containers"][0]["parts"];
  ASSERT_EQ(parts.size(), 2u);
  for (const json& part : parts) {
    EXPECT_EQ(part["verdict"], "fits");
    EXPECT_EQ(part["problems"], json::array());
    char line[64];
    std::snprintf(line, sizeof line, " offset %08x length %08x (", part["offset"].get<unsigned>(),
                  part["length"].get<unsigned>());
    EXPECT_NE(text.out.find("  part " + part["name"].get<std::string>() + line), std::string::npos)
        << text.out;
  }
  EXPECT_EQ(checked["containers"][0]["counts"]["fit"], 2);

  if (!onWindows) {  // Windows names are never other than UTF-8 here
    const json other = json::parse(Scan("--json 'bad*.dat'").out);
    EXPECT_EQ(other["containers"][0]["name"], "bad\xef\xbf\xbd.dat");
  }
}

TEST_F(Check, SeesWhereWavespliceWouldMeetAnotherFile) {
  Put("bank.dat", kBank);
  Put("bank.dat_00000040.wav", kVoice);
  Put("bank.dat_00000080.wav", kVoice);  // over the end of the one at 0x40
  const json overlapping = json::parse(Scan("--json bank.dat").out);
  const json& parts = overlapping["containers"][0]["parts"];
  EXPECT_EQ(parts[0]["problems"], json({"overlaps"}));
  EXPECT_EQ(parts[1]["problems"], json({"no_wave", "overlaps"}));
  EXPECT_NE(parts[0]["message"].get<std::string>().find("overlap those of bank.dat_00000080.wav"),
            std::string::npos);
  EXPECT_NE(parts[1]["message"].get<std::string>().find(
                "; it falls inside the wave at 00000040; splicing it would overwrite the start of "
                "the wave at 000002c4"),
            std::string::npos)
      << parts[1]["message"];

  // An edit saved under the same name in capitals, beside a container
  // whose name differs only in case, as a folder that tells case apart
  // allows (a Linux one, or on Windows one made case-sensitive, as Wine's
  // are). Windows resolves a name without wildcards to one of them.
  Put("BANK.DAT_00000040.WAV", kVoice);
  Put("Bank.dat", kBank);
  std::remove(Path("bank.dat_00000080.wav").c_str());
  const json twins = json::parse(Scan("--json bank.dat").out);
  ASSERT_EQ(twins["containers"].size(), onWindows ? 1u : 2u);
  for (const json& container : twins["containers"]) {
    for (const json& part : container["parts"]) {
      EXPECT_EQ(part["problems"], json({"same_offset", "case_twin"})) << part;
    }
  }
  EXPECT_NE(twins["containers"][0]["parts"][0]["message"].get<std::string>().find(
                "wavesplice splices bank.dat_00000040.wav last"),
            std::string::npos);
  if (onWindows) return;  // no FIFOs; files are writable as root

  // A twin wavesplice would refuse, as it is not a file, is no problem.
  std::remove(Path("Bank.dat").c_str());
  mkfifo(Path("Bank.dat").c_str(), 0644);
  const json fifo = json::parse(Scan("--json bank.dat").out);
  ASSERT_EQ(fifo["containers"].size(), 2u);
  EXPECT_EQ(fifo["containers"][0]["read"], false);  // the FIFO
  EXPECT_EQ(fifo["containers"][0]["error"], "a folder or a device, not a file");
  EXPECT_EQ(fifo["containers"][1]["parts"][0]["problems"], json({"same_offset"}));

  chmod(Path("bank.dat").c_str(), 0444);
  std::string skip;
  const std::string nobody = Unprivileged(&skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  chmod(root_.c_str(), 0777);
  chmod(Path("").c_str(), 0777);
  const Result locked = Scan("bank.dat", false, nobody);
  EXPECT_NE(locked.out.find("PROBLEM: wavesplice could not open the container for update: "
                            "Permission denied"),
            std::string::npos)
      << locked.out;
}

TEST_F(Check, NeverExtractsFromAPartFileOrAWaveFile) {
  Put("bank.dat", kBank);
  Put("voice.wav", kVoice);
  Put("tagged.wav", kVoice + "id3 TAG");  // bytes after its wave
  Put("voice.dat", kVoice);               // one wave, the whole file
  EXPECT_EQ(Scan("--extract '*'").status, 0);
  const Result again = Scan("--extract '*'");
  for (const char* name : {"voice.wav", "tagged.wav", "voice.dat"}) {
    EXPECT_NE(again.out.find(std::string("0.019 s; not extracted: ") + name +
                             " is itself a wave file; edit it directly\n"),
              std::string::npos)
        << again.out;
    EXPECT_NE(access(Path(std::string(name) + "_00000000.wav").c_str(), F_OK), 0) << name;
  }
  EXPECT_NE(again.out.find("  wave 00000000 length 00000284: PCM, 1 channel, 16000 Hz, 16 bits, "
                           "0.019 s; not extracted: bank.dat_00000040.wav is itself a part file "
                           "of bank.dat\n"),
            std::string::npos)
      << again.out;
  EXPECT_NE(access(Path("bank.dat_00000040.wav_00000000.wav").c_str(), F_OK), 0);
}

// Each key no other case reads, at the value its run gives it.
TEST_F(Check, JsonKeysHoldTheirValues) {
  Put("bank.dat", kBank);
  Put("bank.dat_00000040.wav", Exported(1, 1, 16000, 16, 620, kList));  // longer by its LIST
  Put("voice.dat", kVoice);
  // One run each: the order a pattern lists them in is the system's.
  const Result bank = Scan("--json --extract bank.dat");
  const Result voice = Scan("--json --extract voice.dat");
  const json report = json::array(
      {json::parse(bank.out)["containers"][0], json::parse(voice.out)["containers"][0]});
  const struct {
    const char* key;
    json value;
  } keys[] = {
      {"/0/waves/0/format/tag", 1},
      {"/0/waves/0/format/byte_rate", 32000},
      {"/0/waves/0/format/bits_per_sample", 16},
      {"/0/waves/0/format/block_align", 2},
      {"/0/waves/0/kept", "bank.dat_00000040.wav"},
      {"/0/waves/1/extracted", "bank.dat_000002c4.wav"},
      {"/0/parts/0/would_fit/chunks_the_wave_lacks",
       json::array({{{"id", "LIST"}, {"bytes", 26}}})},
      {"/1/waves/0/not_extracted",
       "not extracted: voice.dat is itself a wave file; edit it directly"},
  };
  for (const auto& k : keys) {
    const json::json_pointer key(k.key);
    EXPECT_EQ(report.contains(key) ? report.at(key) : json(), k.value) << k.key << "\n" << report;
  }
}

}  // namespace
