// wavescan --moved-from on banks of real waves (Debian's sound-icons, cut
// to one length so that waves land on one another's offsets): after each
// update of the bank, every part file is renamed to where its wave went, or
// left and said why, on both builds. And a run killed between two renames,
// then run again: no part lost, each where it belongs.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"

namespace {

using nlohmann::json;

constexpr std::size_t kStart = 16;  // bytes before the first wave

class MovedFrom : public Scratch {
 protected:
  void SetUp() override {
    Scratch::SetUp();
    if (std::system("command -v sox >/dev/null && test -d /usr/share/sounds/sound-icons") != 0) {
      GTEST_SKIP() << "needs sox and sound-icons (scripts/test installs them)";
    }
    for (const char* sound : {"cembalo-1", "guitar-12", "glass-water-1", "gummy-cat-2", "at"}) {
      const std::string from = "/usr/share/sounds/sound-icons/" + std::string(sound) +
                               (std::string(sound) == "at" ? "" : ".wav");
      // 3000 frames each, padded with silence where the sound is shorter.
      ASSERT_EQ(std::system(("sox -V1 '" + from + "' -t wav -r 16000 -c 1 -b 16 '" + Path("w.wav") +
                             "' trim 0 3000s pad 0 3000s trim 0 3000s")
                                .c_str()),
                0)
          << sound;
      waves_.push_back(Get("w.wav"));
      ASSERT_EQ(waves_.back().size(), waves_.front().size());
    }
    std::remove(Path("w.wav").c_str());
  }

  // The wave a letter stands for in slot k: 'A' to 'E' the five; a
  // lower-case letter its upper case's with a byte changed, as the part
  // file edited for that slot has it.
  std::string Letter(char letter, std::size_t k) const {
    return letter >= 'a' ? Edited(waves_[letter - 'a'], k) : waves_[letter - 'A'];
  }
  static std::string Edited(std::string wave, std::size_t k) {
    wave[wave.size() - 1 - k] ^= 0x5a;
    return wave;
  }
  static char Lower(char letter) { return letter >= 'a' ? letter : letter - 'A' + 'a'; }
  // A bank: 16 bytes, then a wave per letter.
  std::string Bank(const std::string& letters) const {
    std::string bank(kStart, 'U');
    for (std::size_t k = 0; k < letters.size(); ++k) bank += Letter(letters[k], k);
    return bank;
  }
  // text with each "@k" as the eight digits of slot k's offset.
  std::string Names(std::string text) const {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
      char digits[16];
      const std::size_t k = static_cast<std::size_t>(text[at + 1] - '0');
      std::snprintf(digits, sizeof digits, "%08zx", kStart + k * waves_[0].size());
      text.replace(at, 2, digits);
    }
    return text;
  }
  // The files of the work folder but the bank and the old folder.
  std::vector<std::string> Listed() const {
    std::vector<std::string> names;
    const Result listed = Script("ls -A >\"$OUT\"", false);
    for (std::size_t at = 0; at < listed.out.size();) {
      const std::size_t end = listed.out.find('\n', at);
      const std::string name = listed.out.substr(at, end - at);
      // The bank, its old version, and the record of the names parts were
      // moved to, kept for the next run.
      if (name != "b.dat" && name != "old" && name != "b.dat.moved") names.push_back(name);
      at = end + 1;
    }
    return names;
  }

  std::vector<std::string> waves_;
};

// The lines said before the check, in order natively; Windows' search may
// order names otherwise under Wine.
std::vector<std::string> MoveLines(const std::string& out) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < out.size() && out.compare(at, 8, "Scanning") != 0;) {
    const std::size_t end = out.find('\n', at);
    lines.push_back(out.substr(at, end - at + 1));
    at = end + 1;
  }
  if (onWindows) std::sort(lines.begin(), lines.end());
  return lines;
}

struct File {
  const char* name;  // "@k" for slot k's digits
  int slot;          // a part: the old version's wave there, edited; -1: a file of text
};

struct Update {
  const char* what;
  const char* old;
  const char* now;
  std::vector<File> files;
  const char* lines;               // said before the check
  std::vector<const char*> after;  // each file after the run: "NAME<-ITS NAME BEFORE"
  std::vector<std::pair<const char*, const char*>> problems;  // a part left, its keyword
  int status;
};

