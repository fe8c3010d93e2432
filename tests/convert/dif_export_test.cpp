#include "convert/dif_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "convert/utf.h"
#include "support/temp_dir.h"

namespace {

std::u16string U(const std::string& s) { return Utf8ToUtf16(s); }

struct Export {
  ChannelTable table;
  int32_t columnCount = 0;
  RowList rows;
  std::vector<int32_t> progress;

  Export() { ApplyDefaults(table); }

  // The Convert handler's part: labels from names, the width from the boxes.
  ExportResult Run(const std::string& logPath) {
    DeriveLabels(table, columnCount);
    int32_t width = 1;
    for (int32_t k = 1; k < columnCount; ++k) width += table[k].Enabled != 0 ? 1 : 0;
    return DifExport(U(logPath), rows, columnCount, table, width,
                     [this](int32_t n) { progress.push_back(n); });
  }
};

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The cells of tuple n (0 = the first after the header), as their two lines joined by "|".
std::vector<std::string> Tuple(const std::vector<std::string>& lines, size_t n) {
  size_t i = 12;
  for (size_t t = 0; t < n; ++t) {
    i += 2;
    while (i < lines.size() && lines[i] != "-1,0") i += 2;
  }
  std::vector<std::string> cells;
  for (i += 2; i + 1 < lines.size() && lines[i] != "-1,0"; i += 2) cells.push_back(lines[i] + "|" + lines[i + 1]);
  return cells;
}

size_t DataTuples(const std::vector<std::string>& lines) {
  size_t bots = 0;
  for (const std::string& l : lines) bots += l == "BOT" ? 1 : 0;
  return bots - 13;
}

TEST(DifExport, WorkedExampleByteForByte) {
  TempDir dir;
  Export e;
  e.columnCount = 3;
  e.table[1].Name = u"Lambda";
  e.table[2].Name = u"Engine speed";
  e.rows.Append(u"12:00:00.250,0.98,850");
  e.rows.Append(u"12:00:01.750,1.02,900");
  WriteBytes(dir.File("run 1.dif"), "old content");  // an existing file is replaced
  const ExportResult result = e.Run(dir.File("run 1.csv"));
  ASSERT_TRUE(result.Ok);
  EXPECT_EQ(result.Written, std::vector<std::u16string>{U(dir.File("run 1.dif"))});
  EXPECT_EQ(Lines(ReadBytes(dir.File("run 1.dif"))), Lines(ReadBytes(TEST_DATA_DIR "/run 1.dif")));
  EXPECT_TRUE(ReadBytes(dir.File("run 1.dif")) == ReadBytes(TEST_DATA_DIR "/run 1.dif"));
  EXPECT_EQ(e.progress, std::vector<int32_t>{2});
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"run 1.dif"});  // no temporary left
}

