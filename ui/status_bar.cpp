#include "ui/status_bar.h"

#include <QLabel>
#include <QProgressBar>

#include "ui/qt_text.h"

namespace {

constexpr int kNameFieldWidth = 200;
constexpr int kProgressFieldWidth = 275;
constexpr int kFieldHeight = 20;

}  // namespace

std::u16string_view FileNameOf(std::u16string_view path) {
  const size_t sep = path.find_last_of(u"/\\");
  return sep == std::u16string_view::npos ? path : path.substr(sep + 1);
}

StatusBar::StatusBar(QWidget* parent, std::u16string_view logPath, int maximum)
    : QStatusBar(parent) {
  setSizeGripEnabled(false);
  // The fields sit at fixed places, not in the bar's own layout: field 0 from
  // x 0 to 200, field 1 from 200 to 475.
  name_ = new QLabel(ToQString(FileNameOf(logPath)), this);
  name_->setAlignment(Qt::AlignCenter);
  name_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  name_->setGeometry(0, 0, kNameFieldWidth, kFieldHeight);

  progress_ = new QProgressBar(this);
  progress_->setRange(0, maximum);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setGeometry(kNameFieldWidth, 0, kProgressFieldWidth, kFieldHeight);
  sincePaint_.start();
}

void StatusBar::SetProgress(int32_t position) {
  position_ = position;
  if (position == progress_->maximum() || sincePaint_.elapsed() >= 50) ShowProgress();
}

void StatusBar::ShowProgress() {
  progress_->setValue(position_);
  progress_->repaint();
  sincePaint_.restart();
}
