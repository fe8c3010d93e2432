#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <sys/stat.h>

#include "convert/utf.h"
#include "ui/color_swatch.h"
#include "ui/status_bar.h"
#include "window_harness.h"

namespace {

std::vector<std::string> Columns(int n) {
  const char* names[] = {"Lambda", "RPM", "MAP", "EGT", "TPS", "Volt 1", "Volt 2", "AFR", "Boost"};
  return std::vector<std::string>(names, names + n);
}

QRect GeometryOf(const OpenWindow& w, int id) {
  QWidget* control = w.window->Control(id);
  return control ? control->geometry() : QRect();
}

QRgb SwatchPixel(const OpenWindow& w, int k) {
  return w.Get<ColorSwatch>(kColorSwatchBase + k)->pixmap().toImage().pixel(10, 10);
}

class WindowLayoutTest : public testing::TestWithParam<int> {};

TEST_P(WindowLayoutTest, ControlsSitWhereTheyBelong) {
  const int rows = GetParam();
  OpenWindow w(Columns(rows), 3, rows != 0);  // no rows: a log without a header
  EXPECT_EQ(w.window->size(), QSize(480, 370));
  EXPECT_EQ(w.window->minimumSize(), w.window->maximumSize());  // not resizable
  EXPECT_EQ(w.window->windowTitle(), QStringLiteral("Quarn Settings V0.71"));
  const Qt::WindowFlags flags = w.window->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(w.window->isVisible());

  const struct {
    int id, x, width;
    const char* text;
  } headings[] = {{3, 10, 50, "In use"}, {1, 70, 150, "Fieldname"}, {2, 230, 50, "Unit"},
                  {4, 290, 50, "Color"}, {5, 350, 50, "Min"},        {6, 410, 50, "Max"}};
  for (const auto& h : headings) {
    EXPECT_EQ(GeometryOf(w, h.id), QRect(h.x, 10, h.width, 20)) << h.id;
    EXPECT_EQ(w.Get<QLabel>(h.id)->text(), QString::fromLatin1(h.text));
    EXPECT_TRUE(w.Get<QLabel>(h.id)->alignment() & Qt::AlignHCenter);
  }
  for (int k = 1; k <= rows; ++k) {
    const int y = 30 * k + 10;
    EXPECT_EQ(GeometryOf(w, 100 + k), QRect(25, y, 20, 20)) << k;
    EXPECT_EQ(GeometryOf(w, 110 + k), QRect(70, y, 150, 20)) << k;
    EXPECT_EQ(GeometryOf(w, 120 + k), QRect(230, y, 50, 20)) << k;
    EXPECT_EQ(GeometryOf(w, 130 + k), QRect(305, y, 20, 20)) << k;
    EXPECT_EQ(GeometryOf(w, 140 + k), QRect(350, y, 50, 20)) << k;
    EXPECT_EQ(GeometryOf(w, 150 + k), QRect(410, y, 50, 20)) << k;
    EXPECT_TRUE(w.Get<QLineEdit>(110 + k)->hasFrame());
  }
  EXPECT_EQ(w.window->Control(100 + rows + 1), nullptr);
  const int buttonsY = rows == 0 ? 50 : rows == 3 ? 140 : 320;
  EXPECT_EQ(GeometryOf(w, 140), QRect(70, buttonsY, 150, 30));
  EXPECT_EQ(GeometryOf(w, 150), QRect(230, buttonsY, 50, 30));
  EXPECT_EQ(w.Get<QPushButton>(140)->text(), QStringLiteral("Convert"));
  EXPECT_EQ(w.Get<QPushButton>(150)->text(), QStringLiteral("Reset"));

  StatusBar* bar = w.window->statusBar();
  EXPECT_EQ(bar->geometry(), QRect(0, 350, 480, 20));
  EXPECT_GE(bar->geometry().top(), GeometryOf(w, 140).bottom());  // everything fits above it
  EXPECT_EQ(bar->nameField()->geometry(), QRect(0, 0, 200, 20));
  EXPECT_EQ(bar->nameField()->text(), QStringLiteral("log.csv"));
  EXPECT_TRUE(bar->nameField()->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(bar->progressBar()->geometry(), QRect(200, 0, 275, 20));
  EXPECT_EQ(bar->progressBar()->minimum(), 0);
  EXPECT_EQ(bar->progressBar()->maximum(), rows == 0 ? 0 : 3);
  EXPECT_EQ(bar->progressBar()->value(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, WindowLayoutTest, testing::Values(0, 3, 9));

TEST(SettingsWindow, ControlsAreCreatedInOrderAndTabFollowsIt) {
  OpenWindow w(Columns(2));
  std::vector<int> created;
  for (QObject* child : w.window->children()) {
    const QVariant id = child->property("ControlId");
    if (id.isValid()) created.push_back(id.toInt());
  }
  const std::vector<int> expected = {3,   1,   2,   4,   5,   6,   101, 111, 121, 131, 141,
                                     151, 102, 112, 122, 132, 142, 152, 140, 150};
  EXPECT_EQ(created, expected);

  QApplication::setActiveWindow(w.window.get());
  w.Get<QCheckBox>(101)->setFocus();
  std::vector<int> order;
  for (int i = 0; i < 12; ++i) {
    order.push_back(QApplication::focusWidget()->property("ControlId").toInt());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(order, (std::vector<int>{101, 111, 121, 141, 151, 102, 112, 122, 142, 152, 140, 150}));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget()->property("ControlId").toInt(), 150);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget()->property("ControlId").toInt(), 140);
}

TEST(SettingsWindow, RowsShowTheTable) {
  OpenWindow w(Columns(9));
  EXPECT_EQ(w.Get<QLineEdit>(111)->text(), QStringLiteral("Lambda"));
  EXPECT_EQ(w.Get<QLineEdit>(121)->text(), QStringLiteral("Lambda"));
  EXPECT_EQ(w.Get<QLineEdit>(141)->text(), QStringLiteral("0.6"));
  EXPECT_EQ(w.Get<QLineEdit>(151)->text(), QStringLiteral("1.5"));
  EXPECT_EQ(SwatchPixel(w, 1), qRgb(219, 0, 220));
  EXPECT_EQ(SwatchPixel(w, 4), qRgb(255, 218, 21));
  EXPECT_EQ(w.Get<ColorSwatch>(131)->pixmap().size(), QSize(20, 20));
  EXPECT_TRUE(w.Get<QCheckBox>(108)->isChecked());
  // The ninth channel has no defaults: unchecked, empty, black.
  EXPECT_FALSE(w.Get<QCheckBox>(109)->isChecked());
  EXPECT_EQ(w.Get<QLineEdit>(119)->text(), QStringLiteral("Boost"));
  EXPECT_TRUE(w.Get<QLineEdit>(129)->text().isEmpty());
  EXPECT_TRUE(w.Get<QLineEdit>(159)->text().isEmpty());
  EXPECT_EQ(SwatchPixel(w, 9), qRgb(0, 0, 0));
}

TEST(SettingsWindow, CheckboxesChangeTheTableAtOnce) {
  DialogScope dialogs;
  TempDir dir;
  ProgramState state;
  ApplyDefaults(state.table);
  state.LogPath = Utf8ToUtf16(WriteLog(dir, "log.csv", {"A"}, 1));
  ReadLog(state.LogPath, state.log, state.table);
  state.table[1].Enabled = 2;  // as a settings file may say
  SettingsWindow window(state);
  auto* box = dynamic_cast<QCheckBox*>(window.Control(101));
  EXPECT_TRUE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
  EXPECT_EQ(state.table[1].Enabled, 0);
  QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
  EXPECT_EQ(state.table[1].Enabled, 1);
}

TEST(SettingsWindow, ColourPickerChoosesBlackOrNothing) {
  OpenWindow w(Columns(3));
  std::vector<int32_t> offered;
  int32_t answer = 0x123456;
  ActiveDialogs().pickColor = [&](QWidget*, int32_t color) {
    offered.push_back(color);
    return answer;
  };
  ColorSwatch* swatch = w.Get<ColorSwatch>(131);
  QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(w.state.table[1].Color, 0x123456);
  EXPECT_EQ(SwatchPixel(w, 1), qRgb(0x56, 0x34, 0x12));
  answer = 0;
  QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(w.state.table[1].Color, 0);
  EXPECT_EQ(SwatchPixel(w, 1), qRgb(0, 0, 0));
  answer = -1;
  w.state.table[1].Color = 0x00FF00;
  QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(w.state.table[1].Color, 0x00FF00);
  EXPECT_EQ(SwatchPixel(w, 1), qRgb(0, 0, 0));
  EXPECT_EQ(offered, (std::vector<int32_t>{14418139, 0x123456, 0x00FF00}));

  // Only a plain left click opens the picker: not a right click, not a drag,
  // not a double click.
  QTest::mouseClick(swatch, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(offered.size(), 3u);
  QTest::mousePress(swatch, Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseMove(swatch, QPoint(19, 19));
  QTest::mouseRelease(swatch, Qt::LeftButton, {}, QPoint(19, 19));
  EXPECT_EQ(offered.size(), 3u);
  QTest::mouseDClick(swatch, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(offered.size(), 3u);
}

TEST(SettingsWindow, ResetBringsBackDefaultsAndHeaderNames) {
  OpenWindow w(Columns(9));
  w.Get<QLineEdit>(121)->setText(QStringLiteral("typed"));
  w.Get<QLineEdit>(112)->setText(QStringLiteral("typed name"));
  w.state.table[3].Name = u"From settings";
  w.state.table[3].Color = 0x010203;
  w.state.table[9].Unit = u"bar";
  ActiveDialogs().pickColor = [](QWidget*, int32_t) { return 0x0000FF; };
  QTest::mouseClick(w.Get<ColorSwatch>(134), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(w.Get<QPushButton>(150), Qt::LeftButton);
  EXPECT_EQ(w.Get<QLineEdit>(121)->text(), QStringLiteral("Lambda"));
  EXPECT_EQ(w.Get<QLineEdit>(112)->text(), QStringLiteral("RPM"));
  EXPECT_EQ(w.state.table[3].Name, u"MAP");
  EXPECT_EQ(w.state.table[3].Color, 0xFF0000);
  EXPECT_EQ(w.state.table[4].Color, 0x15DAFF);
  EXPECT_EQ(SwatchPixel(w, 4), qRgb(255, 218, 21));
  // The ninth channel keeps what it had, but its header name.
  EXPECT_EQ(w.Get<QLineEdit>(129)->text(), QStringLiteral("bar"));
  EXPECT_EQ(w.Get<QLineEdit>(119)->text(), QStringLiteral("Boost"));
}

TEST(SettingsWindow, ConvertWithEveryBoxUnchecked) {
  OpenWindow w(Columns(3));
  for (int k = 1; k <= 3; ++k) QTest::mouseClick(w.Get<QCheckBox>(100 + k), Qt::LeftButton);
  QTest::mouseClick(w.Get<QPushButton>(140), Qt::LeftButton);
  EXPECT_EQ(w.state.TupleWidth, 1);
  const std::string dif = ReadBytes(w.dir.File("log.dif"));
  EXPECT_NE(dif.find("TUPLES\r\n0,1\r\n\"1000"), std::string::npos);
  EXPECT_EQ(w.window->statusBar()->progressBar()->value(), 3);
}

TEST(SettingsWindow, ConvertExportsTypedTexts) {
  OpenWindow w(Columns(3));
  w.Get<QLineEdit>(113)->setText(QStringLiteral("Boost pressure"));
  w.Get<QLineEdit>(123)->setText(QStringLiteral("bar"));
  w.Get<QLineEdit>(143)->setText(QString());
  QTest::mouseClick(w.Get<QPushButton>(140), Qt::LeftButton);
  EXPECT_EQ(w.state.table[3].Name, u"Boost pressure");
  EXPECT_EQ(w.state.table[3].Label, u"Boost_pressure");
  EXPECT_EQ(w.state.table[3].Min, u"");
  const std::string dif = ReadBytes(w.dir.File("log.dif"));
  EXPECT_NE(dif.find("\"Boost_pressure (bar)\""), std::string::npos);
  EXPECT_NE(dif.find("1,0\r\n\"Boost_pressure\"\r\n-1,0\r\nBOT\r\n1,0\r\n\"Unit:\""), std::string::npos);
}

TEST(SettingsWindow, APastedLineBreakBecomesASpace) {
  OpenWindow w(Columns(1));
  QLineEdit* name = w.Get<QLineEdit>(111);
  name->clear();
  QApplication::clipboard()->setText(QStringLiteral("two\nlines\r\nhere"));
  name->setFocus();
  QTest::keySequence(name, QKeySequence::Paste);
  EXPECT_EQ(name->text(), QStringLiteral("two lines here"));
  QTest::mouseClick(w.Get<QPushButton>(140), Qt::LeftButton);
  EXPECT_EQ(w.state.table[1].Name, u"two lines here");
}

TEST(SettingsWindow, AFailedExportIsReportedOnce) {
  OpenWindow w(Columns(1));
  ASSERT_EQ(mkdir(w.dir.File("log.dif").c_str(), 0700), 0);  // nothing can take its place
  std::vector<std::u16string> reports;
  ActiveDialogs().reportExportFailure = [&](QWidget*, const std::u16string& file, const std::u16string& reason) {
    reports.push_back(file);
    EXPECT_FALSE(reason.empty());
  };
  QTest::mouseClick(w.Get<QPushButton>(140), Qt::LeftButton);
  QTest::mouseClick(w.Get<QPushButton>(140), Qt::LeftButton);  // a second click converts nothing
  QApplication::processEvents();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], Utf8ToUtf16(w.dir.File("log.dif")));
}

TEST(SettingsWindow, TheProgressBarIsRepaintedSparingly) {
  OpenWindow w(Columns(1));
  StatusBar* bar = w.window->statusBar();
  bar->progressBar()->setRange(0, 1000000);
  int paints = 0;
  struct Counter : QObject {
    int* count;
    explicit Counter(int* c) : count(c) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++*count;
      return false;
    }
  } counter(&paints);
  bar->progressBar()->installEventFilter(&counter);
  QElapsedTimer timer;
  timer.start();
  for (int32_t n = 100; n <= 1000000; n += 100) bar->SetProgress(n);
  const qint64 ms = timer.elapsed();
  EXPECT_LE(paints, ms / 50 + 2);
  EXPECT_EQ(bar->progressBar()->value(), 1000000);  // the end is always shown
}

}  // namespace
