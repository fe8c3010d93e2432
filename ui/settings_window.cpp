#include "ui/settings_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "ui/color_swatch.h"
#include "ui/dialogs.h"
#include "ui/qt_text.h"
#include "ui/status_bar.h"
#include "ui/window_title.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 370;
constexpr int kStatusBarHeight = 20;

template <typename Widget>
Widget* Place(Widget* widget, int controlId, int x, int y, int width, int height) {
  widget->setProperty("ControlId", controlId);
  widget->setGeometry(x, y, width, height);
  return widget;
}

QLineEdit* TextField(QWidget* parent, int controlId, int x, int y, int width) {
  auto* field = Place(new QLineEdit(parent), controlId, x, y, width, 20);
  field->setFrame(true);
  // A single-line field takes a pasted line break too; in the settings file and
  // the export it would end a line in the middle of a text.
  QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) return;
    const int cursor = field->cursorPosition();
    QString oneLine = text;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    field->setText(oneLine);
    field->setCursorPosition(std::min(cursor, static_cast<int>(oneLine.size())));
  });
  return field;
}

}  // namespace

SettingsWindow::SettingsWindow(ProgramState& state) : QWidget(nullptr), state_(state) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(kWindowTitle);
  setFixedSize(kWidth, kHeight);
  // A compact font, so that texts fit controls 20 pixels high.
  QFont compact = font();
  compact.setPixelSize(10);
  setFont(compact);

  struct Heading {
    int id;
    const char* text;
    int x;
    int width;
  };
  constexpr Heading kHeadings[] = {{3, "In use", 10, 50}, {1, "Fieldname", 70, 150},
                                   {2, "Unit", 230, 50},  {4, "Color", 290, 50},
                                   {5, "Min", 350, 50},   {6, "Max", 410, 50}};
  for (const Heading& h : kHeadings) {
    auto* label = Place(new QLabel(QString::fromLatin1(h.text), this), h.id, h.x, 10, h.width, 20);
    label->setAlignment(Qt::AlignCenter);
  }

  const int rowCount = std::max(UsedSlots(state_.log.ColumnCount) - 1, 0);
  for (int k = 1; k <= rowCount; ++k) {
    const int y = 30 * k + 10;
    Row row{};
    row.enabled = Place(new QCheckBox(this), kEnabledBoxBase + k, 25, y, 20, 20);
    row.name = TextField(this, kNameFieldBase + k, 70, y, 150);
    row.unit = TextField(this, kUnitFieldBase + k, 230, y, 50);
    row.swatch = Place(new ColorSwatch(this), kColorSwatchBase + k, 305, y, 20, 20);
    row.min = TextField(this, kMinFieldBase + k, 350, y, 50);
    row.max = TextField(this, kMaxFieldBase + k, 410, y, 50);
    // A click changes the table at once; typed texts wait for "Convert".
    connect(row.enabled, &QCheckBox::toggled, this, [this, k](bool checked) {
      if (!closed_) state_.table[k].Enabled = checked ? 1 : 0;
    });
    row.swatch->onClick = [this, k] { PickColor(k); };
    rows_.push_back(row);
    FillRow(k);
  }

  const int buttonsY = 30 * rowCount + 50;
  convert_ = Place(new QPushButton(QStringLiteral("Convert"), this), kConvertButtonId, 70, buttonsY, 150, 30);
  reset_ = Place(new QPushButton(QStringLiteral("Reset"), this), kResetButtonId, 230, buttonsY, 50, 30);
  connect(convert_, &QPushButton::clicked, this, [this] { Convert(); });
  connect(reset_, &QPushButton::clicked, this, [this] { Reset(); });

  status_ = new StatusBar(this, state_.LogPath, static_cast<int>(state_.log.LogRows.size()));
  status_->setGeometry(0, kHeight - kStatusBarHeight, kWidth, kStatusBarHeight);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kWidth / 2, kHeight / 2));
  }
  show();
}

QWidget* SettingsWindow::Control(int controlId) const {
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->property("ControlId").toInt() == controlId) return w;
  }
  return nullptr;
}

void SettingsWindow::FillRow(int k) {
  const Channel& c = state_.table[k];
  const Row& row = rows_[k - 1];
  {
    // Filling shows the table; it is no click that changes it.
    const QSignalBlocker block(row.enabled);
    row.enabled->setChecked(c.Enabled != 0);
  }
  row.swatch->ShowColor(c.Color);
  for (const auto& [field, text] : {std::pair{row.name, &c.Name}, std::pair{row.unit, &c.Unit},
                                    std::pair{row.min, &c.Min}, std::pair{row.max, &c.Max}}) {
    field->setText(ToQString(*text));
    field->setCursorPosition(0);  // a text longer than its field shows its beginning
  }
}

void SettingsWindow::PickColor(int k) {
  if (closed_) return;
  const int32_t chosen = ActiveDialogs().pickColor(this, state_.table[k].Color);
  if (chosen < 0) return;
  state_.table[k].Color = chosen;
  rows_[k - 1].swatch->ShowColor(chosen);
}

void SettingsWindow::Convert() {
  // Clicks that queued up during the export come after its close event.
  if (closed_ || converted_) return;
  converted_ = true;
  for (int k = 1; k <= static_cast<int>(rows_.size()); ++k) {
    const Row& row = rows_[k - 1];
    Channel& c = state_.table[k];
    c.Name = ToText(row.name->text());
    c.Unit = ToText(row.unit->text());
    c.Min = ToText(row.min->text());
    c.Max = ToText(row.max->text());
  }
  const ExportResult result = ExportTable(state_, [this](int32_t n) { SetProgress(n); });
  status_->ShowProgress();
  if (!result.Ok) ActiveDialogs().reportExportFailure(this, result.FailedFile, result.Reason);
  QCoreApplication::postEvent(this, new QCloseEvent);
}

void SettingsWindow::Reset() {
  if (closed_) return;
  ApplyDefaults(state_.table);
  TakeHeaderNames(state_.table, state_.log.LogHeader, state_.log.ColumnCount);
  for (int k = 1; k <= static_cast<int>(rows_.size()); ++k) FillRow(k);
}

void SettingsWindow::SetProgress(int32_t position) { status_->SetProgress(position); }

void SettingsWindow::RunUntilClosed() {
  QEventLoop loop;
  while (!closed_) loop.processEvents(QEventLoop::WaitForMoreEvents);
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
  // The window stays on the screen until the program ends; the loop stops.
  event->ignore();
  closed_ = true;
}