TEST(DifExport, SplitsIntoFilesOf65536Rows) {
  struct Case {
    size_t rows;
    std::vector<std::string> files;
    std::vector<size_t> tuples;
  };
  const Case cases[] = {
      {0, {"log.dif"}, {0}},
      {1, {"log.dif"}, {1}},
      {65536, {"log.dif"}, {65536}},
      {65537, {"log_01.dif", "log_02.dif"}, {65536, 1}},
      {131073, {"log_01.dif", "log_02.dif", "log_03.dif"}, {65536, 65536, 1}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    Export e;
    e.columnCount = 2;
    e.table[1].Name = u"RPM";
    for (size_t r = 0; r < c.rows; ++r) {
      const size_t ms = 1000 + r * 10;  // ten milliseconds a row from 00:00:01
      const std::string t = "00:" + std::string(ms / 60000 < 10 ? "0" : "") + std::to_string(ms / 60000) +
                            ":" + (ms / 1000 % 60 < 10 ? "0" : "") + std::to_string(ms / 1000 % 60) + "." +
                            std::to_string(1000 + ms % 1000).substr(1);
      e.rows.Append(U(t + "," + std::to_string(r)));
    }
    ASSERT_TRUE(e.Run(dir.File("log.csv")).Ok);
    EXPECT_EQ(FolderEntries(dir.path()), c.files) << c.rows;
    for (size_t f = 0; f < c.files.size(); ++f) {
      const auto lines = Lines(ReadBytes(dir.File(c.files[f])));
      EXPECT_EQ(lines[4], "0," + std::to_string(c.tuples[f] + 12)) << c.files[f];
      EXPECT_EQ(DataTuples(lines), c.tuples[f]) << c.files[f];
      EXPECT_EQ(lines[lines.size() - 2], "-1,0");
      EXPECT_EQ(lines.back(), "EOD");
      if (c.tuples[f] > 0) {
        EXPECT_EQ(Tuple(lines, 13)[0], "0,0.000|V") << "every file counts from its first row";
        EXPECT_EQ(Tuple(lines, 13)[1], "0," + std::to_string(f * 65536) + "|V") << "rows in log order";
      }
      if (c.tuples[f] > 1) {
        EXPECT_EQ(Tuple(lines, 14)[0], "0,0.010|V");
      }
    }
    ASSERT_FALSE(e.progress.empty());
    EXPECT_EQ(e.progress.back(), static_cast<int32_t>(c.rows));
    size_t hundreds = 0;
    for (int32_t p : e.progress) hundreds += p % 100 == 0 && p != 0 ? 1 : 0;
    EXPECT_GE(hundreds, c.rows / 100);
    EXPECT_EQ(e.progress.size(), c.rows / 100 + c.files.size()) << c.rows;
  }
}

TEST(DifExport, DisabledChannelsLeaveGaps) {
  TempDir dir;
  Export e;
  e.columnCount = 4;
  e.table[2].Enabled = 0;
  e.rows.Append(u"00:00:00.000,a,b,c");
  ASSERT_TRUE(e.Run(dir.File("g.csv")).Ok);
  const auto lines = Lines(ReadBytes(dir.File("g.dif")));
  EXPECT_EQ(lines[7], "0,3");
  EXPECT_EQ(lines[8], "\"122" + std::string(94, '0') + "\"");
  EXPECT_EQ(Tuple(lines, 2), (std::vector<std::string>{"1,0|\"From device:\"", "1,0|\"Quarn (Channel 1:0)\"",
                                                      "1,0|\"Quarn (Channel 1:2)\""}));
  EXPECT_EQ(Tuple(lines, 13), (std::vector<std::string>{"0,0.000|V", "0,a|V", "0,c|V"}));
}

TEST(DifExport, NoDataChannelEnabled) {
  TempDir dir;
  Export e;
  e.columnCount = 3;
  e.table[1].Enabled = 0;
  e.table[2].Enabled = 0;
  e.rows.Append(u"00:00:01.000,1,2");
  ASSERT_TRUE(e.Run(dir.File("n.csv")).Ok);
  const auto lines = Lines(ReadBytes(dir.File("n.dif")));
  EXPECT_EQ(lines[7], "0,1");
  EXPECT_EQ(lines[8], "\"1" + std::string(96, '0') + "\"");
  EXPECT_EQ(Tuple(lines, 0), std::vector<std::string>{"1,0|\"Input Description\""});
  EXPECT_EQ(Tuple(lines, 1), (std::vector<std::string>{"1,0|\"Stochiometric:\"", "0,0.000000|V"}));
  for (size_t t = 2; t < 12; ++t) EXPECT_EQ(Tuple(lines, t).size(), 1u) << t;
  EXPECT_EQ(Tuple(lines, 12), std::vector<std::string>{"1,0|\"Time(sec)\""});
  EXPECT_EQ(Tuple(lines, 13), std::vector<std::string>{"0,0.000|V"});
}

TEST(DifExport, WithoutAHeaderTheTitleTupleIsEmpty) {
  TempDir dir;
  Export e;
  ASSERT_TRUE(e.Run(dir.File("h.csv")).Ok);
  const auto lines = Lines(ReadBytes(dir.File("h.dif")));
  EXPECT_EQ(lines[4], "0,12");
  EXPECT_EQ(lines[7], "0,1");
  EXPECT_TRUE(Tuple(lines, 12).empty());
  EXPECT_EQ(DataTuples(lines), 0u);
  EXPECT_EQ(lines.size(), 12u + 12 * 4 + 2 + 2 + 2);  // labels, "0.000000", the title start, EOD
  EXPECT_EQ(e.progress, std::vector<int32_t>{0});
}

TEST(DifExport, SampleRangeAndTitles) {
  TempDir dir;
  Export e;
  e.columnCount = 8;
  const char16_t* maxes[] = {u"9", u"-3", u"10", u"9.99", u"abc", u"10000", u"$FF"};
  for (int k = 1; k <= 7; ++k) e.table[k].Max = maxes[k - 1];
  e.table[1].Name = u"Lambda";  // label equal to unit
  e.table[2].Name = u"X";
  e.table[2].Unit = u"";
  e.table[3].Name = u"";
  e.table[3].Unit = u"";
  e.table[4].Name = u"Say \"hi\"";
  e.table[4].Min = u"not a number";
  e.rows.Append(u"00:00:00.000");
  ASSERT_TRUE(e.Run(dir.File("s.csv")).Ok);
  const auto lines = Lines(ReadBytes(dir.File("s.dif")));
  EXPECT_EQ(Tuple(lines, 8), (std::vector<std::string>{"1,0|\"equiv(Sample):\"", "0,1024|V", "0,1024|V",
                                                      "0,4096|V", "0,1024|V", "0,1024|V", "0,4096|V",
                                                      "0,4096|V"}));
  const auto titles = Tuple(lines, 12);
  EXPECT_EQ(titles[1], "1,0|\"Lambda\"");
  EXPECT_EQ(titles[2], "1,0|\"X ()\"");
  EXPECT_EQ(titles[3], "1,0|\"\"");
  EXPECT_EQ(titles[4], "1,0|\"Say_\"hi\" (degC)\"");  // quotes are written as they stand
  EXPECT_EQ(Tuple(lines, 5)[4], "0,not a number|V");
  // Cells beyond the end of a row are empty number cells.
  EXPECT_EQ(Tuple(lines, 13)[7], "0,|V");
}

TEST(DifExport, TimeConversion) {
  struct Case {
    std::vector<std::u16string> rows;
    std::vector<std::string> cells;  // cell 0 of each row, or cell 1 when given a data column
    int column;
  };
  const Case cases[] = {
      {{u"23:59:59.900,1", u"00:00:00.100,2"}, {"0,0.000", "0,-86399.800"}, 0},
      {{u"12:00:00.250,x", u"12:00:00.250,12:00:01.000"}, {"0,x", "0,0.750"}, 1},
      {{u"12:00:00.250,x", u"12:00:00.250,a:b"}, {"0,x", "0,-43201.250"}, 1},  // -1 s and 0 ms
      {{u"12:00:00,1", u"12:00:01,2"}, {"0,0.000", "0,1.000"}, 0},        // ",1" as milliseconds
      {{u"garbage,1", u"12:00:00.000,2"}, {"0,garbage", "0,43201.000"}, 0},  // a start of -1 s
      // Non-ASCII characters where the time's pieces are read.
      {{u"\u00B012:00:00.500,1", u"1\u00B0:00:00.500,1"}, {"0,0.000", "0,0.000"}, 0},
      {{u"12:00:00.000,1", u"12:00:01.5\u00B00,1"}, {"0,0.000", "0,1.005"}, 0},
  };
  for (const Case& c : cases) {
    TempDir dir;
    Export e;
    e.columnCount = 2;
    for (const auto& r : c.rows) e.rows.Append(r);
    ASSERT_TRUE(e.Run(dir.File("t.csv")).Ok);
    const auto lines = Lines(ReadBytes(dir.File("t.dif")));
    for (size_t r = 0; r < c.rows.size(); ++r) {
      EXPECT_EQ(Tuple(lines, 13 + r)[static_cast<size_t>(c.column)], c.cells[r] + "|V")
          << Utf16ToUtf8(c.rows[r]);
    }
  }
}

TEST(DifExport, OutputLandsBesideTheLogUnderItsOwnName) {
  TempDir dir;
  const std::string folder = dir.File("a|b \"c");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  Export e;
  const ExportResult result = e.Run(folder + "/\"quoted|name\".csv");
  ASSERT_TRUE(result.Ok);
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"\"quoted|name\".dif"});
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"a|b \"c"});
}

