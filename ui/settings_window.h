// The program's one window: a row per data channel, "Convert", "Reset" and
// the status bar.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "app/program_state.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class ColorSwatch;
class StatusBar;

// Every control carries its number as the property "ControlId": a row base
// plus the channel index, 140 and 150 for the buttons, 1 to 6 for headings.
inline constexpr int kEnabledBoxBase = 100;
inline constexpr int kNameFieldBase = 110;
inline constexpr int kUnitFieldBase = 120;
inline constexpr int kColorSwatchBase = 130;
inline constexpr int kMinFieldBase = 140;
inline constexpr int kMaxFieldBase = 150;
inline constexpr int kConvertButtonId = 140;
inline constexpr int kResetButtonId = 150;

class SettingsWindow : public QWidget {
 public:
  explicit SettingsWindow(ProgramState& state);

  // Runs the event loop until a close event: the user's, or the one that
  // "Convert" posts. The window stays on the screen afterwards.
  void RunUntilClosed();
  void SetProgress(int32_t position);

  // The control with that number, or null.
  QWidget* Control(int controlId) const;
  QPushButton* convertButton() const { return convert_; }
  StatusBar* statusBar() const { return status_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Row {
    QCheckBox* enabled;
    QLineEdit* name;
    QLineEdit* unit;
    ColorSwatch* swatch;
    QLineEdit* min;
    QLineEdit* max;
  };

  void FillRow(int k);
  void PickColor(int k);
  void Convert();
  void Reset();

  ProgramState& state_;
  std::vector<Row> rows_;  // rows_[k - 1] shows slot k
  QPushButton* convert_ = nullptr;
  QPushButton* reset_ = nullptr;
  StatusBar* status_ = nullptr;
  bool closed_ = false;
  bool converted_ = false;
};
