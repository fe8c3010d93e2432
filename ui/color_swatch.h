// A borderless image of a channel's colour that reports plain left clicks.
#pragma once

#include <QLabel>
#include <cstdint>
#include <functional>

class ColorSwatch : public QLabel {
 public:
  explicit ColorSwatch(QWidget* parent);

  // Paints a new 20 x 20 image of color (0x00BBGGRR) and shows it instead of the old.
  void ShowColor(int32_t color);

  std::function<void()> onClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
  QPoint pressAt_;
};
