// The main window in the offscreen platform: its layout, the plot commands and
// their messages, the steps of the view with the pointer and the keys, the
// coordinates, the clipboard and the cursor.

#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <functional>
#include <QLabel>
#include <QPainter>
#include <QNativeGestureEvent>
#include <QPushButton>
#include <QRubberBand>
#include <QTest>

#include "main_window/frm_main.h"
#include "reading/plot_input.h"
#include "plot/frame.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "plot_area/plot_area.h"
#include "test_support.h"
#include "ui/application.h"
#include "ui/text_pieces.h"
#include "ui/twips.h"
#include "ui/hand_cursor.h"
#include "ui/window_font.h"

using namespace vesk;
using namespace vesk::test;

namespace {

// Events at pixel coordinate `p` of the drawable area, inside its 2-pixel border.
void send_wheel(QWidget* area, QPointF p, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWheelEvent wheel(p + QPointF(2, 2), {}, {}, angle, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(area, &wheel);
}
void send_mouse(QWidget* area, QEvent::Type type, QPointF p, Qt::MouseButtons buttons) {
  QMouseEvent event(type, p + QPointF(2, 2), {}, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, {});
  QApplication::sendEvent(area, &event);
}

// The plot area as it shows on screen (at scale 1, as here).
QImage on_screen(FrmMain& window) {
  QWidget& area = window.plot_area();
  return area.grab(area.contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
}

// What the screen must show for a plot: its picture under the markers of the frame at `frame`.
QImage with_markers(const std::optional<PlotRequest>& request, RoundedRange frame) {
  QImage picture = plot_picture(request);
  Surface surface(kPictureSize);
  place_frame(surface, frame);
  QPainter painter(&picture);
  for (const LineObject& line : {surface.lin_x, surface.lin_y})
    painter.fillRect(line_object_pixels(line, surface.mapping(), 1), QColor(line.colour));
  return picture;
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

  std::unique_ptr<FrmMain> window;
  QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
  QStringList range_boxes() {
    QStringList texts;
    for (const char* box : {"txt_x1", "txt_x2", "txt_y1", "txt_y2"}) texts << window->findChild<QLineEdit*>(box)->text();
    return texts;
  }

 private slots:
  void init() { QVERIFY((window = shown_window())); }
  void cleanup() { window.reset(); }

  // The preferred face where it fits; one too wide gives way to one that fits.
  void font_fallback() {
    QCOMPARE(window->font(), preferred_window_font());
    QFont wide(QStringLiteral("DejaVu Sans"));
    wide.setPixelSize(15);
    const FrmMain narrowed(nullptr, wide);
    QVERIFY(!narrowed.captions_fit(wide) && narrowed.captions_fit(narrowed.font()) && narrowed.font() != wide);
  }

  // Larger desktop text, or a style sheet's: the whole layout grows with it as on a scaled screen, nothing clips,
  // the pointer lands where it did, and the saved picture stays what it was.
  void larger_text() {
    const std::tuple<int, int, double> rows[] = {{12, 11, 1.0}, {9, 8, 1.0}, {16, 11, 1.25}, {24, 11, 2.0}, {12, 22, 2.0}};
    for (const auto& [desktop, styled, scale] : rows) QCOMPARE(text_scale(desktop, styled), scale);
    layout_scale() = 2;
    FrmMain big;
    layout_scale() = 1;
    big.show();
    QVERIFY(QTest::qWaitForWindowExposed(&big));
    QCOMPARE(big.size(), QSize(1200, 992));
    QCOMPARE(big.plot_area().contentsRect().size(), QSize(1158, 780));
    QVERIFY(big.captions_fit(big.font()) && big.font().pixelSize() == 22);
    QWheelEvent wheel(big.plot_area().widget_point({289, 194.5}), {}, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&big.plot_area(), &wheel);
    QCOMPARE(big.findChild<QLineEdit*>("txt_x1")->text(), QStringLiteral("-7"));
    QCOMPARE(plot_picture(big.shown_plot()).size(), QSize(579, 390));
  }

  void commands() {
    const std::tuple<QStringList, QString, PlotRequest> rows[] = {
        {{"0", "2", "-1", "10", "100"}, "click cmd_plotline", {{0, 2, -1, 10}, 100, PlotMode::line}},
        {{"-3", "2.5", "-8", "&H10", "7"}, "click cmd_plotpoint", {{-3, 2, -8, 16}, 7, PlotMode::point}},
        {{"1", "5", "2", "7", "-5"}, "Enter cmd_plotline", {{1, 5, 2, 7}, -5, PlotMode::line}},
        {{"-9", "9", "-9", "9", "3"}, "Return cmd_plotpoint", {{-9, 9, -9, 9}, 3, PlotMode::point}},
        {{"-2", "9", "-9", "9", "3"}, "Space cmd_plotline", {{-2, 9, -9, 9}, 3, PlotMode::line}},
        {{"-3", "2", "-9", "9", "50"}, "Alt+L", {{-3, 2, -9, 9}, 50, PlotMode::line}},
        {{"abc", "1", "-9", "9", "50"}, "Alt+P", {{0, 1, -9, 9}, 50, PlotMode::point}}};
    for (const auto& [boxes, action, expected] : rows) {
      enter(*window, boxes);
      QPushButton* target = button(qPrintable(action.section(' ', 1)));
      if (action.startsWith("click")) target->click();
      if (action.startsWith("Alt")) QTest::keyClick(window.get(), Qt::Key(action.back().unicode()), Qt::AltModifier);
      if (action.startsWith("Enter") || action.startsWith("Return") || action.startsWith("Space")) {
        target->setFocus();
        QTest::keyClick(target, action[0] == 'E' ? Qt::Key_Enter : action[0] == 'R' ? Qt::Key_Return : Qt::Key_Space);
      }
      QTRY_VERIFY2(window->shown_plot() == expected, qPrintable(action));  // access keys click a moment later
      QCOMPARE(first_difference(on_screen(*window), with_markers(expected, expected.range)), QString());
    }
    // Ctrl+C puts the picture on the clipboard; Enter in a box does nothing.
    QTest::keyClick(&window->plot_area(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), plot_picture(window->shown_plot()));
    window->findChild<QWidget*>("txt_x1")->setFocus();
    enter(*window, {"5", "5"});
    MessageBoxAnswer answer(500);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!answer.seen && window->shown_plot()->range.x1r == 0);
  }

  // The message (title, start of its text, icon), the area cleared but for the
  // markers, and a good plot afterwards.
  void refusals() {
    const int warning = QMessageBox::Warning, none = QMessageBox::NoIcon;
    const std::tuple<QStringList, const char*, QString, QString, int> rows[] = {
        {{"5", "5"}, "cmd_plotline", "errore", "error : empity renge", warning},
        {{"-9", "9", "2", "2"}, "cmd_plotpoint", "errore", "error : empity renge", none},
        {{"-9", "40000"}, "cmd_plotpoint", "Vesk - Plot v.1", "The X to box", warning},
        {{"-9", "9", "-9", "9", "0"}, "cmd_plotline", "Vesk - Plot v.1", "The clarity box reads as 0.", warning}};
    for (const auto& [boxes, command, title, text, icon] : rows) {
      enter(*window, boxes);
      MessageBoxAnswer answer;
      button(command)->click();
      QVERIFY2(answer.seen && answer.title == title && answer.text.startsWith(text) && answer.icon == icon,
               qPrintable(answer.title + ": " + answer.text));
      QCOMPARE(window->shown_plot(), std::nullopt);
      QCOMPARE(first_difference(on_screen(*window), with_markers(std::nullopt, {-9, 9, -9, 9})), QString());
      enter(*window, {"-9", "9", "-9", "9", "100"});
      button("cmd_plotline")->click();
      QCOMPARE(window->shown_plot(), (PlotRequest{{-9, 9, -9, 9}, 100, PlotMode::line}));
    }
  }

  // Each step writes its bounds into the boxes and shows what the plot command
  // draws for them, with the last command's mode and clarity; Home returns to
  // what was typed. No step opens a message box.
  void steps_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("by line") << int(PlotMode::line);
    QTest::newRow("by point") << int(PlotMode::point);
  }
  void steps() {
    QFETCH(int, mode);
    QWidget* area = &window->plot_area();
    enter(*window, {"-9", "9", "-9", "9", "50"});
    button(mode == int(PlotMode::line) ? "cmd_plotline" : "cmd_plotpoint")->click();
    area->setFocus();
    MessageBoxAnswer answer(500);
    const auto step_gives = [&](const char* what, auto step, QStringList boxes) {
      step();
      QVERIFY2(range_boxes() == boxes, qPrintable(what + QStringLiteral(": ") + range_boxes().join(' ')));
      const PlotCheck command = check_plot_input({boxes[0], boxes[1], boxes[2], boxes[3], "50"}, PlotMode(mode));
      QVERIFY2(window->shown_plot() == std::get<PlotRequest>(command), what);
      QCOMPARE(first_difference(on_screen(*window), with_markers(window->shown_plot(), window->shown_plot()->range)), QString());
    };
    step_gives("wheel away", [&] { send_wheel(area, {289, 194.5}, {0, 120}); }, {"-7", "7", "-7", "7"});
    step_gives("wheel towards at the left edge", [&] { send_wheel(area, {0, 194.5}, {0, -120}); }, {"-7", "11", "-9", "9"});
    step_gives("Ctrl+wheel", [&] { send_wheel(area, {0, 194.5}, {0, 240}, Qt::ControlModifier); }, {"-7", "4", "-9", "9"});
    step_gives("Shift+wheel", [&] { send_wheel(area, {0, 0}, {0, 120}, Qt::ShiftModifier); }, {"-7", "4", "-5", "9"});
    step_gives("drag", [&] {
      send_mouse(area, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
      send_mouse(area, QEvent::MouseMove, {152.5, 100}, Qt::LeftButton);
      send_mouse(area, QEvent::MouseButtonRelease, {152.5, 100}, Qt::NoButton);
      QCOMPARE(area->cursor().shape(), Qt::BitmapCursor);  // the open hand again
    }, {"-8", "3", "-5", "9"});
    step_gives("Left", [&] { QTest::keyClick(area, Qt::Key_Left); }, {"-9", "2", "-5", "9"});
    step_gives("Up", [&] { QTest::keyClick(area, Qt::Key_Up); }, {"-9", "2", "-4", "10"});
    step_gives("+", [&] { QTest::keyClick(area, Qt::Key_Plus); }, {"-8", "1", "-3", "9"});
    step_gives("sideways wheel", [&] { send_wheel(area, {0, 0}, {120, 0}); }, {"-8", "1", "-3", "9"});
    step_gives("Shift+wheel, turned sideways", [&] { send_wheel(area, {0, 0}, {120, 0}, Qt::ShiftModifier); },
               {"-8", "1", "0", "9"});
    step_gives("Home", [&] { QTest::keyClick(area, Qt::Key_Home); }, {"-9", "9", "-9", "9"});
    step_gives("=", [&] { QTest::keyClick(area, Qt::Key_Equal); }, {"-7", "7", "-7", "7"});
    step_gives("keypad -", [&] { QTest::keyClick(area, Qt::Key_Minus, Qt::KeypadModifier); }, {"-9", "9", "-9", "9"});
    step_gives("F fits y", [&] { QTest::keyClick(area, Qt::Key_F); }, {"-9", "9", "-8", "7155"});
    step_gives("Shift+drag, a box", [&] {
      QTest::mousePress(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(102, 52));
      send_mouse(area, QEvent::MouseMove, {400, 300}, Qt::LeftButton);
      QVERIFY(area->findChild<QRubberBand*>()->isVisible());
      QTest::mouseRelease(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(402, 302));
    }, {"-6", "4", "1630", "6235"});
    step_gives("Escape drops a box", [&] {
      QTest::mousePress(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(102, 52));
      send_mouse(area, QEvent::MouseMove, {400, 300}, Qt::LeftButton);
      QTest::keyClick(area, Qt::Key_Escape);
      QTest::mouseRelease(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(402, 302));
    }, {"-6", "4", "1630", "6235"});
    step_gives("pinch apart", [&] {
      QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, {291, 196.5}, {},
                                {}, 1.0, {});
      QApplication::sendEvent(area, &pinch);
    }, {"-3", "2", "2781", "5084"});
    for (const char* box : {"txt_x1", "txt_x2", "txt_y1", "txt_y2"})  // the start of each number shows
      QCOMPARE(window->findChild<QLineEdit*>(box)->cursorPosition(), 0);
    QVERIFY(!answer.seen);
    // The coordinates under the pointer, again when the view moves under it; none once it left.
    QTest::keyClick(area, Qt::Key_Home);
    auto* readout = window->findChild<QLabel*>("lbl_coordinates");
    send_mouse(area, QEvent::MouseMove, {289, 194.5}, Qt::NoButton);
    QCOMPARE(readout->text(), QStringLiteral("x = 0.00   y = 0.00   f(x) = 0.00"));
    QTest::keyClick(area, Qt::Key_Left);
    QCOMPARE(readout->text(), QStringLiteral("x = -2.00   y = 0.00   f(x) = -6.00"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(area, &leave);
    QVERIFY(readout->text().isEmpty());
  }

  // A wheel turn during a drag applies and the drag goes on from it; each
  // change of view is one entry to go back to (a burst of notches, a drag, a
  // plot command, Home), by Alt+Left and Alt+Right or the pointer's buttons.
  void history() {
    QWidget* area = &window->plot_area();
    area->setFocus();
    send_mouse(area, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    send_mouse(area, QEvent::MouseMove, {132.1, 100}, Qt::LeftButton);  // one unit right
    send_wheel(area, {132.1, 100}, {0, 120});
    QCOMPARE(range_boxes(), QStringList({"-9", "5", "-6", "8"}));  // 18 units × 0.8 about the pointer
    send_mouse(area, QEvent::MouseMove, {164.2, 100}, Qt::LeftButton);  // 0.8 units further at the new scale
    send_mouse(area, QEvent::MouseButtonRelease, {164.2, 100}, Qt::NoButton);
    QCOMPARE(range_boxes(), QStringList({"-10", "4", "-6", "8"}));
    for (int i = 0; i < 3; ++i) send_wheel(area, {289, 194.5}, {0, 120});  // one burst
    const QStringList burst = range_boxes();
    enter(*window, {"0", "2", "-1", "10"});
    button("cmd_plotline")->click();
    QTest::keyClick(area, Qt::Key_Right);
    QTest::keyClick(area, Qt::Key_Home);
    const auto press = [&](Qt::MouseButton which) {
      QMouseEvent event(QEvent::MouseButtonPress, {50, 50}, {}, which, which, {});
      QApplication::sendEvent(area, &event);
    };
    const std::pair<std::function<void()>, QStringList> rows[] = {
        {[&] { QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier); }, {"1", "3", "-1", "10"}},  // before Home
        {[&] { press(Qt::BackButton); }, {"0", "2", "-1", "10"}},  // the command
        {[&] { QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier); }, burst},
        {[&] { press(Qt::BackButton); }, {"-10", "4", "-6", "8"}},  // the drag
        {[&] { press(Qt::BackButton); }, {"-9", "5", "-6", "8"}},  // the wheel during it
        {[&] { press(Qt::BackButton); }, {"-10", "8", "-9", "9"}},  // the drag's first move
        {[&] { press(Qt::ForwardButton); }, {"-9", "5", "-6", "8"}},
        {[&] { QTest::keyClick(window.get(), Qt::Key_Right, Qt::AltModifier); }, {"-10", "4", "-6", "8"}}};
    for (const auto& [action, boxes] : rows) {
      action();
      QCOMPARE(range_boxes(), boxes);
    }
  }

  // Key points marked (K) and named by the readout near them, a trace (T) by
  // columns and samples that the view follows, the values copied, and every
  // command in the plot area's menu.
  void study() {
    QWidget* area = &window->plot_area();
    area->setFocus();
    auto* readout = window->findChild<QLabel*>("lbl_coordinates");
    QTest::keyClick(area, Qt::Key_K);
    QVERIFY(window->shown_plot()->marks);
    send_mouse(area, QEvent::MouseMove, {239, 358}, Qt::NoButton);  // 3.6 pixels from the minimum's mark
    QCOMPARE(readout->text(), QStringLiteral("minimum  x = -1.639187043175945  f(x) = -7.476201925927492"));
    QTest::keyClick(area, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("-1.639187043175945\t-7.476201925927492"));
    const auto traced = [&] {
      QTest::keyClick(area, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
      const QStringList values = QGuiApplication::clipboard()->text().split('\t');
      return values.size() == 3 && values[1].toDouble() == quartic(values[0].toDouble()) ? values[0].toDouble() : NAN;
    };
    QTest::keyClick(area, Qt::Key_T);
    const double start = traced();
    QCOMPARE(start, -9 + 239 * 18.0 / 578);
    QTest::keyClick(area, Qt::Key_Right);
    QCOMPARE(traced(), start + 18.0 / 578);  // a pixel column
    QTest::keyClick(area, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(traced(), start + 18.0 / 578 - 0.01);  // a sample at clarity 100
    for (int i = 0; i < 300; ++i) QTest::keyClick(area, Qt::Key_Left);
    QVERIFY(range_boxes()[0].toInt() <= traced() && traced() < -10.5);  // the view followed it past -9
    QTest::keyClick(area, Qt::Key_Escape);
    QVERIFY(!readout->text().startsWith("trace"));
    QStringList entries;
    QTimer::singleShot(0, this, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      for (QAction* action : menu->actions())
        if (!action->isSeparator()) entries << action->text().section('\t', 0, 0) + ' ' + action->shortcut().toString();
      menu->actions()[menu->actions().size() - 6]->trigger();  // Fit y
      menu->close();
    });
    QTest::keyClick(area, Qt::Key_Menu);
    QCOMPARE(entries.join(", "), QStringLiteral("Copy picture Ctrl+C, Copy values Ctrl+Shift+C, Key points K, Trace T, "
                                                "Fit y F, Back Alt+Left, Forward Alt+Right, Home Home, Seve plot "));
    QCOMPARE(range_boxes().mid(2), QStringList({"-8", "13035"}));  // f(-11) = 13035
  }

  // What a screen reader asks of the boxes, at every offset and boundary, against what the text is (what Orca
  // itself says: e2e/test_screen_reader.py).
  void text_pieces_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("pieces");  // before, at, after
    const int character = int(PieceKind::character), word = int(PieceKind::word), line = int(PieceKind::line);
    QTest::newRow("-9: a word at its start") << "-9" << 0 << word << QStringList{"", "-9", ""};
    QTest::newRow("-9: the word at its end") << "-9" << 2 << word << QStringList{"", "-9", ""};
    QTest::newRow("-9: no character at its end") << "-9" << 2 << character << QStringList{"9", "", ""};
    QTest::newRow("-9: the first character") << "-9" << 0 << character << QStringList{"", "-", "9"};
    QTest::newRow("blanks belong to the word before") << "  -9  12.5" << 4 << word << QStringList{"", "  -9  ", "12.5"};
    QTest::newRow("the second word, at its start") << "  -9  12.5" << 6 << word << QStringList{"  -9  ", "12.5", ""};
    QTest::newRow("a line is the whole text") << "abc def" << 3 << line << QStringList{"", "abc def", ""};
    QTest::newRow("an offset past the end is the end") << "12.5" << 99 << character << QStringList{"5", "", ""};
    QTest::newRow("a pair of surrogates is one character") << "a\U0001F600b" << 1 << character << QStringList{"a", "\U0001F600", "b"};
    QTest::newRow("empty") << "" << 0 << word << QStringList{"", "", ""};
  }
  void text_pieces() {
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, kind);
    QFETCH(QStringList, pieces);
    QStringList found;
    for (const Around where : {Around::before, Around::at, Around::after}) {
      const TextPiece piece = text_piece(text, offset, PieceKind(kind), where);
      found << text.mid(piece.start, piece.end - piece.start);
    }
    QCOMPARE(found, pieces);
    // Through a box, as a screen reader asks: every offset and boundary answers, each piece where it says.
    auto* box = window->findChild<QLineEdit*>("txt_x1");
    box->setText(text);
    QAccessibleTextInterface* answers = QAccessible::queryAccessibleInterface(box)->textInterface();
    for (int at = 0; at <= text.size(); ++at)
      for (const auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
                              QAccessible::LineBoundary, QAccessible::NoBoundary}) {
        int start = -1, end = -1;
        const QString piece = answers->textAtOffset(at, type, &start, &end);
        QVERIFY(0 <= start && start <= end && end <= text.size() && piece == text.mid(start, end - start));
        QVERIFY(type == QAccessible::CharBoundary || text.isEmpty() || (start < end && start <= at && at <= end));
      }
    box->selectAll();
    int start = -1, end = -1;
    answers->selection(0, &start, &end);
    QCOMPARE(answers->text(start, end), text);  // the selection whole
  }

