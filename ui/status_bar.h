// The window's status bar: the log's file name, and the export's progress.
#pragma once

#include <QElapsedTimer>
#include <QStatusBar>
#include <cstdint>
#include <string_view>

class QLabel;
class QProgressBar;

class StatusBar : public QStatusBar {
 public:
  StatusBar(QWidget* parent, std::u16string_view logPath, int maximum);

  // Sets the bar's position. The bar is repainted at most about every 50 ms
  // and at its maximum, so that painting never slows the export down.
  void SetProgress(int32_t position);
  // Shows the last position set.
  void ShowProgress();

  QLabel* nameField() const { return name_; }
  QProgressBar* progressBar() const { return progress_; }

 private:
  QLabel* name_;
  QProgressBar* progress_;
  QElapsedTimer sincePaint_;
  int32_t position_ = 0;
};

// The part of a path after its last slash or backslash.
std::u16string_view FileNameOf(std::u16string_view path);
