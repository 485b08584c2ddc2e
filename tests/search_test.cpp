#include "platform/search.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/containers.h"
#include "platform/listing_notes.h"
#include "platform/open_file.h"
#include "platform/wildcard.h"

TEST(MatchesPattern, KnowsOnlyStarAndQuestionMarkAndIgnoresLetterCase) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*", "anything.at.all", true},
      {"*.*", "no_extension", true},
      {"a.*", "a", true},
      {"a.*", "a.b.c", true},
      {"a.*", "ab", false},
      {"*.dat", "S.DAT", true},
      {"*.dat", "s.dat.bak", false},
      {"?", "a", true},
      {"?", "ab", false},
      {"?", "", false},
      {"A?", "ab", true},
      {"A?", "a", false},
      {"a?c", "a?c", true},   // '?' stands for any character, itself too
      {"abc", "a?c", false},  // a '?' in a name is only itself
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXcYb", false},
      {"**.dat", ".dat", true},
      {"*b*", "abba", true},
      {"*x*", "abba", false},
      {"x[1]*", "X[1]y", true},
      {"x[1]*", "x1", false},
      {"a\\b", "A\\B", true},
      {"a\\b", "a/b", false},
      {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
      {"\xe4*", "\xc4x", false},
      {"s_*.wav", "s_00000040.WAV", true},
      // '?' is a character of a UTF-8 name; a byte that starts no sequence
      // (a Latin-1 name) is a character of its own.
      {"caf?.dat", "caf\xc3\xa9.dat", true},
      {"??", "\xc3\xa9", false},
      {"?", "\xe6\x97\xa5", true},
      {"*??a*", "\xe6\x97\xa5\x61\xe6\x97\xa5", false},  // one character before the "a"
      {"??", "\xe9x", true},
      {"?", "\xc3", true},
      // Letters beyond ASCII fold as in Windows' table for file names: only
      // where the upper case turns back into the letter, and not beyond
      // U+FFFF, which Windows takes a UTF-16 unit at a time.
      {"ÉTÉ.DAT", "été.dat", true},
      {"?T?.DAT", "été.dat", true},
      {"зв*.DAT", "ЗВУКИ.dat", true},
      {"ΉΧΟΣ", "ήχοσ", true},
      {"ΉΧΟΣ", "ήχος", false},                          // final sigma
      {"I", "\xc4\xb1", false},                         // dotless i
      {"S", "\xc5\xbf", false},                         // long s
      {"SS", "\xc3\x9f", false},                        // sharp s: no single upper case
      {"\xf0\x90\x90\x80", "\xf0\x90\x90\xa8", false},  // Deseret, beyond U+FFFF
      {"\xe0\x81\xa1", "\xe0\x81\x81", false},          // too long a form of 'a' is no 'a'
      {"?", "\xed\xa0\x80", false},                     // half a surrogate pair is no character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesPattern(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
  }
}

namespace {

struct Listed {
  std::vector<std::string> names;
  std::vector<std::string> dirs;
};

Listed Find(const std::string& pattern) {
  Listed listed;
  std::string err;
  EXPECT_TRUE(SearchFolder(
      pattern,
      [&listed](const std::string& name, bool directory) {
        listed.names.push_back(name);
        if (directory) listed.dirs.push_back(name);
      },
      &err))
      << pattern << ": " << err;
  return listed;
}

}  // namespace