TEST_F(MovedFrom, MovesEachPartToWhereItsWaveWentOrSaysWhyNot) {
  const Update updates[] = {
      {"waves inserted before: a chain, each onto the next one's old name",
       "ABCD",
       "EABCD",
       {{"b.dat_@0.wav", 0}, {"b.dat_@1.wav", 1}, {"b.dat_@3.wav", 3}},
       "moved b.dat_@0.wav -> b.dat_@1.wav\nmoved b.dat_@1.wav -> b.dat_@2.wav\n"
       "moved b.dat_@3.wav -> b.dat_@4.wav\n",
       {"b.dat_@1.wav<-b.dat_@0.wav", "b.dat_@2.wav<-b.dat_@1.wav", "b.dat_@4.wav<-b.dat_@3.wav"},
       {},
       0},
      {"a wave removed",
       "ABCD",
       "ACD",
       {{"b.dat_@0.wav", 0}, {"b.dat_@2.wav", 2}, {"b.dat_@3.wav", 3}},
       "stays b.dat_@0.wav\nmoved b.dat_@2.wav -> b.dat_@1.wav\nmoved b.dat_@3.wav -> "
       "b.dat_@2.wav\n",
       {"b.dat_@0.wav<-b.dat_@0.wav", "b.dat_@1.wav<-b.dat_@2.wav", "b.dat_@2.wav<-b.dat_@3.wav"},
       {},
       0},
      {"the removed wave's part stays, and holds the name the next one needs",
       "ABCD",
       "ACD",
       {{"b.dat_@1.wav", 1}, {"b.dat_@2.wav", 2}, {"b.dat_@3.wav", 3}},
       "not moved b.dat_@1.wav: its wave is not in the new b.dat: it was changed or removed\n"
       "not moved b.dat_@2.wav: b.dat_@1.wav is taken by a file that is not moving away\n"
       "not moved b.dat_@3.wav: b.dat_@2.wav is taken by a file that is not moving away\n",
       {"b.dat_@1.wav<-b.dat_@1.wav", "b.dat_@2.wav<-b.dat_@2.wav", "b.dat_@3.wav<-b.dat_@3.wav"},
       {{"b.dat_@1.wav", "gone"},
        {"b.dat_@2.wav", "target_exists"},
        {"b.dat_@3.wav", "target_exists"}},
       1},
      {"reordered: two cycles, a .orig moving with its part",
       "ABCD",
       "DCBA",
       {{"b.dat_@0.wav", 0},
        {"b.dat_@0.wav.orig", -1},
        {"b.dat_@1.wav", 1},
        {"b.dat_@2.wav", 2},
        {"b.dat_@3.wav", 3}},
       "moved b.dat_@0.wav -> b.dat_@3.wav\nmoved b.dat_@0.wav.orig -> b.dat_@3.wav.orig\n"
       "moved b.dat_@1.wav -> b.dat_@2.wav\nmoved b.dat_@2.wav -> b.dat_@1.wav\n"
       "moved b.dat_@3.wav -> b.dat_@0.wav\n",
       {"b.dat_@3.wav<-b.dat_@0.wav", "b.dat_@3.wav.orig<-b.dat_@0.wav.orig",
        "b.dat_@2.wav<-b.dat_@1.wav", "b.dat_@1.wav<-b.dat_@2.wav", "b.dat_@0.wav<-b.dat_@3.wav"},
       {},
       0},
      {"two swapped: a cycle",
       "AB",
       "BA",
       {{"b.dat_@0.wav", 0}, {"b.dat_@1.wav", 1}},
       "moved b.dat_@0.wav -> b.dat_@1.wav\nmoved b.dat_@1.wav -> b.dat_@0.wav\n",
       {"b.dat_@1.wav<-b.dat_@0.wav", "b.dat_@0.wav<-b.dat_@1.wav"},
       {},
       0},
      {"duplicated: the k-th identical wave goes to the k-th",
       "ABAC",
       "BAAC",
       {{"b.dat_@0.wav", 0}, {"b.dat_@2.wav", 2}, {"b.dat_@3.wav", 3}},
       "moved b.dat_@0.wav -> b.dat_@1.wav\nstays b.dat_@2.wav\nstays b.dat_@3.wav\n",
       {"b.dat_@1.wav<-b.dat_@0.wav", "b.dat_@2.wav<-b.dat_@2.wav", "b.dat_@3.wav<-b.dat_@3.wav"},
       {},
       0},
      {"duplicated once more: which is whose is not known",
       "ABA",
       "AAAB",
       {{"b.dat_@2.wav", 2}},
       "not moved b.dat_@2.wav: its wave is one of 2 identical waves in old/b.dat (at @0, @2) but "
       "of 3 in the new b.dat (at @0, @1, @2): which of them is its own is not known\n",
       {"b.dat_@2.wav<-b.dat_@2.wav"},
       {{"b.dat_@2.wav", "ambiguous"}},
       1},
      {"one changed",
       "ABCD",
       "AbCD",
       {{"b.dat_@0.wav", 0}, {"b.dat_@1.wav", 1}},
       "stays b.dat_@0.wav\n"
       "not moved b.dat_@1.wav: its wave is not in the new b.dat: it was changed or removed\n",
       {"b.dat_@0.wav<-b.dat_@0.wav", "b.dat_@1.wav<-b.dat_@1.wav"},
       {{"b.dat_@1.wav", "gone"}},
       1},
      {"the old version is the copy the part was spliced into",
       "AbC",
       "EABC",
       {{"b.dat_@1.wav", 1}, {"b.dat_@2.wav", 2}},
       "not moved b.dat_@1.wav: its wave is not in the new b.dat: it was changed or removed; yet "
       "it is itself that wave, byte for byte: old/b.dat may be the copy the parts were spliced "
       "into, and the copy from before splicing is the one needed\n"
       "moved b.dat_@2.wav -> b.dat_@3.wav\n",
       {"b.dat_@1.wav<-b.dat_@1.wav", "b.dat_@3.wav<-b.dat_@2.wav"},
       {{"b.dat_@1.wav", "gone"}},
       1},
      {"no wave at a part's offset in the old version",
       "AB",
       "EAB",
       {{"b.dat_00000011.wav", -1}},
       "not moved b.dat_00000011.wav: no wave starts at its offset in old/b.dat\n",
       {"b.dat_00000011.wav<-b.dat_00000011.wav"},
       {{"b.dat_00000011.wav", "no_old_wave"}},
       1},
      {"targets taken by a .orig of no part and by a part that stays, in another case",
       "ABC",
       "EDAB",
       {{"b.dat_@0.wav", 0},
        {"b.dat_@0.wav.orig", -1},
        {"b.dat_@1.wav", 1},
        {"b.dat_@2.wav.orig", -1},
        {"B.DAT_@3.WAV", -1}},
       "not moved b.dat_@0.wav: b.dat_@2.wav.orig is taken by a file that is not moving away\n"
       "not moved b.dat_@1.wav: b.dat_@3.wav is taken by a file that is not moving away\n"
       "not moved B.DAT_@3.WAV: no wave starts at its offset in old/b.dat\n",
       {"b.dat_@0.wav<-b.dat_@0.wav", "b.dat_@0.wav.orig<-b.dat_@0.wav.orig",
        "b.dat_@1.wav<-b.dat_@1.wav", "b.dat_@2.wav.orig<-b.dat_@2.wav.orig",
        "B.DAT_@3.WAV<-B.DAT_@3.WAV"},
       {{"b.dat_@0.wav", "target_exists"},
        {"b.dat_@1.wav", "target_exists"},
        {"B.DAT_@3.WAV", "no_old_wave"}},
       1},
      {"names in other letter cases and spellings; a name that is no part's",
       "AB",
       "EAB",
       {{"B.DAT_@0.WAV", 0},
        {"b.dat_@0.WAV.Orig", -1},
        {"b.dat_0x0017ac.wav", 1},
        {"b.dat_10.wav", -1}},
       "moved B.DAT_@0.WAV -> B.DAT_@1.WAV\nmoved b.dat_@0.WAV.Orig -> B.DAT_@1.WAV.Orig\n"
       "moved b.dat_0x0017ac.wav -> b.dat_@2.wav\n",
       {"B.DAT_@1.WAV<-B.DAT_@0.WAV", "B.DAT_@1.WAV.Orig<-b.dat_@0.WAV.Orig",
        "b.dat_@2.wav<-b.dat_0x0017ac.wav", "b.dat_10.wav<-b.dat_10.wav"},
       {},
       0},
  };
  for (const Update& update : updates) {
    SCOPED_TRACE(update.what);
    for (const bool asJson : {false, true}) {
      ASSERT_EQ(Script("rm -rf ./* && mkdir old", false).status, 0);
      Put("old/b.dat", Bank(update.old));
      Put("b.dat", Bank(update.now));
      std::map<std::string, std::string> before;
      for (const File& file : update.files) {
        const std::string name = Names(file.name);
        before[name] = file.slot < 0 ? "a file of text: " + name
                                     : Letter(Lower(update.old[file.slot]), file.slot);
        Put(name, before[name]);
      }
      const Result run = Scan(std::string(asJson ? "--json " : "") + "--moved-from old b.dat");
      EXPECT_EQ(run.status, update.status) << run.out << run.err;
      EXPECT_EQ(run.err, "");
      std::vector<std::string> after;
      std::size_t moved = 0;
      // Run again for the same versions, the parts moved stay where they are.
      for (const bool again : {false, true}) {
        if (again && (asJson || Scan("--moved-from old b.dat").status != update.status)) break;
        after.clear();
        moved = 0;
        for (const char* arrow : update.after) {
          const std::string text = Names(arrow);
          const std::string name = text.substr(0, text.find("<-"));
          const std::string from = text.substr(text.find("<-") + 2);
          EXPECT_EQ(Get(name), before[from]) << name << " should be what " << from << " was";
          after.push_back(name);
          const bool part =
              name.find(".orig") == std::string::npos && name.find(".Orig") == std::string::npos;
          if (name != from && part) ++moved;
        }
        std::vector<std::string> listed = Listed();
        std::sort(after.begin(), after.end());
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, after) << (again ? "run again" : "");
      }
      if (!asJson) {
        std::vector<std::string> lines = MoveLines(Names(update.lines));
        EXPECT_EQ(MoveLines(run.out), lines);
        EXPECT_NE(run.out.find(", " + std::to_string(moved) + " moved\n"), std::string::npos)
            << run.out;
        continue;
      }
      const json report = json::parse(run.out)["containers"][0];
      EXPECT_EQ(report["counts"]["moved"], moved);
      std::map<std::string, std::string> problems;
      for (const auto& [name, key] : update.problems) problems[Names(name)] = key;
      std::map<std::string, std::string> movedFrom;  // the parts that moved
      for (const char* arrow : update.after) {
        const std::string text = Names(arrow);
        const std::string name = text.substr(0, text.find("<-"));
        if (name != text.substr(text.find("<-") + 2))
          movedFrom[name] = text.substr(text.find("<-") + 2);
      }
      for (const json& part : report["parts"]) {
        const std::string name = part["name"];
        EXPECT_EQ(part.value("moved_from", ""), movedFrom[name]) << name;
        const json& keys = part["problems"];
        if (problems.count(name) > 0) {
          ASSERT_FALSE(keys.empty()) << name;
          EXPECT_EQ(keys[0], problems[name]) << name;
        } else if (part["verdict"] != "skipped") {
          EXPECT_EQ(keys, json::array()) << name;
        }
      }
    }
  }
}

}  // namespace

