#include "ui/color_swatch.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>

ColorSwatch::ColorSwatch(QWidget* parent) : QLabel(parent) {
  setFocusPolicy(Qt::NoFocus);
  setFrameShape(QFrame::NoFrame);
}

void ColorSwatch::ShowColor(int32_t color) {
  QImage image(20, 20, QImage::Format_RGB888);
  image.fill(QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
  setPixmap(QPixmap::fromImage(image));
}

// Only a plain left click counts: a press and a release of the left button
// over the swatch, without a drag in between and not as part of a double click.
void ColorSwatch::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton;
  pressAt_ = event->position().toPoint();
}

void ColorSwatch::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_ && (event->position().toPoint() - pressAt_).manhattanLength() >=
                      QApplication::startDragDistance()) {
    pressed_ = false;
  }
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click && onClick) onClick();
}

void ColorSwatch::mouseDoubleClickEvent(QMouseEvent*) { pressed_ = false; }
