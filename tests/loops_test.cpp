// Loops, cue points and headers: parts built the way sound editors write
// them, over a wave that loops, each checked in text and JSON, then fitted
// back into the wave's own chunks.
#include <nlohmann/json.hpp>
#include <string>

#include "harness.h"

namespace {

using Loops = Scratch;
using nlohmann::json;

std::string Le(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
  return text;
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::string Chunk(const std::string& id, const std::string& contents) {
  return id + Le(static_cast<std::uint32_t>(contents.size()), 4) + contents +
         (contents.size() % 2 != 0 ? std::string(1, '\0') : "");
}

std::string Riff(const std::string& chunks) {
  return Wave(static_cast<std::uint32_t>(4 + chunks.size()), "WAVE" + chunks);
}

// Mono 16-bit PCM at 22050 Hz, in the fmt chunk of 16, 18 or 40 bytes.
std::string Fmt(std::uint32_t size) {
  const std::string pcm("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);
  const std::uint32_t tag = size == 40 ? 0xfffe : 1;
  std::string fields = Le(tag, 2) + Le(1, 2) + Le(22050, 4) + Le(44100, 4) + Le(2, 2) + Le(16, 2);
  if (size == 18) fields += Le(0, 2);
  if (size == 40) fields += Le(22, 2) + Le(16, 2) + Le(4, 4) + pcm;
  return Chunk("fmt ", fields);
}

// frames of a sawtooth, so that every fitted sample can be told.
std::string Data(std::uint32_t frames) {
  std::string samples;
  for (std::uint32_t i = 0; i < frames; ++i) samples += Le(i * 97 % 65536, 2);
  return Chunk("data", samples);
}

// One loop from start to end, the last frame it plays, for ever.
std::string Smpl(std::uint32_t start, std::uint32_t end) {
  return Chunk("smpl", std::string(28, '\0') + Le(1, 4) + Le(0, 4) + Le(1, 4) + Le(0, 4) +
                           Le(start, 4) + Le(end, 4) + Le(0, 4) + Le(0, 4));
}

// Quake's form: a cue point, and a labelled length in LIST/adtl/ltxt.
std::string CueAndLength(std::uint32_t sample, std::uint32_t length) {
  return Chunk("cue ",
               Le(1, 4) + Le(1, 4) + Le(0, 4) + "data" + Le(0, 4) + Le(0, 4) + Le(sample, 4)) +
         Chunk("LIST",
               "adtl" + Chunk("ltxt", Le(1, 4) + Le(length, 4) + "mark" + std::string(8, '\0')));
}

const std::string kInfo = Chunk("LIST", "INFOISFT" + Le(6, 4) + std::string("Editr\0", 6));
const std::string kLoop = Smpl(100, 1099);
// 2205 frames, 0.100 s, looping from 100 to 1099.
const std::string kWave = Riff(Fmt(16) + Data(2205) + kLoop);

struct Row {
  const char* what;
  std::string part;
  int status;
  const char* verdict;
  json problems;
  json notes;
  json loops;
  json cues;
  std::string words;   // its line after the part's format
  const char* fitted;  // what --fit says it did, or "" when it leaves it
};

std::string Words(const char* note) {
  static const std::string dropped =
      "NOTE: the wave at that offset loops (smpl) and this part does not: a program that loops "
      "it will play it once, or loop all of it";
  if (*note == '\0') return dropped;
  return "NOTE: its header differs from the wave's: " + std::string(note) +
         " where the wave has fmt (16 bytes), data: a program that reads the wave's header as "
         "it was may misread it";
}

TEST_F(Loops, SaysWhatEditorsDoToLoopsAndHeadersAndFitMendsIt) {
  const json loop = json::parse(R"([{"start":100,"end":1099,"count":0}])");
  const json none = json::array();
  const std::string past =
      " samples: some programs stop with an error, others play no loop. Its length: shorter than "
      "the wave at that offset by ";
  const std::string behind = " bytes; fine: the rest of the old wave stays behind it";
  const Row rows[] = {
      {"no smpl",
       Riff(Fmt(16) + Data(2205)),
       0,
       "shorter",
       none,
       {"loop_dropped"},
       none,
       none,
       "shorter than the wave at that offset by 68 bytes; fine: the rest of the old wave stays "
       "behind it. " +
           Words(""),
       "kept the wave's loop;"},
      {"smpl past the end",
       Riff(Fmt(16) + Data(1099) + kLoop),
       1,
       "shorter",
       {"loop_past_end"},
       none,
       loop,
       none,
       "PROBLEM: its loop ends at sample 1099, past its 1099" + past + "2212" + behind,
       "kept the wave's loop;"},
      {"cue and ltxt past the end",
       Riff(Fmt(16) + Data(1099) + CueAndLength(100, 1000)),
       1,
       "shorter",
       {"loop_past_end"},
       none,
       none,
       json::parse(R"([{"sample":100,"length":1000}])"),
       "PROBLEM: its cue point at sample 100 with a labelled length of 1000 ends at sample 1099, "
       "past its 1099" +
           past + "2204" + behind,
       "kept the wave's loop;"},
      {"LIST/INFO before data",
       Riff(Fmt(16) + kInfo + Data(2192) + kLoop),
       0,
       "fits",
       none,
       {"layout_differs"},
       loop,
       none,
       "fits. " + Words("fmt (16 bytes), LIST, data"),
       "kept the wave's header;"},
      {"bext, no smpl",
       Riff(Chunk("bext", std::string(602, ' ')) + Fmt(16) + Data(1934)),
       0,
       "fits",
       none,
       {"loop_dropped", "layout_differs"},
       none,
       none,
       "fits. " + Words("") + ". " + Words("bext, fmt (16 bytes), data"),
       "kept the wave's loop and header;"},
      {"JUNK",
       Riff(Chunk("JUNK", std::string(28, '\0')) + Fmt(16) + Data(2187) + kLoop),
       0,
       "fits",
       none,
       {"layout_differs"},
       loop,
       none,
       "fits. " + Words("JUNK, fmt (16 bytes), data"),
       "kept the wave's header;"},
      {"18-byte fmt",
       Riff(Fmt(18) + Data(2204) + kLoop),
       0,
       "fits",
       none,
       {"layout_differs"},
       loop,
       none,
       "fits. " + Words("fmt (18 bytes), data"),
       "kept the wave's header;"},
      {"extensible fmt",
       Riff(Fmt(40) + Data(2193) + kLoop),
       0,
       "fits",
       none,
       {"layout_differs"},
       loop,
       none,
       "fits. " + Words("fmt (40 bytes), data"),
       "PCM (extensible) -> PCM, padded 0.001 s with silence, kept the wave's header;"},
      {"chunks only after data", Riff(Fmt(16) + Data(2192) + kLoop + kInfo), 0, "fits", none, none,
       loop, none, "fits", ""},
  };
  const std::size_t begin = 12 + 24 + 8;  // the wave's samples
  const std::size_t end = begin + 2205 * 2;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::system(("rm -rf '" + Path("") + "' && mkdir '" + Path("") + "'").c_str());
    Put("bank.dat", std::string(64, 'U') + kWave + std::string(16, 'U'));
    Put("bank.dat_00000040.wav", row.part);
    const Result text = Scan("bank.dat");
    EXPECT_EQ(text.status, row.status);
    EXPECT_NE(text.out.find("  wave 00000040 length 000011aa: PCM, 1 channel, 22050 Hz, 16 bits, "
                            "0.100 s, loop 0.005-0.050 s\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("): " + row.words + "\n"), std::string::npos) << text.out;
    const Result checked = Scan("--json bank.dat");
    EXPECT_EQ(checked.status, row.status);
    const json report = json::parse(checked.out)["containers"][0];
    EXPECT_EQ(report["waves"][0]["loops"], loop);
    const json& part = report["parts"][0];
    EXPECT_EQ(part["verdict"], row.verdict);
    EXPECT_EQ(part["problems"], row.problems);
    EXPECT_EQ(part["notes"], row.notes);
    EXPECT_EQ(part["loops"], row.loops);
    EXPECT_EQ(part["cues"], row.cues);
    EXPECT_EQ(part["message"], row.words);
    EXPECT_EQ(report["counts"]["problems"], row.status);

    const Result fit = Scan("--fit --json bank.dat");
    EXPECT_EQ(fit.status, 0) << fit.out << fit.err;
    const json fitted = json::parse(fit.out)["containers"][0];
    const std::string now = Get("bank.dat_00000040.wav");
    EXPECT_EQ(fitted["counts"]["fitted"], *row.fitted != '\0' ? 1 : 0);
    EXPECT_EQ(fitted["parts"][0]["notes"], none);
    EXPECT_FALSE(fitted["parts"][0].contains("not_fitted"));
    if (*row.fitted == '\0') {
      EXPECT_EQ(now, row.part);
      continue;
    }
    EXPECT_EQ(fitted["parts"][0]["fitted"]["kept_chunks"], json({"fmt ", "smpl"}));
    EXPECT_NE(fitted["parts"][0]["message"].get<std::string>().find(row.fitted), std::string::npos)
        << fitted["parts"][0]["message"];
    EXPECT_EQ(Get("bank.dat_00000040.wav.orig"), row.part);
    ASSERT_EQ(now.size(), kWave.size());
    EXPECT_EQ(now.substr(0, begin), kWave.substr(0, begin));
    EXPECT_EQ(now.substr(end), kWave.substr(end));
    // Its samples, as they were, then silence: each of these is 16-bit PCM.
    const std::size_t at = row.part.find("data") + 8;
    const std::size_t bytes = std::min<std::size_t>(Le32(row.part, at - 4), end - begin);
    EXPECT_EQ(now.substr(begin, bytes), row.part.substr(at, bytes));
    EXPECT_EQ(now.substr(begin + bytes, end - begin - bytes), std::string(end - begin - bytes, 0));

    const Result again = Scan("--fit --json bank.dat");
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(json::parse(again.out)["containers"][0]["counts"]["fitted"], 0);
    EXPECT_EQ(Get("bank.dat_00000040.wav"), now);
  }
}

}  // namespace

namespace {

// A part fitting cannot mend says why even when it has only a note, and the
// note leaves its verdict and the status as they are.
TEST_F(Loops, SaysWhyANoteIsLeftAsItIs) {
  const auto odd = [](std::uint32_t samples, const std::string& after) {
    return Riff(
        Chunk("fmt ", Le(0x1234, 2) + Le(1, 2) + Le(8000, 4) + Le(8000, 4) + Le(1, 2) + Le(8, 2)) +
        Chunk("data", std::string(samples, 'x')) + after);
  };
  const std::string part = odd(300, "");
  // A bare cue point beside the loop.
  const std::string cue =
      Chunk("cue ", Le(1, 4) + Le(7, 4) + Le(0, 4) + "data" + Le(0, 4) + Le(0, 4) + Le(5, 4));
  Put("bank.dat", std::string(64, 'U') + odd(400, Smpl(0, 99) + cue));
  Put("bank.dat_00000040.wav", part);
  const Result run = Scan("--fit --json bank.dat");
  EXPECT_EQ(run.status, 0);
  const json report = json::parse(run.out)["containers"][0];
  EXPECT_EQ(report["waves"][0]["cues"], json::parse(R"([{"sample":5}])"));
  EXPECT_EQ(report["parts"][0]["verdict"], "shorter");
  EXPECT_EQ(report["parts"][0]["notes"], json({"loop_dropped"}));
  EXPECT_EQ(report["parts"][0]["not_fitted"],
            "its format is format 0x1234, which --fit does not read");
  EXPECT_EQ(report["counts"]["shorter"], 1);
  EXPECT_EQ(report["counts"]["fitted"], 0);
  const Result text = Scan("--fit bank.dat");
  EXPECT_NE(
      text.out.find("behind it. NOTE: the wave at that offset loops (smpl and cue) and this part "
                    "does not: a program that loops it will play it once, or loop all of "
                    "it; not fitted: its format is format 0x1234, which --fit does not read\n"),
      std::string::npos)
      << text.out;
  EXPECT_EQ(Get("bank.dat_00000040.wav"), part);
}

}  // namespace
