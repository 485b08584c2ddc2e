#include "platform/path.h"

#include <gtest/gtest.h>

TEST(PathIn, PutsASeparatorOnlyWhereTheFolderLacksOne) {
  const struct {
    const char* folder;
    const char* name;
    const char* path;
  } cases[] = {
      {"", "bank.dat", "bank.dat"},  // the current folder, as a pattern without one gives it
      {"old/", "bank.dat", "old/bank.dat"},
      {"old", "bank.dat", "old/bank.dat"},
      {"a/old", "bank.dat*", "a/old/bank.dat*"},
      {"old", "", "old/"},  // the folder as a prefix
      {"/", "bank.dat", "/bank.dat"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PathIn(c.folder, c.name), c.path) << c.folder << " + " << c.name;
  }
}