TEST(SearchFolder, ListsMatchesDotsFirstThenByUpperCasedName) {
  char made[] = "/tmp/wavesplice-search-XXXXXX";
  ASSERT_NE(mkdtemp(made), nullptr);
  const std::string dir = std::string(made) + "/";
  for (const char* name : {"b", "A_x", "a", "[c]", "_", "B.dat", ".h", "a.b_1.wav", "A.B_2.WAV",
                           "Éb", "éa", "Яb", "яa"}) {
    std::ofstream(dir + name).put('x');
  }
  mkdir((dir + "sub").c_str(), 0755);

  const Listed all = Find(dir + "*");
  // '[' and '_' sort after the upper-cased letters, as on Windows.
  // Letters beyond ASCII by their upper case too: "éa" before "Éb".
  EXPECT_EQ(all.names,
            (std::vector<std::string>{".", "..", ".h", "a", "a.b_1.wav", "A.B_2.WAV", "A_x", "b",
                                      "B.dat", "sub", "[c]", "_", "éa", "Éb", "яa", "Яb"}));
  EXPECT_EQ(all.dirs, (std::vector<std::string>{".", "..", "sub"}));
  // Patterns whose matches start at a literal prefix, or at none.
  const struct {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"A.B_*.wav", {"a.b_1.wav", "A.B_2.WAV"}},
      {"a.*", {"a", "a.b_1.wav", "A.B_2.WAV"}},
      {".?", {"..", ".h"}},
      {"*_*", {"a.b_1.wav", "A.B_2.WAV", "A_x", "_"}},
      {"s?b", {"sub"}},
      {"É*", {"éa", "Éb"}},
      {"ЯA", {"яa"}},
      {"x*", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Find(dir + c.pattern).names, c.names) << c.pattern;
  EXPECT_TRUE(Find(dir + "missing/*").names.empty());
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(SearchFolder, SaysASearchCutShortByANameItsRecordCannotHold) {
  char made[] = "/tmp/wavesplice-search-XXXXXX";
  ASSERT_NE(mkdtemp(made), nullptr);
  const std::string dir = std::string(made) + "/";
  for (const char* name : {"a.dat", "c.dat"}) std::ofstream(dir + name).put('x');
  std::vector<std::string> taken;
  const auto take = [&taken](const std::string& name, bool) { taken.push_back(name); };
  std::string err;
  EXPECT_TRUE(SearchFolder(dir + "*.dat", take, &err)) << err;
  // Too long for this file system, as for the record; the listing learns of
  // it as of a file the run created.
  NoteCreated(dir + "b" + std::string(kLongestName, 'x') + ".dat");
  const struct {
    const char* pattern;
    std::vector<std::string> taken;  // before the search failed
  } cases[] = {{"*.dat", {"a.dat"}}, {"b*", {}}};
  for (const auto& c : cases) {
    taken.clear();
    err.clear();
    EXPECT_FALSE(SearchFolder(dir + c.pattern, take, &err)) << c.pattern;
    EXPECT_EQ(err, std::strerror(ENAMETOOLONG)) << c.pattern;
    EXPECT_EQ(taken, c.taken) << c.pattern;
  }
  // The containers found before are still handled, and the run fails.
  taken.clear();
  EXPECT_FALSE(ForEachContainer(dir + "*.dat",
                                [&](const std::string&, const std::string& name, bool directory) {
                                  take(name, directory);
                                  return true;
                                }));
  EXPECT_EQ(taken, std::vector<std::string>{"a.dat"});
  std::system(("rm -rf '" + dir + "'").c_str());
}

// What the run itself does to a folder is seen by its later searches, as
// the system's own search would see it: each step through open_file.h.
TEST(SearchFolder, SeesWhatTheRunCreatesLinksRenamesAndRemoves) {
  char made[] = "/tmp/wavesplice-search-XXXXXX";
  ASSERT_NE(mkdtemp(made), nullptr);
  const std::string dir = std::string(made) + "/";
  std::ofstream(dir + "a.wav").put('x');
  EXPECT_EQ(Find(dir + "*.wav").names, std::vector<std::string>{"a.wav"});  // listed once
  std::string why;
  const struct {
    const char* step;
    std::function<bool()> take;
    std::vector<std::string> names;
  } steps[] = {
      {"create",
       [&] {
         std::FILE* file = nullptr;
         bool exists = false;
         return CreateNewFile(dir + "b.wav", &file, &exists, &why) && std::fclose(file) == 0;
       },
       {"a.wav", "b.wav"}},
      {"link",
       [&] { return LinkFile(dir + "a.wav", dir + "c.wav") == Linked::kDone; },
       {"a.wav", "b.wav", "c.wav"}},
      {"rename",
       [&] { return RenameNew(dir + "c.wav", dir + "d.wav", &why); },
       {"a.wav", "b.wav", "d.wav"}},
      {"rename over",
       [&] { return RenameOver(dir + "d.wav", dir + "b.wav", &why); },
       {"a.wav", "b.wav"}},
      {"remove", [&] { return RemoveFile(dir + "a.wav", &why); }, {"b.wav"}},
  };
  for (const auto& s : steps) {
    ASSERT_TRUE(s.take()) << s.step << ": " << why;
    EXPECT_EQ(Find(dir + "*.wav").names, s.names) << s.step;
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}