TEST(DifExport, FileNumbersGrowPast99) {
  const auto names = ExportFileNames(u"/d/x.csv", 99 * 65536 + 1);
  ASSERT_EQ(names.size(), 100u);
  EXPECT_EQ(names[0], u"/d/x_01.dif");
  EXPECT_EQ(names[98], u"/d/x_99.dif");
  EXPECT_EQ(names[99], u"/d/x_100.dif");

  TempDir dir;
  Export e;  // no header: rows are counted, no cells written
  for (size_t r = 0; r < 99 * 65536 + 1; ++r) e.rows.ends.push_back(0);
  ASSERT_TRUE(e.Run(dir.File("x.csv")).Ok);
  const auto entries = FolderEntries(dir.path());
  ASSERT_EQ(entries.size(), 100u);
  EXPECT_EQ(Lines(ReadBytes(dir.File("x_100.dif")))[4], "0,13");
  EXPECT_EQ(Lines(ReadBytes(dir.File("x_10.dif")))[4], "0,65548");
}

TEST(DifExport, AFailedWriteKeepsTheOldFileAndIsReported) {
  TempDir dir;
  const std::string old = "an older export, which must survive\r\n";
  WriteBytes(dir.File("f_02.dif"), old);
  const int code = RunInChild([&] {
    Export e;
    e.columnCount = 2;
    for (int r = 0; r < 65536; ++r) e.rows.Append(u"00:00:00.000,1.25");
    // The first file fits under the limit; the second, with its long cells, does not.
    for (int r = 0; r < 3000; ++r) e.rows.Append(u"00:00:00.000," + std::u16string(1000, u'7'));
    LimitFileSize(2'500'000);
    const ExportResult result = e.Run(dir.File("f.csv"));
    if (result.Ok) return 10;
    if (result.FailedFile != U(dir.File("f_02.dif"))) return 11;
    if (result.Reason.empty()) return 12;
    if (result.Written != std::vector<std::u16string>{U(dir.File("f_01.dif"))}) return 13;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(ReadBytes(dir.File("f_02.dif")) == old);
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"f_01.dif", "f_02.dif"}));
  EXPECT_EQ(DataTuples(Lines(ReadBytes(dir.File("f_01.dif")))), 65536u);
}

TEST(DifExport, AFolderThatRefusesTheFileStopsTheExport) {
  TempDir dir;
  const std::string folder = dir.File("ro");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  WriteBytes(folder + "/r.dif", "kept");
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  const int code = RunInChild([&] {
    if (!DropPrivileges()) return 20;
    Export e;
    const ExportResult result = e.Run(folder + "/r.csv");
    return !result.Ok && result.Written.empty() && !result.Reason.empty() ? 0 : 21;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadBytes(folder + "/r.dif"), "kept");
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"r.dif"});
}

}  // namespace
