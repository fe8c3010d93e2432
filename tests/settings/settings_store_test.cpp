#include "settings/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <optional>

#include "convert/utf.h"
#include "settings/channel_settings.h"
#include "support/temp_dir.h"

namespace {

std::u16string U(const std::string& s) { return Utf8ToUtf16(s); }

// The table as a run has it before the load: defaults and the header's names.
ChannelTable StartTable() {
  ChannelTable table;
  ApplyDefaults(table);
  TakeHeaderNames(table, u"\"Time\",\"Lambda\",\"Engine speed\",\"Boost\"", 4);
  return table;
}

struct SaveRun {
  ChannelTable table = StartTable();
  std::string written;  // the file after the save
  bool fileExists = false;
};

// Loads the file (when given) for a log of columnCount columns, then saves.
SaveRun LoadAndSave(const std::optional<std::string>& fileBytes, int32_t columnCount = 4) {
  TempDir dir;
  const std::string path = dir.File("quarn2dif.ini");
  if (fileBytes) WriteBytes(path, *fileBytes);
  SaveRun run;
  SettingsStore store;
  LoadChannelSettings(store, U(path), run.table, columnCount);
  const ChannelTable loaded = run.table;
  SaveChannelSettings(store, run.table, columnCount);
  run.table = loaded;
  run.fileExists = FileExists(path);
  run.written = ReadBytes(path);
  return run;
}

TEST(SettingsFile, FirstRunByteForByte) {
  const SaveRun run = LoadAndSave(std::nullopt);
  EXPECT_EQ(run.written, ReadBytes(TEST_DATA_DIR "/first_run.ini"));
  EXPECT_EQ(run.written.size(), 287u);
}

TEST(SettingsFile, EditedFileByteForByte) {
  const SaveRun run = LoadAndSave(ReadBytes(TEST_DATA_DIR "/edited_before.ini"));
  EXPECT_EQ(run.table[1].Name, u"Lambda 1");
  EXPECT_EQ(run.table[1].Color, 255);
  EXPECT_EQ(run.table[1].Unit, u"Lambda");
  EXPECT_EQ(run.table[2].Name, u"Engine speed");
  EXPECT_EQ(run.written, ReadBytes(TEST_DATA_DIR "/edited_after.ini"));
}

TEST(SettingsFile, EmptyFilesReadAsNoEntries) {
  const std::string firstRun = ReadBytes(TEST_DATA_DIR "/first_run.ini");
  EXPECT_EQ(LoadAndSave("").written, firstRun);
  EXPECT_EQ(LoadAndSave("\xEF\xBB\xBF").written, firstRun);
  EXPECT_EQ(LoadAndSave("\n\r\n  \t\n").written, firstRun);
}

enum class Field { Enabled, Name, Unit, Color };

struct SyntaxCase {
  const char* name;
  std::string file;
  Field field;
  std::u16string value;  // slot 1's field after the load
  std::string written;   // a stretch of the saved file
};

void PrintTo(const SyntaxCase& c, std::ostream* os) { *os << c.name; }

class SettingsSyntaxTest : public testing::TestWithParam<SyntaxCase> {};

TEST_P(SettingsSyntaxTest, ReadsAndWritesBack) {
  const SyntaxCase& c = GetParam();
  const SaveRun run = LoadAndSave(c.file);
  const Channel& slot = run.table[1];
  std::u16string value;
  switch (c.field) {
    case Field::Enabled: value = U(std::to_string(slot.Enabled)); break;
    case Field::Name: value = slot.Name; break;
    case Field::Unit: value = slot.Unit; break;
    case Field::Color: value = U(std::to_string(slot.Color)); break;
  }
  EXPECT_EQ(Utf16ToUtf8(value), Utf16ToUtf8(c.value));
  EXPECT_NE(run.written.find(c.written), std::string::npos) << testing::PrintToString(run.written);
  EXPECT_EQ(run.written.substr(0, 5), "\xEF\xBB\xBF\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsSyntaxTest,
    testing::Values(
        SyntaxCase{"CommentWithSpace", "; note\n[Channel1]\n", Field::Name, u"Lambda", "\r\n; note\r\n[Channel1]\r\n"},
        SyntaxCase{"CommentWithoutSpace", ";note\n;  two\n", Field::Name, u"Lambda", "; note\r\n;  two\r\n"},
        SyntaxCase{"SpacesInsideBrackets", "[ Channel1 ]\nName = X\n", Field::Name, u"Lambda",
                   "[ Channel1 ]\r\nName = X\r\n\r\n[Channel1]\r\nEnabled = 1\r\nName = Lambda\r\n"},
        SyntaxCase{"GroupAndKeyIgnoreCase", "[CHANNEL1]\nENABLED = 0\n", Field::Enabled, u"0",
                   "[CHANNEL1]\r\nEnabled = 0\r\nName = Lambda\r\n"},
        SyntaxCase{"KeyWithoutEquals", "[Channel1]\nUnit\n", Field::Unit, u"", "\r\nUnit = \r\n"},
        SyntaxCase{"EmptyValue", "[Channel1]\nUnit =\n", Field::Unit, u"", "\r\nUnit = \r\n"},
        SyntaxCase{"ValueTrimmed", "[Channel1]\nName =   Engine speed  \n", Field::Name, u"Engine speed",
                   "\r\nName = Engine speed\r\n"},
        SyntaxCase{"IntegerWithoutDigits", "[Channel1]\nEnabled = yes\n", Field::Enabled, u"0", "Enabled = 0\r\n"},
        SyntaxCase{"HashColour", "[Channel1]\nColor = #FF0000\n", Field::Color, u"0", "Color = 0\r\n"},
        SyntaxCase{"DigitsThenLetters", "[Channel1]\nColor = 255abc\n", Field::Color, u"255", "Color = 255\r\n"},
        SyntaxCase{"SignedInteger", "[Channel1]\nColor = -5\n", Field::Color, u"-5", "Color = -5\r\n"},
        SyntaxCase{"SignApart", "[Channel1]\nColor = - 5\n", Field::Color, u"0", "Color = 0\r\n"},
        SyntaxCase{"NoHex", "[Channel1]\nColor = 0x1F\n", Field::Color, u"0", "Color = 0\r\n"},
        SyntaxCase{"DuplicateGroups", "[Channel1]\nName = A\n[Channel1]\nName = B\n", Field::Name, u"A",
                   "[Channel1]\r\nName = A\r\nEnabled = 1\r\nUnit = Lambda\r\nColor = 14418139\r\nMin = 0.6\r\n"
                   "Max = 1.5\r\n\r\n[Channel1]\r\nName = B\r\n\r\n[Channel2]"},
        SyntaxCase{"DuplicateKeys", "[Channel1]\nName = A\nName = B\n", Field::Name, u"A",
                   "Name = A\r\nName = B\r\nEnabled = 1\r\n"},
        SyntaxCase{"CommentEndsAGroup", "[Channel1]\nName = A\n; end\n[Channel2]\n", Field::Name, u"A",
                   "Name = A\r\n; end\r\nEnabled = 1\r\n"},
        SyntaxCase{"CrLineEnds", "[Channel1]\rUnit = cr\r\r", Field::Unit, u"cr", "Unit = cr\r\n"},
        SyntaxCase{"CrLfLineEnds", "[Channel1]\r\nUnit\r\n", Field::Unit, u"", "Unit = \r\n"},
        SyntaxCase{"LatinOne", "[Channel1]\nUnit = \xB0" "C\n", Field::Unit, u"\u00B0C", "Unit = \xC2\xB0" "C\r\n"},
        SyntaxCase{"Utf8AfterMark", "\xEF\xBB\xBF[Channel1]\nUnit = \xC2\xB0" "C\n", Field::Unit, u"\u00B0C",
                   "Unit = \xC2\xB0" "C\r\n"},
        SyntaxCase{"SemicolonAndEqualsInValues", "[Channel1]\nName = a;b\nUnit = a=b\n", Field::Unit, u"a=b",
                   "Name = a;b\r\nUnit = a=b\r\n"},
        SyntaxCase{"OtherLinesKeepTheirPlaces", "A=1\n;x\n[x\n  [Channel9] after\n\tfoo\n=v\n", Field::Name,
                   u"Lambda", "\xEF\xBB\xBF\r\nA = 1\r\n; x\r\n[x]\r\n\r\n[Channel9]\r\nfoo = \r\n = v\r\n\r\n[Channel1]"}),
    [](const testing::TestParamInfo<SyntaxCase>& info) { return std::string(info.param.name); });

TEST(SettingsFile, ParseAndWriteAgree) {
  const std::vector<SettingsEntry> entries =
      ParseSettings("top = 1\n; c\n[G]\n k = v  \n=\n[H] x\n");
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[3].name, u"k");
  EXPECT_EQ(entries[3].value, u"v  ");  // trailing blanks stay in the stored value
  const std::string bytes = SettingsFileBytes(entries);
  EXPECT_EQ(bytes, "\xEF\xBB\xBF\r\ntop = 1\r\n; c\r\n[G]\r\nk = v  \r\n = \r\n\r\n[H]\r\n");
  EXPECT_EQ(SettingsFileBytes(ParseSettings(bytes)), bytes);
}

TEST(SettingsFile, NoDataColumnWritesNothing) {
  for (int32_t columns : {0, 1}) {
    const SaveRun missing = LoadAndSave(std::nullopt, columns);
    EXPECT_FALSE(missing.fileExists) << columns;
    const std::string old = "; untouched\n[Channel1]\nName=x";
    EXPECT_EQ(LoadAndSave(old, columns).written, old) << columns;
  }
  EXPECT_TRUE(LoadAndSave(std::nullopt, 2).fileExists);
}

TEST(SettingsFile, AFileHeldByAnotherCopyIsUsedAndKept) {
  TempDir dir;
  const std::string path = dir.File("quarn2dif.ini");
  const std::string old = "[Channel1]\nName=Held\n";
  WriteBytes(path, old);

  SettingsStore first;
  ChannelTable firstTable = StartTable();
  LoadChannelSettings(first, U(path), firstTable, 4);
  EXPECT_EQ(first.mode, SettingsMode::ReadWrite);

  SettingsStore second;  // a second copy of the program
  ChannelTable secondTable = StartTable();
  LoadChannelSettings(second, U(path), secondTable, 4);
  EXPECT_EQ(second.mode, SettingsMode::ReadOnly);
  EXPECT_EQ(secondTable[1].Name, u"Held");
  secondTable[1].Name = u"Second";
  EXPECT_TRUE(SaveChannelSettings(second, secondTable, 4));
  EXPECT_EQ(ReadBytes(path), old);

  firstTable[1].Name = u"First";
  EXPECT_TRUE(SaveChannelSettings(first, firstTable, 4));
  EXPECT_NE(ReadBytes(path).find("Name = First\r\n"), std::string::npos);
}

TEST(SettingsFile, ALockedFileIsUsedAndKept) {
  TempDir dir;
  const std::string path = dir.File("quarn2dif.ini");
  const std::string old = "[Channel1]\nName=Locked\n";
  WriteBytes(path, old);
  const int holder = open(path.c_str(), O_RDONLY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  SettingsStore store;
  ChannelTable table = StartTable();
  LoadChannelSettings(store, U(path), table, 4);
  EXPECT_EQ(table[1].Name, u"Locked");
  SaveChannelSettings(store, table, 4);
  close(holder);
  EXPECT_EQ(ReadBytes(path), old);
}

TEST(SettingsFile, AReadOnlyFileIsUsedAndKept) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  const std::string path = dir.File("quarn2dif.ini");
  const std::string old = "[Channel1]\nName=ReadOnly\n";
  WriteBytes(path, old);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  const int code = RunInChild([&] {
    if (!DropPrivileges()) return 20;
    SettingsStore store;
    ChannelTable table = StartTable();
    LoadChannelSettings(store, U(path), table, 4);
    if (store.mode != SettingsMode::ReadOnly) return 21;
    if (table[1].Name != u"ReadOnly") return 22;
    table[1].Name = u"Changed";
    SaveChannelSettings(store, table, 4);
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadBytes(path), old);
}

TEST(SettingsFile, AFailedSaveKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("quarn2dif.ini");
  const std::string old = "; the user's own settings\n[Channel1]\nName=Mine\n";
  WriteBytes(path, old);
  // A disk that fills up: no file may grow beyond 10 bytes.
  int code = RunInChild([&] {
    LimitFileSize(10);
    SettingsStore store;
    ChannelTable table = StartTable();
    LoadChannelSettings(store, U(path), table, 4);
    return SaveChannelSettings(store, table, 4) ? 30 : 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadBytes(path), old);

  // A folder that does not allow the temporary, beside a writable file.
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  code = RunInChild([&] {
    if (!DropPrivileges()) return 20;
    SettingsStore store;
    ChannelTable table = StartTable();
    LoadChannelSettings(store, U(path), table, 4);
    if (store.mode != SettingsMode::ReadWrite) return 21;
    return SaveChannelSettings(store, table, 4) ? 31 : 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadBytes(path), old);
  ASSERT_EQ(chmod(dir.path().c_str(), 0700), 0);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"quarn2dif.ini"});  // no temporary left
}

TEST(SettingsFile, SaveKeepsPermissionsAndFollowsALink) {
  TempDir dir;
  const std::string target = dir.File("real.ini");
  const std::string link = dir.File("quarn2dif.ini");
  WriteBytes(target, "[Channel1]\nName=Linked\n");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.ini", link.c_str()), 0);
  SettingsStore store;
  ChannelTable table = StartTable();
  LoadChannelSettings(store, U(link), table, 2);
  EXPECT_EQ(table[1].Name, u"Linked");
  ASSERT_TRUE(SaveChannelSettings(store, table, 2));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(ReadBytes(target).find("Name = Linked\r\nEnabled = 1"), std::string::npos);
}

TEST(SettingsFile, AFolderInItsPlaceIsAbsentAndStays) {
  TempDir dir;
  const std::string path = dir.File("quarn2dif.ini");
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
  SettingsStore store;
  ChannelTable table = StartTable();
  LoadChannelSettings(store, U(path), table, 4);
  EXPECT_EQ(store.mode, SettingsMode::Absent);
  EXPECT_FALSE(SaveChannelSettings(store, table, 4));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(SettingsFile, PathBesideTheProgram) {
  EXPECT_EQ(SettingsPath(u"/opt/tools/quarn2dif"), u"/opt/tools/quarn2dif.ini");
  EXPECT_EQ(SettingsPath(u"C:\\Tools\\logconv.exe"), u"C:\\Tools\\logconv.ini");
  const std::u16string self = ProgramPath();
  EXPECT_EQ(self.substr(self.rfind(u'/') + 1), u"settings_tests");
}

}  // namespace
