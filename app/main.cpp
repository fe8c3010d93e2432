#include <QApplication>
#include <QSettings>
#include <memory>

#include "app/stage_driver.h"
#include "settings/channel_settings.h"
#include "ui/dialogs.h"
#include "ui/settings_window.h"

int main(int argc, char** argv) {
  // The program writes nothing but its exports and its own settings file:
  // Qt gets no place to keep settings of its own (the colour dialog's
  // custom colours, for one).
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
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
  RunStages(frontend, SettingsPath(ProgramPath()));
  return 0;
}
