// Opens the real settings window over a log of our own, with the dialogs
// answered by the test.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "support/temp_dir.h"
#include "ui/dialogs.h"
#include "ui/settings_window.h"

// Puts the real dialogs back when a test ends.
class DialogScope {
 public:
  DialogScope() : saved_(ActiveDialogs()) {
    ActiveDialogs().chooseLog = [] { return std::u16string(); };
    ActiveDialogs().pickColor = [](QWidget*, int32_t) { return -1; };
    ActiveDialogs().reportExportFailure = [](QWidget*, const std::u16string&, const std::u16string&) {};
  }
  ~DialogScope() { ActiveDialogs() = saved_; }

 private:
  Dialogs saved_;
};

// A log whose header names the given data columns, with rows data lines.
std::string WriteLog(const TempDir& dir, const std::string& name, const std::vector<std::string>& columns,
                     int rows);

struct OpenWindow {
  DialogScope dialogs;
  TempDir dir;
  ProgramState state;
  std::unique_ptr<SettingsWindow> window;

  // Reads the log as the program does and builds the window over it.
  explicit OpenWindow(const std::vector<std::string>& columns, int rows = 3, bool withHeader = true);

  template <typename T>
  T* Get(int controlId) const {
    return dynamic_cast<T*>(window->Control(controlId));
  }
};
