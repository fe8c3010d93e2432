#include "ui/qt_settings_guard.h"

#include <QSettings>

void KeepQtFromStoringSettings() {
  // No folder can be made below a device file, so nothing is ever written there.
  for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
    QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(format, QSettings::SystemScope, QStringLiteral("/dev/null"));
  }
}
