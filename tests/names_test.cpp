// Names in any language: a container whose name is not ASCII is found by
// its name and by a pattern, its waves are extracted and spliced under
// their exact names, and both programs print those names as UTF-8 bytes.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"

namespace {

struct Name {
  const char* what;
  std::string name;
  const char* pattern;
};

class Names : public Scratch, public ::testing::WithParamInterface<Name> {
 protected:
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Path(""))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_P(Names, AreFoundExtractedSplicedAndPrintedAsTheyAre) {
  const std::string name = GetParam().name;
  const std::string part = name + "_00000010.wav";
  const std::string wave = PcmWave(44100, 1, 16, 10);
  const std::string replacement = PcmWave(22050, 1, 16, 10);  // as long
  Put(name, std::string(16, '.') + wave);

  const Result extracted = Scan("--extract '" + name + "'");
  EXPECT_EQ(extracted.out, "Scanning " + name +
                               ", 80 bytes\n  wave 00000010 length 00000040: PCM, 1 channel, "
                               "44100 Hz, 16 bits, 0.000 s; extracted to " +
                               part + "\n" + name +
                               ": 1 wave, 0 part files: 0 fit, 0 shorter, 0 with a problem, 0 "
                               "skipped, 1 extracted\n");
  EXPECT_EQ(extracted.status, 0);
  EXPECT_EQ(Listing(), (std::vector<std::string>{name, part}));
  EXPECT_EQ(Get(part), wave);

  Put(part, replacement);
  Put(name + "_10.wav", "");  // the wrong length, counted in bytes
  const std::string lengths = std::to_string(name.size() + 7) + ", " + std::to_string(name.size());
  for (const std::string& arg : {name, std::string(GetParam().pattern)}) {
    const Result spliced = Tool("'" + arg + "'");
    EXPECT_EQ(spliced.out, "Replacing waves in " + name + "\nProcessing " + part +
                               " offset 00000010 length 00000040\ncont: " + name + "_10.wav, " +
                               name + ", " + lengths + "\n")
        << arg;
    EXPECT_EQ(spliced.status, 0) << arg;
    EXPECT_EQ(Get(name), std::string(16, '.') + replacement) << arg;
  }
  const Result checked = Scan(std::string("'") + GetParam().pattern + "'");
  EXPECT_NE(checked.out.find("  part " + part +
                             " offset 00000010 length 00000040 (PCM, 1 channel, 22050 Hz, 16 "
                             "bits, 0.000 s): fits\n"),
            std::string::npos)
      << checked.out;
  EXPECT_EQ(checked.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Wavesplice, Names,
                         ::testing::Values(Name{"AccentedLatin", "café.dat", "caf?.dat"},
                                           Name{"Cyrillic", "звуки.dat", "зв*.DAT"},
                                           Name{"Japanese", "効果音.dat", "*音.dat"}),
                         [](const ::testing::TestParamInfo<Name>& info) {
                           return std::string(info.param.what);
                         });

}  // namespace

namespace {

using LetterCase = Scratch;

// Windows takes names that differ only in the case of their letters for one,
// in any language: so do both builds, for containers, parts and patterns.
TEST_F(LetterCase, FoldsLettersBeyondAsciiAsWindowsDoes) {
  const struct {
    std::string container;
    std::string part;  // of the container, in the other case
    const char* pattern;
    const char* typed;  // the container's name in other case
  } cases[] = {
      {"Звуки.dat", "звуки.dat_00000010.wav", "зву*.dat", "ЗВУКИ.DAT"},
      {"été.dat", "ÉTÉ.DAT_00000010.WAV", "?T?.dat", "Été.dat"},  // '?' for one accented letter
      {"ήχοι.dat", "ΉΧΟΙ.dat_00000010.wav", "ΉΧ*.DAT", "ΉΧΟΙ.dat"},
  };
  const std::string wave = PcmWave(44100, 1, 16, 10);
  std::string replacement = wave;
  replacement.back() ^= 1;  // an edit of it
  for (const auto& c : cases) {
    SCOPED_TRACE(c.container);
    Put(c.container, std::string(16, '.') + wave);
    Put(c.part, replacement);
    const Result kept = Scan("--extract '" + c.container + "'");
    EXPECT_NE(kept.out.find("; kept the existing " + c.part + "\n  part " + c.part +
                            " offset 00000010 length 00000040 (PCM, 1 channel, 44100 Hz"),
              std::string::npos)
        << kept.out;
    EXPECT_NE(kept.out.find(": 1 wave, 1 part file: 1 fit"), std::string::npos) << kept.out;
    for (const std::string& arg : {std::string(c.pattern), std::string(c.typed)}) {
      Put(c.container, std::string(16, '.') + wave);
      const Result spliced = Tool("'" + arg + "'");
      EXPECT_EQ(spliced.out, "Replacing waves in " + c.container + "\nProcessing " + c.part +
                                 " offset 00000010 length 00000040\n")
          << arg;
      EXPECT_EQ(spliced.status, 0) << arg;
      EXPECT_EQ(Get(c.container), std::string(16, '.') + replacement) << arg;
    }
    std::remove(Path(c.container).c_str());
    std::remove(Path(c.part).c_str());
  }
}

}  // namespace

namespace {

using HostileNames = Scratch;

// A name can neither recolour the terminal nor forge a line: its control
// characters are shown escaped in the lines for people, and kept exact in
// JSON and in the files.
TEST_F(HostileNames, AreShownEscapedAndKeptExact) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: its names hold no control characters";
  const struct {
    std::string name;
    const char* shown;
  } rows[] = {{"\x1b[31mred.dat", "\\x1b[31mred.dat"},
              {"a\n  part b.dat: fits\n.dat", "a\\n  part b.dat: fits\\n.dat"},
              {"tab\tcr\r\x7f.dat", "tab\\tcr\\r\\x7f.dat"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shown);
    std::system(("rm -rf '" + Path("") + "' && mkdir '" + Path("") + "'").c_str());
    const std::string part = row.name + "_00000000.wav";
    const std::string shownPart = std::string(row.shown) + "_00000000.wav";
    Put(row.name, std::string(64, '.'));
    Put(part, Wave(0, ""));
    Put(row.name + "_0.wav", Wave(0, ""));  // of the wrong length
    const Result splice = Tool("'*.dat'");
    EXPECT_EQ(splice.out, "Replacing waves in " + std::string(row.shown) + "\ncont: " + row.shown +
                              "_0.wav, " + row.shown + ", " + std::to_string(row.name.size() + 6) +
                              ", " + std::to_string(row.name.size()) + "\nProcessing " + shownPart +
                              " offset 00000000 length 00000008\n");
    EXPECT_EQ(Get(row.name), Wave(0, "") + std::string(56, '.'));
    const Result text = Scan("'*.dat'");
    EXPECT_EQ(text.out.rfind("Scanning " + std::string(row.shown) + ", 64 bytes\n", 0), 0u)
        << text.out;
    EXPECT_NE(text.out.find("  part " + shownPart + " "), std::string::npos) << text.out;
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\x1b'), 0);
    const std::string json = Scan("--json '*.dat'").out;
    if (row.name[0] == '\x1b') {
      EXPECT_NE(json.find("\"name\":\"\\u001b[31mred.dat\""), std::string::npos) << json;
    }
  }
}

// The same holds where a line names another file: the parts a part
// overlaps, the copy --fit keeps, the part a wave is extracted to.
TEST_F(HostileNames, AreShownEscapedWhereverALineNamesThem) {
  if (onWindows) GTEST_SKIP() << "cannot hold on Windows: its names hold no control characters";
  const auto lines = [](const std::string& out) {
    EXPECT_TRUE(std::none_of(out.begin(), out.end(), [](unsigned char c) {
      return (c < 0x20 && c != '\n') || c == 0x7f;
    })) << out;
    return std::count(out.begin(), out.end(), '\n');
  };
  const struct {
    std::string name;
    const char* shown;
  } rows[] = {{"\x1b[31mred.dat", "\\x1b[31mred.dat"},
              {"a\n  part b.dat: fits\n.dat", "a\\n  part b.dat: fits\\n.dat"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shown);
    std::system(("rm -rf '" + Path("") + "' && mkdir '" + Path("") + "'").c_str());
    const std::string wave = PcmWave(8000, 1, 8, 100);  // 144 bytes
    Put(row.name, wave + wave);
    Put(row.name + "_00000000.wav", PcmWave(8000, 1, 8, 200));  // reaches into the next
    Put(row.name + "_00000090.wav", PcmWave(8000, 1, 16, 100));
    const std::string overlap =
        "its bytes overlap those of " + std::string(row.shown) + "_00000090.wav";
    const Result text = Scan("'*.dat'");
    EXPECT_EQ(lines(text.out), 6) << text.out;
    EXPECT_NE(text.out.find(overlap), std::string::npos) << text.out;
    Put(row.name + "_00000000.wav.fitting", "");  // in the way: said on standard error
    const Result fit = Scan("--fit '*.dat'");
    EXPECT_EQ(lines(fit.out), 6) << fit.out;
    EXPECT_EQ(lines(fit.err), 1) << fit.err;
    EXPECT_NE(fit.out.find("yours is kept as " + std::string(row.shown) + "_00000090.wav.orig"),
              std::string::npos)
        << fit.out;
    std::remove(Path(row.name + "_00000090.wav").c_str());
    const Result extract = Scan("--extract '*.dat'");
    EXPECT_EQ(lines(extract.out), 5) << extract.out;
    EXPECT_NE(extract.out.find("extracted to " + std::string(row.shown) + "_00000090.wav"),
              std::string::npos)
        << extract.out;
    std::filesystem::create_hard_link(Path(row.name), Path(row.name + ".dat"));
    const Result linked = Scan("'*.dat'");
    lines(linked.out);
    EXPECT_NE(linked.out.find("the same file as " + std::string(row.shown) + ".dat"),
              std::string::npos)
        << linked.out;
  }
}

}  // namespace
