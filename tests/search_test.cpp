#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/find.h"
#include "platform/wildcard.h"

TEST(MatchesPattern, KnowsOnlyStarAndQuestionMarkAndIgnoresAsciiCase) {
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
      {"x[1]*", "X[1]y", true},
      {"x[1]*", "x1", false},
      {"a\\b", "A\\B", true},
      {"a\\b", "a/b", false},
      {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
      {"\xe4*", "\xc4x", false},
      {"s_*.wav", "s_00000040.WAV", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesPattern(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
  }
}

TEST(FindFirstFileA, ListsMatchesDotsFirstThenByUpperCasedName) {
  char made[] = "/tmp/wavesplice-search-XXXXXX";
  ASSERT_NE(mkdtemp(made), nullptr);
  const std::string dir = made;
  for (const char* name : {"b", "A_x", "a", "[c]", "_", "B.dat"}) std::ofstream(dir + "/" + name);
  mkdir((dir + "/sub").c_str(), 0755);

  std::vector<std::string> names;
  std::vector<std::string> dirs;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "/*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    names.push_back(found.cFileName);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) dirs.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  // '[' and '_' sort after the upper-cased letters, as on Windows.
  EXPECT_EQ(names,
            (std::vector<std::string>{".", "..", "a", "A_x", "b", "B.dat", "sub", "[c]", "_"}));
  EXPECT_EQ(dirs, (std::vector<std::string>{".", "..", "sub"}));

  EXPECT_EQ(FindFirstFileA((dir + "/*.txt").c_str(), &found), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileA((dir + "/missing/*").c_str(), &found), INVALID_HANDLE_VALUE);
  std::system(("rm -rf '" + dir + "'").c_str());
}
