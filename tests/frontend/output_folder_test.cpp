#include <gtest/gtest.h>

#include "frontend/output_folder.h"

TEST(OutputFolderFromChoice, TrailingSlashRootAndCancel) {
  struct Case {
    const char* chosen;
    const char* expected;
  };
  const Case cases[] = {
      {"/home/u/Photos", "/home/u/Photos/"},
      {"/home/u/Photos/", "/home/u/Photos/"},
      {"/", "/"},
      {"//srv//pictures", "/srv/pictures/"},
      {"/a b/c'd", "/a b/c'd/"},
      {"", "/old/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(quorvel::OutputFolderFromChoice(c.chosen, "/old/"), c.expected) << c.chosen;
  }
}
