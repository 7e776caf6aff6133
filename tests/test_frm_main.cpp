#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "main_window/frm_main.h"
#include "plot/frame.h"
#include "surface/plot_area.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

class TestFrmMain : public QObject {
  Q_OBJECT

  FrmMain* window = nullptr;

  template <typename T>
  T* control(const char* name) {
    auto* found = window->findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }

 private slots:
  void init() { window = new FrmMain; }
  void cleanup() { delete window; }

  void window_caption_size_and_colours() {
    QCOMPARE(window->objectName(), QStringLiteral("frm_main"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Vesk - Plot v.1"));
    QCOMPARE(window->size(), QSize(600, 496));
    QCOMPARE(window->palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(window->autoFillBackground());
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!window->windowIcon().isNull());
  }

  // Positions in pixels: the layout's twips divided by 15.
  void controls_at_their_places_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("pic_plot") << "pic_plot" << QRect(9, 99, 583, 394) << "";
    QTest::newRow("cmd_plotline") << "cmd_plotline" << QRect(165, 45, 85, 31) << "plot by&line";
    QTest::newRow("txt_x1") << "txt_x1" << QRect(24, 39, 37, 22) << "-9";
    QTest::newRow("txt_x2") << "txt_x2" << QRect(108, 39, 37, 22) << "9";
    QTest::newRow("cmd_plotpoint") << "cmd_plotpoint" << QRect(279, 45, 85, 31) << "plot by&point";
    QTest::newRow("txt_y1") << "txt_y1" << QRect(24, 69, 37, 22) << "-9";
    QTest::newRow("txt_y2") << "txt_y2" << QRect(108, 69, 37, 22) << "9";
    QTest::newRow("txt_clarity") << "txt_clarity" << QRect(522, 48, 73, 22) << "100";
    QTest::newRow("cmd_saveplot") << "cmd_saveplot" << QRect(396, 45, 76, 31) << "&Seve plot";
    QTest::newRow("cmd_about") << "cmd_about" << QRect(519, 3, 76, 25) << "&About";
    // Labels keep their top-left corner and size themselves to their text.
    QTest::newRow("lbl_x1") << "lbl_x1" << QRect(6, 45, -1, -1) << "X :";
    QTest::newRow("lbl_y2") << "lbl_y2" << QRect(6, 72, -1, -1) << "Y :";
    QTest::newRow("lbl_y1") << "lbl_y1" << QRect(87, 72, -1, -1) << "Y :";
    QTest::newRow("lbl_x2") << "lbl_x2" << QRect(87, 45, -1, -1) << "X :";
    QTest::newRow("lbl_To") << "lbl_To" << QRect(93, 21, -1, -1) << "To :";
    QTest::newRow("lbl_from") << "lbl_from" << QRect(18, 21, -1, -1) << "From :";
    QTest::newRow("lbl_clarity") << "lbl_clarity" << QRect(486, 54, -1, -1) << "clarity:";
  }
  void controls_at_their_places() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    auto* widget = control<QWidget>(qPrintable(name));
    if (geometry.width() < 0) {
      QCOMPARE(widget->pos(), geometry.topLeft());
    } else {
      QCOMPARE(widget->geometry(), geometry);
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) QCOMPARE(button->text(), text);
    if (auto* box = qobject_cast<QLineEdit*>(widget)) QCOMPARE(box->text(), text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      QCOMPARE(label->text(), text);
      QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
      QVERIFY(!label->autoFillBackground());
    }
  }

  // Captions must fit their controls, and a label must end before the box or
  // button to its right, or the text would run into it.
  void captions_fit_and_nothing_overlaps() {
    const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (auto* label : window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
      const QRect text(label->pos(), label->fontMetrics().size(0, label->text()));
      QVERIFY2(label->geometry().contains(text), qPrintable(label->objectName()));
      for (auto* other : children) {
        if (other == label || other->isWindow()) continue;
        QVERIFY2(!label->geometry().intersects(other->geometry()),
                 qPrintable(label->objectName() + QStringLiteral(" overlaps ") + other->objectName()));
      }
    }
    for (auto* button : window->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
      const int caption = button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
      QVERIFY2(caption + 8 <= button->width(), qPrintable(button->objectName()));
    }
  }

  void tab_order_follows_the_layout() {
    const QStringList expected = {"pic_plot",  "cmd_plotline", "txt_x1",      "txt_x2",
                                  "cmd_plotpoint", "txt_y1",   "txt_y2",      "txt_clarity",
                                  "cmd_saveplot",  "cmd_about"};
    QStringList order;
    QWidget* w = control<QWidget>("pic_plot");
    for (int i = 0; i < expected.size(); ++i) {
      order << w->objectName();
      do w = w->nextInFocusChain();
      while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty());
    }
    QCOMPARE(order, expected);
  }

  void hand_cursor_over_the_plot() {
    const QCursor cursor = control<QWidget>("pic_plot")->cursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(6, 0));
    QCOMPARE(cursor.bitmap().size(), QSize(32, 32));
    // The fingertip is black (set in bitmap and mask); the corner transparent.
    const QImage bits = cursor.bitmap().toImage(), mask = cursor.mask().toImage();
    QCOMPARE(bits.pixelIndex(6, 0), 1);
    QCOMPARE(mask.pixelIndex(6, 0), 1);
    QCOMPARE(mask.pixelIndex(31, 31), 0);
  }

  void start_up_draws_the_frame_for_the_initial_range() {
    Surface expected({579, 390}, kActiveTitleText);
    draw_frame(expected, RoundedRange{-9, 9, -9, 9});
    QCOMPARE(window->plot_area().surface().image(), expected.image());
  }

  void load_step_refuses_unusable_range_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("bound beyond 16 bits") << "txt_x1" << "-40000" << "X from";
    QTest::newRow("bound too large for a double") << "txt_y2" << "1e999" << "Y to";
    QTest::newRow("bounds round to the same integer") << "txt_x1" << "8.6" << "X from and X to";
  }
  void load_step_refuses_unusable_range() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, named);
    control<QLineEdit>(qPrintable(box))->setText(text);
    window->plot_area().surface().clear();
    SeenMessage seen;
    answer_next_message_box(seen);
    window->load();
    QVERIFY(seen.seen);
    QVERIFY2(seen.text.contains(named), qPrintable(seen.text));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(count_pixels(window->plot_area().surface().image(), kWhitePixel), 579 * 390);
  }
};

QTEST_MAIN(TestFrmMain)
#include "test_frm_main.moc"
