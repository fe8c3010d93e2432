#include <gtest/gtest.h>

#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QTimer>

#include "app/stage_driver.h"
#include "convert/utf.h"
#include "ui/color_swatch.h"
#include "window_harness.h"

namespace {

// One start of the program with the real window; act runs inside its event
// loop, as a user would.
struct ProgramRun {
  DialogScope dialogs;
  TempDir dir;
  std::string settings = dir.File("quarn2dif.ini");
  bool windowShown = false;

  int Start(const std::u16string& chosen, const std::function<void(SettingsWindow&)>& act,
            bool windowCreated = true) {
    Frontend frontend;
    frontend.chooseLog = [&] { return chosen; };
    frontend.runWindow = [&](ProgramState& state) {
      if (!windowCreated) return false;
      windowShown = true;
      SettingsWindow window(state);
      QTimer::singleShot(0, &window, [&] { act(window); });
      window.RunUntilClosed();
      EXPECT_TRUE(window.isVisible());  // a close does not take it off the screen
      return true;
    };
    return RunStages(frontend, Utf8ToUtf16(settings));
  }
  std::u16string Log() const {
    return Utf8ToUtf16(WriteLog(dir, "run 1.csv", {"Lambda", "Engine speed", "Boost"}, 2));
  }
};

template <typename T>
T* Find(SettingsWindow& w, int id) {
  return dynamic_cast<T*>(w.Control(id));
}

void CloseNow(SettingsWindow& w) { w.close(); }

TEST(ProgramRun, CancelAndAMissingLogTouchNoSettings) {
  for (const bool existing : {false, true}) {
    for (const bool cancel : {true, false}) {
      ProgramRun run;
      if (existing) WriteBytes(run.settings, "[Channel1]\nName=x");
      const std::u16string chosen = cancel ? u"" : Utf8ToUtf16(run.dir.File("missing.csv"));
      EXPECT_EQ(run.Start(chosen, CloseNow), 0);
      EXPECT_FALSE(run.windowShown);
      EXPECT_EQ(FileExists(run.settings), existing);
      if (existing) {
        EXPECT_EQ(ReadBytes(run.settings), "[Channel1]\nName=x");
      }
    }
  }
}

TEST(ProgramRun, ALogThatCannotBeReadEndsTheRunAsAMissingOne) {
  for (const std::string kind : {"folder", "fifo", "locked", "removed after the choice"}) {
    ProgramRun run;
    const std::string path = run.dir.File("log.csv");
    int holder = -1;
    if (kind == "folder") mkdir(path.c_str(), 0700);
    if (kind == "fifo") mkfifo(path.c_str(), 0600);
    if (kind == "locked") {
      WriteBytes(path, "\"Time\",\"A\"\n1\n2\n");
      holder = open(path.c_str(), O_RDONLY);
      flock(holder, LOCK_EX);
    }
    Frontend frontend;
    frontend.chooseLog = [&] {
      if (kind == "removed after the choice") {
        WriteBytes(path, "\"Time\",\"A\"\n1\n2\n");
        unlink(path.c_str());
      }
      return Utf8ToUtf16(path);
    };
    frontend.runWindow = [&](ProgramState&) {
      run.windowShown = true;
      return true;
    };
    EXPECT_EQ(RunStages(frontend, Utf8ToUtf16(run.settings)), 0) << kind;
    EXPECT_FALSE(run.windowShown) << kind;
    EXPECT_FALSE(FileExists(run.settings)) << kind;
    if (holder >= 0) close(holder);
  }
}

TEST(ProgramRun, ClosingAtOnceWritesTheValuesAsLoaded) {
  ProgramRun run;
  EXPECT_EQ(run.Start(run.Log(), CloseNow), 0);
  EXPECT_TRUE(run.windowShown);
  EXPECT_EQ(ReadBytes(run.settings), ReadBytes(TEST_DATA_DIR "/first_run.ini"));
  EXPECT_FALSE(FileExists(run.dir.File("run 1.dif")));
}

TEST(ProgramRun, WithoutAWindowTheSettingsAreStillWritten) {
  ProgramRun run;
  EXPECT_EQ(run.Start(run.Log(), CloseNow, false), 0);
  EXPECT_EQ(ReadBytes(run.settings), ReadBytes(TEST_DATA_DIR "/first_run.ini"));
}

TEST(ProgramRun, ClosingKeepsClicksAndDropsTypedTexts) {
  ProgramRun run;
  ActiveDialogs().pickColor = [](QWidget*, int32_t) { return 255; };
  run.Start(run.Log(), [](SettingsWindow& w) {
    QTest::mouseClick(Find<QCheckBox>(w, 102), Qt::LeftButton);
    QTest::mouseClick(Find<ColorSwatch>(w, 131), Qt::LeftButton, {}, QPoint(5, 5));
    Find<QLineEdit>(w, 113)->setText(QStringLiteral("typed"));
    w.close();
  });
  const std::string ini = ReadBytes(run.settings);
  EXPECT_NE(ini.find("[Channel1]\r\nEnabled = 1\r\nName = Lambda\r\nUnit = Lambda\r\nColor = 255\r\n"),
            std::string::npos);
  EXPECT_NE(ini.find("[Channel2]\r\nEnabled = 0\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Name = Boost\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("typed"), std::string::npos);
}

TEST(ProgramRun, ConvertExportsSavesAndEnds) {
  ProgramRun run;
  run.Start(run.Log(), [](SettingsWindow& w) {
    Find<QLineEdit>(w, 113)->setText(QStringLiteral("Boost 2"));
    QTest::mouseClick(w.convertButton(), Qt::LeftButton);  // the program ends by itself
  });
  EXPECT_NE(ReadBytes(run.settings).find("Name = Boost 2\r\n"), std::string::npos);
  const std::string dif = ReadBytes(run.dir.File("run 1.dif"));
  EXPECT_NE(dif.find("\"Boost_2 (kPa)\""), std::string::npos);
  EXPECT_NE(dif.find("VECTORS\r\n0,14\r\n"), std::string::npos);
}

}  // namespace
