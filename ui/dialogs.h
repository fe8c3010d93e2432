// The modal dialogs of the program. They reach the flow through this seam, so
// that tests answer them instead of a person.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

struct Dialogs {
  // The file-open dialog: a full path, or "" when cancelled.
  std::function<std::u16string()> chooseLog;
  // The colour picker, opened with colour preselected (0x00BBGGRR): the chosen
  // colour, or -1 when cancelled.
  std::function<int32_t(QWidget* parent, int32_t color)> pickColor;
  // The one message the program shows: an export file that could not be written.
  std::function<void(QWidget* parent, const std::u16string& file, const std::u16string& reason)>
      reportExportFailure;
};

// The real dialogs, unless a test put others in their place.
Dialogs& ActiveDialogs();

std::u16string ChooseLogWithFileDialog();
int32_t PickColorWithColorDialog(QWidget* parent, int32_t color);
void ReportExportFailureInMessageBox(QWidget* parent, const std::u16string& file,
                                     const std::u16string& reason);
