#include "ui/dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/qt_text.h"
#include "ui/window_title.h"

namespace {

// A typed path is accepted when its folder exists, even if the file does not.
class LogFileDialog : public QFileDialog {
 public:
  LogFileDialog() : QFileDialog(nullptr, QStringLiteral("Choose a Quarn CSV file")) {
    setFileMode(QFileDialog::AnyFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(QStringLiteral("CSV (*.csv)"));
  }

  void accept() override {
    const QStringList files = selectedFiles();
    if (!files.isEmpty() && !QFileInfo(files.first()).absoluteDir().exists()) return;
    QFileDialog::accept();
  }
};

QColor ToQColor(int32_t color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

}  // namespace

Dialogs& ActiveDialogs() {
  static Dialogs dialogs{ChooseLogWithFileDialog, PickColorWithColorDialog,
                         ReportExportFailureInMessageBox};
  return dialogs;
}

std::u16string ChooseLogWithFileDialog() {
  LogFileDialog dialog;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return ToText(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

int32_t PickColorWithColorDialog(QWidget* parent, int32_t color) {
  const QColor current = ToQColor(color);
  QColorDialog::setCustomColor(0, current);
  const QColor chosen = QColorDialog::getColor(current, parent);
  if (!chosen.isValid()) return -1;
  return chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
}

void ReportExportFailureInMessageBox(QWidget* parent, const std::u16string& file,
                                     const std::u16string& reason) {
  QMessageBox::warning(parent, kWindowTitle,
                       QStringLiteral("The DIF file could not be written:\n%1\n\n%2")
                           .arg(ToQString(file), ToQString(reason)));
}