  // Lines said as things happen (a burst once it settles), the plot described, the menu's entries with their keys.
  void spoken() {
    QWidget* area = &window->plot_area();
    // Where the keys act shows on the border, in a colour of its own, never in the picture.
    const auto marked = [&] { return count_pixels(area->grab().toImage().convertToFormat(QImage::Format_RGB32), PlotArea::kFocusMark); };
    window->findChild<QWidget*>("txt_x1")->setFocus();
    QCOMPARE(marked(), 0);
    area->setFocus();
    QCOMPARE(marked(), 2 * 2 * (583 + 394) - 16);
    QCOMPARE(count_pixels(plot_picture(window->shown_plot()), PlotArea::kFocusMark), 0);
    QAccessibleInterface* status = nullptr;
    for (QWidget* child : window->findChildren<QWidget*>())
      if (QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(child); heard->role() == QAccessible::StatusBar)
        status = heard;
    QVERIFY(status != nullptr);
    QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(status->text(QAccessible::Name), QStringLiteral("Plotted by line, x from minus 9 to 9, y from minus 9 to 9."));
    for (int i = 0; i < 3; ++i) send_wheel(area, {289, 194.5}, {0, 120});
    QCOMPARE(status->text(QAccessible::Name), QStringLiteral("Plotted by line, x from minus 9 to 9, y from minus 9 to 9."));
    QTRY_COMPARE(status->text(QAccessible::Name), QStringLiteral("x from minus 5 to 5, y from minus 5 to 5."));
    QVERIFY(QAccessible::queryAccessibleInterface(area)->text(QAccessible::Description).startsWith(
        "x from minus 5 to 5, y from minus 5 to 5; plotted by line, clarity 100. The curve starts above the view,"));
    QStringList names;
    QTimer::singleShot(0, this, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      for (QAction* action : menu->actions())
        if (!action->isSeparator()) names << QAccessible::queryAccessibleInterface(action)->text(QAccessible::Name);
      menu->close();
    });
    QTest::keyClick(area, Qt::Key_Menu);
    QCOMPARE(names.mid(2, 2) + names.mid(8), (QStringList{"Key points, K", "Trace, T", "Seve plot, Alt+S"}));
  }

  // Run by CTest at the scales 1.25 … 3: every grid line as wide as the
  // others, those at the edges too, and the plot right against the border.
  void scaled_screen() {
    const qreal ratio = window->devicePixelRatioF();
    const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect area = window->plot_area().geometry();
    // Across the frame half-way between grid lines, from outside the border to outside it again.
    const auto grid_runs = [&](bool across) {
      QList<int> runs{0};
      QRgb before_first = 0;
      const int at = across ? int((area.top() + 2 + 97.25) * ratio) : int((area.left() + 2 + 433.5) * ratio);
      const int from = int((across ? area.left() : area.top()) * ratio), to = int((across ? area.right() : area.bottom()) * ratio);
      for (int i = from; i <= to; ++i) {
        const QRgb colour = pixel(shot, across ? i : at, across ? at : i);
        if (colour == kButtonFace) ++runs.back();
        else if (runs.back() != 0) runs << 0;
        if (runs == QList<int>{0}) before_first = colour;
      }
      runs.removeAll(0);
      return std::pair{runs, before_first};
    };
    for (const bool across : {true, false}) {
      const auto [runs, before_first] = grid_runs(across);
      QCOMPARE(runs, QList<int>(18, std::max(1, int(std::lround(ratio)))));
      QVERIFY(before_first != kPlotBackground);  // the border, no seam
    }
  }

  // The cursor drawn with alpha, at twice the size for scaled screens; the
  // windows' icon, from raw pixels.
  void cursor_and_icon() {
    const QImage icon = application_icon().pixmap(48).toImage();
    QVERIFY(icon.size() == QSize(48, 48) && qAlpha(icon.pixel(0, 0)) == 0 && icon.pixel(24, 24) == qRgb(255, 255, 255));
    for (const int scale : {1, 2}) {
      const QCursor cursor = hand_cursor(scale);
      QCOMPARE(cursor.hotSpot(), QPoint(6, 0));
      QCOMPARE(cursor.pixmap().devicePixelRatio(), qreal(scale));
      const QImage image = cursor.pixmap().toImage();
      QCOMPARE(image.size(), QSize(32, 32) * scale);
      QCOMPARE(image.pixel(6 * scale, 0), qRgba(0, 0, 0, 255));               // the fingertip's outline
      QCOMPARE(image.pixel(6 * scale, 3 * scale), qRgba(255, 255, 255, 255));  // inside the finger
      QCOMPARE(image.pixel(7 * scale - 1, scale - 1), qRgba(0, 0, 0, 255));
      QCOMPARE(qAlpha(image.pixel(31 * scale, 31 * scale)), 0);
    }
    QCOMPARE(window->plot_area().cursor().hotSpot(), QPoint(6, 0));
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