namespace {

struct Refusal {
  const char* what;
  const char* setup;  // shell commands in the work folder, after b.dat and its parts are put
  const char* args;
  int status;
  const char* err;  // the start of standard error
  bool scanned;     // the check of b.dat ran
};

TEST_F(MovedFrom, MovesNothingWithoutAnOldVersionOfItsOwn) {
  const Refusal refusals[] = {
      {"no old folder", "", "--moved-from nowhere b.dat", 1, "wavescan: nowhere: ", false},
      {"an old folder that is a file", "", "--moved-from b.dat b.dat", 1,
       "wavescan: b.dat: not a folder\n", false},
      {"no old version in it", "mkdir old", "--moved-from old b.dat", 1,
       "wavescan: old/b.dat: ", true},
      {"an old version that is the container", "", "--moved-from . b.dat", 1,
       "wavescan: ./b.dat: the same file as b.dat, not an old version of it\n", true},
      {"an old version that cannot be read", "mkdir -p old/b.dat", "--moved-from old b.dat", 1,
       "wavescan: old/b.dat: a folder or a device, not a file\n", true},
      {"two old versions but for letter case",
       "mkdir old && cp b.dat old/B.dat && cp b.dat old/B.DAT", "--moved-from old b.dat", 1,
       "wavescan: old/b.dat: several files are named as b.dat but for letter case (B.DAT, B.dat): "
       "which is its old version is not known\n",
       true},
      {"with --extract", "mkdir old && cp b.dat old/", "--extract --moved-from old b.dat", 2,
       "wavescan: --moved-from and --extract do not go together: move the parts first\n", false},
      {"no folder named", "", "b.dat --moved-from", 2,
       "wavescan: --moved-from needs the folder of the old versions\n", false},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    ASSERT_EQ(Script("rm -rf ./*", false).status, 0);
    Put("b.dat", Bank("EAB"));
    Put(Names("b.dat_@0.wav"), Letter('a', 0));
    ASSERT_EQ(Script(refusal.setup, false).status, 0);
    const Result run = Scan(refusal.args);
    EXPECT_EQ(run.status, refusal.status);
    EXPECT_EQ(run.err.rfind(refusal.err, 0), 0u) << run.err;
    EXPECT_EQ(run.out.rfind("Scanning b.dat", 0) == 0, refusal.scanned) << run.out;
    EXPECT_EQ(Get(Names("b.dat_@0.wav")), Letter('a', 0));
  }
  // The other containers are handled all the same.
  ASSERT_EQ(Script("rm -rf ./* && mkdir old", false).status, 0);
  Put("b.dat", Bank("EAB"));
  Put("c.dat", Bank("EAB"));
  Put("old/c.dat", Bank("AB"));
  Put(Names("b.dat_@0.wav"), Letter('a', 0));
  Put(Names("c.dat_@0.wav"), Letter('a', 0));
  const Result run = Scan("--moved-from old '?.dat'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Get(Names("b.dat_@0.wav")), Letter('a', 0));
  EXPECT_EQ(Get(Names("c.dat_@1.wav")), Letter('a', 0));
  EXPECT_NE(run.out.find(Names("moved c.dat_@0.wav -> c.dat_@1.wav\n")), std::string::npos);
}

TEST_F(MovedFrom, FinishesOrUndoesARunKilledBetweenTwoRenames) {
  if (stopRenames.empty() || wavescanCommand.find("valgrind") != std::string::npos) {
    GTEST_SKIP() << "cannot hold here: renames stopped through LD_PRELOAD";
  }
  // Three parts in a cycle, one with a .orig: four files, each renamed
  // twice, and the record once between.
  const std::vector<std::pair<std::string, std::string>> moves = {
      {"b.dat_@0.wav", "b.dat_@1.wav"},
      {"b.dat_@0.wav.orig", "b.dat_@1.wav.orig"},
      {"b.dat_@1.wav", "b.dat_@2.wav"},
      {"b.dat_@2.wav", "b.dat_@0.wav"}};
  for (int stop = 0; stop < 9; ++stop) {
    SCOPED_TRACE("killed before rename " + std::to_string(stop + 1));
    ASSERT_EQ(Script("rm -rf ./* && mkdir old", false).status, 0);
    Put("old/b.dat", Bank("ABC"));
    Put("b.dat", Bank("CAB"));
    std::map<std::string, std::string> before;
    for (const auto& [from, to] : moves) {
      before[Names(from)] = "the file once named " + Names(from);
      Put(Names(from), before[Names(from)]);
    }
    const std::string wrap = "LD_PRELOAD='" + stopRenames +
                             "' STOP_AFTER_RENAMES=" + std::to_string(stop) +
                             " ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" ";
    EXPECT_NE(Scan("--moved-from old b.dat", false, wrap).status, 0);
    const Result again = Scan("--moved-from old b.dat");
    // Its record is written before the first rename.
    EXPECT_EQ(again.out.rfind(std::string("b.dat: found renames a run of wavescan --moved-from ") +
                                  "stopped before it had made them all: " +
                                  (stop <= 4 ? "undid " : "finished "),
                              0),
              0u)
        << again.out;
    for (const auto& [from, to] : moves) {
      EXPECT_EQ(Get(Names(to)), before[Names(from)]) << Names(to) << "\n" << again.out;
    }
    std::vector<std::string> listed = Listed();
    EXPECT_EQ(listed.size(), moves.size()) << again.out;
  }
}

}  // namespace

namespace {

TEST_F(MovedFrom, MovesFirstThenFitsAndLeavesWhatItCouldNotMove) {
  ASSERT_EQ(Script("mkdir old", false).status, 0);
  Put("old/b.dat", Bank("AB"));
  Put("b.dat", Bank("EaC"));  // A changed: its part is gone; B removed, C new
  Put("x.wav", Letter('B', 0));
  ASSERT_EQ(Script("sox -V1 x.wav -r 8000 " + Names("b.dat_@0.wav") + " && rm x.wav", false).status,
            0);
  Put("old/c.dat", Bank("AB"));
  Put("c.dat", Bank("EAB"));
  ASSERT_EQ(Script("cp " + Names("b.dat_@0.wav c.dat_@1.wav"), false).status, 0);
  const std::string part = Get(Names("c.dat_@1.wav"));
  const Result run = Scan("--fit --json --moved-from old '?.dat'");
  EXPECT_EQ(run.status, 1);
  const json report = json::parse(run.out);
  const json& gone = report["containers"][0]["parts"][0];
  EXPECT_EQ(gone["problems"][0], "gone");
  EXPECT_EQ(gone["not_fitted"], "it was not moved to where its wave went");
  const json& moved = report["containers"][1]["parts"][0];
  EXPECT_EQ(moved["name"], Names("c.dat_@2.wav"));
  EXPECT_EQ(moved["moved_from"], Names("c.dat_@1.wav"));
  EXPECT_EQ(moved["fitted"]["kept_as"], Names("c.dat_@2.wav.orig"));
  EXPECT_EQ(Get(Names("c.dat_@2.wav.orig")), part);
}

}  // namespace
