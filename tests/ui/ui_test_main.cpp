// Window tests run on Qt's offscreen platform, with the configuration folder
// pointed at a scratch folder that must stay empty.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "support/temp_dir.h"
#include "ui/qt_settings_guard.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TempDir config;
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  KeepQtFromStoringSettings();
  int result = 0;
  {
    QApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  if (!FolderEntries(config.path()).empty()) {
    std::fprintf(stderr, "Qt wrote into the configuration folder\n");
    return 1;
  }
  return result;
}
