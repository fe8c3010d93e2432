#include "convert/log_reader.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "convert/utf.h"
#include "support/temp_dir.h"

namespace {

std::u16string Path(const std::string& p) { return Utf8ToUtf16(p); }

struct ReadResult {
  bool ok = false;
  LogData log;
  ChannelTable table;
  std::vector<std::u16string> rows;
};

ReadResult ReadBytesAsLog(const std::string& bytes) {
  TempDir dir;
  const std::string path = dir.File("log.csv");
  WriteBytes(path, bytes);
  ReadResult r;
  ApplyDefaults(r.table);
  r.ok = ReadLog(Path(path), r.log, r.table);
  for (size_t i = 0; i < r.log.LogRows.size(); ++i) r.rows.push_back(r.log.LogRows.Text(i));
  return r;
}

using Rows = std::vector<std::u16string>;

// A literal with its zero bytes.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

struct LineCase {
  const char* name;
  std::string bytes;
  int32_t columns;
  Rows rows;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LogLinesTest : public testing::TestWithParam<LineCase> {};

TEST_P(LogLinesTest, UsesEveryLineButTheLast) {
  const LineCase& c = GetParam();
  const ReadResult r = ReadBytesAsLog(c.bytes);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.log.ColumnCount, c.columns);
  EXPECT_EQ(r.rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogLinesTest,
    testing::Values(
        LineCase{"Empty", "", 0, {}},
        LineCase{"HeaderOnly", "\"Time\",\"RPM\"", 0, {}},
        LineCase{"HeaderOnlyWithLineEnd", "\"Time\",\"RPM\"\r\n", 0, {}},
        LineCase{"OneDataLine", "\"Time\",\"RPM\"\r\n1,2\r\n", 2, {}},
        LineCase{"ThreeLinesFinalCrLf", "\"T\",\"R\"\r\na\r\nb\r\nc\r\n", 2, {u"a", u"b"}},
        LineCase{"ThreeLinesNoFinalEnd", "\"T\",\"R\"\r\na\r\nb\r\nc", 2, {u"a", u"b"}},
        LineCase{"ExtraEmptyLine", "\"T\",\"R\"\r\na\r\nb\r\nc\r\n\r\n", 2, {u"a", u"b", u"c"}},
        LineCase{"LfEnds", "\"T\",\"R\"\na\nb\nc\n\n", 2, {u"a", u"b", u"c"}},
        LineCase{"LoneCrEnds", "\"T\",\"R\"\ra\rb\rc\r\r", 2, {u"a", u"b", u"c"}},
        LineCase{"MixedEnds", "\"T\",\"R\"\ra\nb\r\nc\n\r\n", 2, {u"a", u"b", u"c"}},
        LineCase{"CrCrIsAnEmptyLine", "\"T\",\"R\"\na\r\rb\nz", 2, {u"a", u"", u"b"}},
        LineCase{"LinesBeforeTheHeader", "junk\n\n \"Time\",\"x\"\n\"T\",\"A\",\"B\"\nr\nz", 3, {u"r"}},
        LineCase{"EmptyAndQuotedDataLines", "\"T\",\"A\"\n\n\"T\",\"B\"\nr\nz", 2,
                 {u"", u"\"T\",\"B\"", u"r"}},
        LineCase{"ZeroByteSplitsALine", Bytes("\"T\",\"A\"\na\0b\nz"), 2, {u"a", u"b"}},
        LineCase{"ZeroBytesAtTheEnd", Bytes("\"T\",\"A\"\na\0\0\0"), 2, {u"a", u""}},
        LineCase{"BomHidesAFirstLineHeader", "\xEF\xBB\xBF\"T\",\"A\"\n\"T\",\"A\",\"B\"\nr\nz", 3, {u"r"}},
        LineCase{"StrayBytesBecomeQuestionMarks", "\"T\",\"A\"\n\xB0\x80\xFF\xF8x\nz", 2, {u"????x"}},
        LineCase{"LeadByteTakesALineEnd", "\"T\",\"A\"\na\xC3\nb\nz", 2, {u"a\uFFFDb"}},
        LineCase{"ValidCharacters", "\"T\",\"A\"\n\xC2\xB0\xE2\x82\xAC\xF0\x9F\x98\x80\nz", 2,
                 {u"\u00B0\u20AC\U0001F600"}},
        LineCase{"CharacterCutByTheEnd", "\"T\",\"A\"\na\n\xE2\x82", 2, {u"a"}},
        LineCase{"CharacterCutAfterUsedLine", "\"T\",\"A\"\na\nb\xE2", 2, {u"a"}},
        LineCase{"SpaceSeparatedHeader", "\"Time\", \"RPM\"\na\nz", 1, {u"a"}}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(LogReader, HeaderRulesNameTheChannels) {
  struct Case {
    std::string header;
    int32_t columns;
    std::vector<std::u16string> names;
  };
  const Case cases[] = {
      {"\"Time\",\"AFR\",\"AFR\"", 3, {u"Lambda", u"AFR"}},
      {"\"Time\",\"AFR\",\"AFR\",\"AFR\"", 4, {u"AFR", u"AFR", u"AFR"}},
      {"\"Time\",\"AFR\",\"AFR2\"", 3, {u"Lambda", u"AFR2"}},
      {"\"Time\",\"RPM\",", 2, {u"RPM\","}},
      {"\"Time\",\"\xB0" "C\"", 2, {u"?C"}},
      {"\"T\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\"", 10,
       {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"}},
      // Columns after the tenth are ignored.
      {"\"T\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\"", 10,
       {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"}},
  };
  for (const Case& c : cases) {
    const ReadResult r = ReadBytesAsLog(c.header + "\r\n1\r\n2\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.log.ColumnCount, c.columns) << c.header;
    for (size_t k = 1; k <= c.names.size(); ++k) EXPECT_EQ(r.table[k].Name, c.names[k - 1]) << c.header;
    EXPECT_EQ(r.table[0].Name, u"Time");
  }
  const ReadResult afr = ReadBytesAsLog("\"Time\",\"AFR\",\"AFR\"\n1\n");
  EXPECT_EQ(afr.log.LogHeader, u"\"Time\",\"Lambda\",\"AFR\"");
  EXPECT_EQ(afr.table[1].Label, u"Lambda");
}

TEST(LogReader, AMissingHeaderLeavesTheDefaults) {
  const ReadResult r = ReadBytesAsLog("no header\nat all\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.log.ColumnCount, 0);
  EXPECT_TRUE(r.log.LogHeader.empty());
  EXPECT_TRUE(r.rows.empty());
  EXPECT_TRUE(r.table[1].Name.empty());
  EXPECT_EQ(r.table[1].Unit, u"Lambda");
}

TEST(LogReader, LinesCrossTheBuffer) {
  // Every kind of byte at every place around the ends of the 4096-byte blocks.
  const std::string pieces[] = {"x", "\xC2\xB0", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xB0", "\r\n", "\r", "\n"};
  const std::u16string texts[] = {u"x", u"\u00B0", u"\u20AC", u"\U0001F600", u"?", u"", u"", u""};
  for (size_t piece = 0; piece < std::size(pieces); ++piece) {
    for (size_t offset = 4080; offset < 4100; ++offset) {
      const std::string header = "\"T\",\"A\"\n";
      const std::string before(offset - header.size(), 'a');
      const ReadResult r = ReadBytesAsLog(header + before + pieces[piece] + "bb\nz");
      const std::u16string expected = std::u16string(before.size(), u'a') + texts[piece];
      const Rows rows = piece >= 5 ? Rows{expected, u"bb"} : Rows{expected + u"bb"};
      EXPECT_EQ(r.rows, rows) << "piece " << piece << " at " << offset;
    }
  }
}

TEST(LogReader, FilesThatCannotBeOpenedChangeNothing) {
  TempDir dir;
  const std::string fifo = dir.File("fifo.csv");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string locked = dir.File("locked.csv");
  WriteBytes(locked, "\"T\",\"A\"\n1\n2\n");
  const int holder = open(locked.c_str(), O_RDONLY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  // The lock must be another open file's, as another program's would be.
  for (const std::string& path : {dir.File("missing.csv"), dir.path(), fifo, locked}) {
    LogData log;
    ChannelTable table;
    ApplyDefaults(table);
    EXPECT_FALSE(ReadLog(Path(path), log, table)) << path;
    EXPECT_EQ(log.ColumnCount, 0);
    EXPECT_TRUE(table[1].Name.empty());
  }
  close(holder);
  LogData log;
  ChannelTable table;
  EXPECT_TRUE(ReadLog(Path(locked), log, table));
  EXPECT_EQ(log.LogRows.size(), 1u);
}

}  // namespace
