// quarn2dif-batch against the window's "Convert", and its messages.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include "app/stage_driver.h"
#include "convert/utf.h"
#include "window_harness.h"

namespace {

struct Output {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs the batch converter with args, as root or as an unprivileged user.
Output RunBatch(const std::vector<std::string>& args, bool asUser = false) {
  TempDir capture;
  const std::string outFile = capture.File("out");
  const std::string errFile = capture.File("err");
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (asUser && !DropPrivileges()) _exit(99);
    std::vector<char*> argv{const_cast<char*>(BATCH_PROGRAM)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(BATCH_PROGRAM, argv.data());
    _exit(98);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  Output o;
  o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  o.out = ReadBytes(outFile);
  o.err = ReadBytes(errFile);
  return o;
}

const std::string kSettings =
    "; edited by hand\n[Channel1]\nName = Air fuel\nUnit = AFR\nColor = 255\n[Channel2]\nEnabled = 0\n"
    "[Channel3]\nName = Boost-Pressure 2\nMax = 3\n";

TEST(BatchConverter, WritesWhatTheWindowsConvertWrites) {
  DialogScope dialogs;
  TempDir windowDir;
  TempDir batchDir;
  const std::vector<std::string> columns = {"Lambda", "RPM", "MAP", "EGT"};
  const std::string windowLog = WriteLog(windowDir, "day 1.csv", columns, 70000);  // two files
  const std::string batchLog = WriteLog(batchDir, "day 1.csv", columns, 70000);
  WriteBytes(windowDir.File("quarn2dif.ini"), kSettings);
  WriteBytes(batchDir.File("settings.ini"), kSettings);

  Frontend frontend;
  frontend.chooseLog = [&] { return Utf8ToUtf16(windowLog); };
  frontend.runWindow = [](ProgramState& state) {
    SettingsWindow window(state);
    QTimer::singleShot(0, &window, [&window] { QTest::mouseClick(window.convertButton(), Qt::LeftButton); });
    window.RunUntilClosed();
    return true;
  };
  RunStages(frontend, Utf8ToUtf16(windowDir.File("quarn2dif.ini")));

  const Output batch = RunBatch({"--settings", batchDir.File("settings.ini"), batchLog});
  EXPECT_EQ(batch.code, 0) << batch.err;
  EXPECT_EQ(batch.out, batchDir.File("day 1_01.dif") + "\n" + batchDir.File("day 1_02.dif") + "\n");
  for (const char* name : {"day 1_01.dif", "day 1_02.dif"}) {
    const std::string fromWindow = ReadBytes(windowDir.File(name));
    EXPECT_FALSE(fromWindow.empty());
    EXPECT_TRUE(fromWindow == ReadBytes(batchDir.File(name))) << name;
  }
  EXPECT_NE(ReadBytes(batchDir.File("day 1_01.dif")).find("\"Air_fuel (AFR)\""), std::string::npos);
  EXPECT_EQ(ReadBytes(batchDir.File("settings.ini")), kSettings);  // never written
}

TEST(BatchConverter, GoesOnAfterALogThatCannotBeRead) {
  TempDir dir;
  const std::string good = WriteLog(dir, "good.csv", {"A"}, 2);
  WriteBytes(dir.File("headless.csv"), "no header\n1\n2\n");
  const Output o = RunBatch({"--settings", dir.File("none.ini"), dir.File("missing.csv"), dir.File("headless.csv"), good});
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.err, "quarn2dif-batch: " + dir.File("missing.csv") + ": cannot be read: No such file or directory\n");
  EXPECT_EQ(o.out, dir.File("headless.dif") + "\n" + dir.File("good.dif") + "\n");
  EXPECT_NE(ReadBytes(dir.File("headless.dif")).find("TUPLES\r\n0,1\r\n"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("none.ini")));
}

TEST(BatchConverter, ReportsAnOutputFolderItCannotWrite) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);  // readable, not writable, for the user
  const std::string log = WriteLog(dir, "ro.csv", {"A"}, 2);
  const Output o = RunBatch({"--settings", dir.File("none.ini"), log}, true);
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "quarn2dif-batch: " + dir.File("ro.dif") + ": cannot be written: Permission denied\n");
  EXPECT_FALSE(FileExists(dir.File("ro.dif")));
}

TEST(BatchConverter, HelpVersionAndUsage) {
  const Output help = RunBatch({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("Usage: quarn2dif-batch [--settings FILE] LOG...", 0), 0u);
  const Output version = RunBatch({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, "quarn2dif-batch 0.71\n");
  const Output none = RunBatch({});
  EXPECT_EQ(none.code, 2);
  EXPECT_NE(none.err.find("no log given"), std::string::npos);
  EXPECT_EQ(RunBatch({"--bogus", "x.csv"}).code, 2);
}

}  // namespace
