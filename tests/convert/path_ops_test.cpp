#include "convert/path_ops.h"

#include <gtest/gtest.h>

#include "convert/utf.h"

namespace {

struct PathCase {
  std::u16string path;
  std::u16string directory;
  std::u16string stem;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << Utf16ToUtf8(c.path); }

class PathOpsTest : public testing::TestWithParam<PathCase> {};

TEST_P(PathOpsTest, SplitsFolderAndStem) {
  EXPECT_EQ(DirectoryOf(GetParam().path), GetParam().directory);
  EXPECT_EQ(StemOf(GetParam().path), GetParam().stem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathOpsTest,
    testing::Values(PathCase{u"/data/logs/run 1.csv", u"/data/logs/", u"run 1"},
                    PathCase{u"/d/data.day1.csv", u"/d/", u"data.day1"},
                    PathCase{u"/d/run", u"/d/", u"run"}, PathCase{u"/d/.csv", u"/d/", u".csv"},
                    PathCase{u"/d/run.", u"/d/", u"run."},
                    PathCase{u"/d/run.old copy", u"/d/", u"run.old copy"},
                    PathCase{u"run.csv", u"", u"run"},
                    PathCase{u"C:\\Tools\\logconv.exe", u"C:\\Tools\\", u"logconv"},
                    PathCase{u"/a\\b/c.csv", u"/a\\b/", u"c"},
                    // "|" and the double quote are ordinary characters of POSIX names.
                    PathCase{u"/d/a|b/x.csv", u"/d/a|b/", u"x"},
                    PathCase{u"\"/d/q\"uote.csv", u"\"/d/", u"q\"uote"},
                    PathCase{u"/d/pipe|name.csv", u"/d/", u"pipe|name"}));

}  // namespace
