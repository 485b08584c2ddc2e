// A save another program makes while wavescan --fit runs, at every step of
// the fit: before the part is read, before its second name is made, before
// the fitted part is written, before it is put in place. Whatever the
// moment, the save is kept: fitted from (and kept as NAME.orig), or left
// under the part's name, never lost.
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>

#include "harness.h"

namespace {

using nlohmann::json;
using FitSaves = Scratch;

constexpr char kPart[] = "bank.dat_00000040.wav";

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

TEST_F(FitSaves, NeverLoseASaveMadeBetweenTwoStepsOfAFit) {
  if (saveBetween.empty()) GTEST_SKIP() << "cannot hold here: saves made through LD_PRELOAD";
  // A Linux program's rename is not stopped by the file Wine holds for the
  // fit, as a Windows program's is, and Wine moves a held file by its name.
  if (onWindows) GTEST_SKIP() << "cannot hold under Wine: the save is a Linux program's";
  const std::string bank = std::string(64, 'U') + PcmWave(8000, 1, 8, 400) + "tail";
  const std::string before = PcmWave(16000, 1, 16, 600);
  std::string save = before;  // the same format and length, other samples
  for (std::size_t at = 60; at < save.size(); at += 7)
    save[at] = static_cast<char>(save[at] ^ 0x55);
  // The part each makes when nothing interferes.
  std::string fittedSave;
  for (const std::string& sound : {before, save}) {
    Put("bank.dat", bank);
    Put(kPart, sound);
    std::remove(Path(std::string(kPart) + ".orig").c_str());
    ASSERT_EQ(Scan("--fit bank.dat").status, 0);
    fittedSave = Get(kPart);
  }
  ASSERT_NE(fittedSave, save);
  int saved = 0;
  for (int step = 1; step < 100; ++step) {
    SCOPED_TRACE("saved before step " + std::to_string(step));
    Put("bank.dat", bank);
    Put(kPart, before);
    std::remove(Path(std::string(kPart) + ".orig").c_str());
    Put("save.tmp", save);
    const Result run = Scan("--fit --json bank.dat", false,
                            "LD_PRELOAD='" + saveBetween + "' SAVE_NAME=" + kPart +
                                " SAVE_AT=" + std::to_string(step) + " SAVE_FROM='" +
                                Path("save.tmp") + "' SAVE_TO='" + Path(kPart) +
                                "' ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" ");
    if (Exists(Path("save.tmp"))) break;  // the fit is over before this step
    ++saved;
    const json part = json::parse(run.out)["containers"][0]["parts"][0];
    const std::string now = Get(kPart);
    if (part.contains("fitted")) {
      const std::string kept = Get(std::string(kPart) + ".orig");
      // Fitted from the save, or from the sound before, the save made after.
      EXPECT_TRUE((kept == save && now == fittedSave) || (kept == before && now == save))
          << "kept " << (kept == save) << (kept == before) << ", now " << (now == fittedSave)
          << (now == save) << (now == before) << "\n"
          << run.err;
    } else {
      EXPECT_EQ(run.status, 1) << run.err;
      EXPECT_EQ(part["not_fitted"], "it changed after it was checked; nothing changed") << run.out;
      EXPECT_EQ(now, save);
      EXPECT_FALSE(Exists(Path(std::string(kPart) + ".orig")));
    }
    EXPECT_FALSE(Exists(Path(std::string(kPart) + ".fitting")));
    EXPECT_FALSE(Exists(Path(std::string(kPart) + ".orig.fitting")));
  }
  // The fitted part is not read again: the fit says what it wrote.
  EXPECT_GE(saved, 5) << "a step for each: read, link, create, write, replace";
}

// A fit that did not finish leaves NAME.orig as a second hard link of the
// part; any other file of that name is the user's, whatever it holds. Where
// no link can be made, it leaves a whole copy, and maybe NAME.fitting: said.
TEST_F(FitSaves, TakeOnlyASecondHardLinkForAKeptCopy) {
  const std::string bank = std::string(64, 'U') + PcmWave(8000, 1, 8, 400);
  const std::string part = PcmWave(16000, 1, 16, 600);
  const std::string kept = std::string(kPart) + ".orig";
  const std::string fresh = std::string(kPart) + ".fitting";
  enum Kind { kHard, kSymbolic, kCopy };
  const struct {
    const char* what;
    Kind kind;
    bool leftOver;       // NAME.fitting there too
    const char* notFit;  // why not fitted after "NAME.orig exists already", or null if fitted
  } rows[] = {
      {"a hard link", kHard, false, nullptr},
      {"a symbolic link", kSymbolic, false, ""},
      {"a symbolic link and a new file", kSymbolic, true,
       ", and bank.dat_00000040.wav.fitting is left by a fit that did not finish"},
      {"a whole copy", kCopy, false,
       ", a whole copy of the part as it was: remove it to fit it again"},
      {"a whole copy and a new file", kCopy, true,
       ", a whole copy of the part as it was, and bank.dat_00000040.wav.fitting is left by a fit "
       "that did not finish: remove both to fit it again"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Put("bank.dat", bank);
    Put(kPart, part);
    std::remove(Path(kept).c_str());
    std::remove(Path(fresh).c_str());
    if (row.leftOver) Put(fresh, "half");
    if (row.kind == kCopy) {
      Put(kept, part);
    } else {
      ASSERT_EQ(row.kind == kSymbolic ? symlink(kPart, Path(kept).c_str())
                                      : link(Path(kPart).c_str(), Path(kept).c_str()),
                0);
    }
    const Result run = Scan("--fit --json bank.dat");
    const json fitted = json::parse(run.out)["containers"][0]["parts"][0];
    EXPECT_EQ(Get(kept), part);
    if (row.notFit == nullptr) {
      EXPECT_EQ(fitted["fitted"]["kept_as"], kept);
      EXPECT_NE(Get(kPart), part);
    } else {
      EXPECT_EQ(fitted["not_fitted"], kept + " exists already" + row.notFit + "; nothing changed");
      EXPECT_EQ(Get(kPart), part);
    }
  }
}

}  // namespace
