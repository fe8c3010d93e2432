#include <QApplication>
#include <memory>

#include "app/stage_driver.h"
#include "settings/channel_settings.h"
#include "settings/settings_location.h"
#include "ui/dialogs.h"
#include "ui/qt_settings_guard.h"
#include "ui/settings_window.h"

int main(int argc, char** argv) {
  KeepQtFromStoringSettings();
  // The program takes no command-line arguments, Qt's own included.
  int qtArgc = argc > 0 ? 1 : 0;
  QApplication app(qtArgc, argv);

  std::unique_ptr<SettingsWindow> window;  // on the screen until the program ends
  Frontend frontend;
  frontend.chooseLog = [] { return ActiveDialogs().chooseLog(); };
  frontend.runWindow = [&window](ProgramState& state) {
    window = std::make_unique<SettingsWindow>(state);
    window->RunUntilClosed();
    return true;
  };
  RunStages(frontend, ChooseSettingsPath(ProgramPath()));
  return 0;
}
