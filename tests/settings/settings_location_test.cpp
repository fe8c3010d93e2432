#include "settings/settings_location.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "convert/utf.h"
#include "settings/channel_settings.h"
#include "support/temp_dir.h"

namespace {

std::u16string U(const std::string& s) { return Utf8ToUtf16(s); }

// Runs body as an unprivileged user, for whom permission bits count.
int AsUser(const std::function<int()>& body) {
  return RunInChild([&] { return DropPrivileges() ? body() : 20; });
}

TEST(SettingsLocation, BesideAPortableProgram) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  const std::string program = dir.File("quarn2dif");
  EXPECT_EQ(AsUser([&] { return ChooseSettingsPath(U(program)) == U(program + ".ini") ? 0 : 1; }), 0);
}

TEST(SettingsLocation, InTheUserFolderForAnInstalledProgram) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  const std::string installed = dir.File("usr-bin");
  ASSERT_EQ(mkdir(installed.c_str(), 0755), 0);  // root's, not the user's
  const std::string program = installed + "/quarn2dif";
  const std::string config = dir.File("config");
  ASSERT_EQ(mkdir(config.c_str(), 0700), 0);
  ASSERT_EQ(chmod(config.c_str(), 0777), 0);  // the user's own, in effect

  const int code = AsUser([&] {
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::u16string path = ChooseSettingsPath(U(program));
    if (path != U(config + "/quarn2dif/quarn2dif.ini")) return 1;
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/someone", 1);
    if (ChooseSettingsPath(U(program)) != u"/home/someone/.config/quarn2dif/quarn2dif.ini") return 2;
    setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    if (ChooseSettingsPath(U(program)) != u"/home/someone/.config/quarn2dif/quarn2dif.ini") return 4;
    // The first save creates the folder, private to the user.
    SettingsStore store;
    ChannelTable table;
    ApplyDefaults(table);
    TakeHeaderNames(table, u"\"Time\",\"Lambda\",\"Engine speed\",\"Boost\"", 4);
    LoadChannelSettings(store, path, table, 4);
    return SaveChannelSettings(store, table, 4) ? 0 : 3;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadBytes(config + "/quarn2dif/quarn2dif.ini"), ReadBytes(TEST_DATA_DIR "/first_run.ini"));
  struct stat st {};
  ASSERT_EQ(stat((config + "/quarn2dif").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(SettingsLocation, AFileBesideTheProgramIsUsedWhereverItIs) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  const std::string installed = dir.File("opt");
  ASSERT_EQ(mkdir(installed.c_str(), 0755), 0);
  const std::string program = installed + "/quarn2dif";
  WriteBytes(program + ".ini", "[Channel1]\nName=Portable\n");
  EXPECT_EQ(AsUser([&] {
              setenv("XDG_CONFIG_HOME", "/nonexistent", 1);
              return ChooseSettingsPath(U(program)) == U(program + ".ini") ? 0 : 1;
            }),
            0);
}

}  // namespace
