#include "ui/file_util.h"

#include <gtest/gtest.h>

TEST(FileUtil, DirPlusFileJoinsWithOneSeparator) {
    char out[MAX_PATH];
    EXPECT_STREQ("C:\\dir\\a.txt", DirPlusFile(out, sizeof out, "C:\\dir", "a.txt"));
}
