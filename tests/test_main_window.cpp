// The main window in the offscreen platform: its layout, the plot commands and
// their messages, the steps of the view with the pointer and the keys, the
// coordinates, the clipboard and the cursor.

#include <QAccessible>
#include <QInputDialog>
#include <QClipboard>
#include <QMenu>
#include <functional>
#include <QLabel>
#include <QPainter>
#include <QNativeGestureEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QRubberBand>
#include <QScreen>
#include <QTest>

#include "key_points/marks.h"
#include "main_window/frm_main.h"
#include "reading/plot_input.h"
#include "plot/frame.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "plot_area/plot_area.h"
#include "surface/device_area.h"
#include "table.h"
#include "test_support.h"
#include "ui/application.h"
#include "ui/text_pieces.h"
#include "ui/twips.h"
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

// What the screen must show for a plot: its picture under the markers of its frame (or of `frame`, when refused),
// and the key points' marks over them, as the picture has them over its axes.
QImage with_markers(const std::optional<PlotRequest>& request, std::optional<Bounds> frame = std::nullopt) {
  const QImage marked = picture_with_marks(request);
  QImage picture = marked;
  Surface surface(kPictureSize);
  place_frame(surface, frame ? *frame : request->shown());
  QPainter painter(&picture);
  for (const LineObject& line : {surface.lin_x, surface.lin_y})
    painter.fillRect(line_object_pixels(line, surface.mapping(), 1), QColor(line.colour));
  painter.end();
  for (int i = 0; i < marked.width() * marked.height(); ++i)
    if (pixel(marked, i % marked.width(), i / marked.width()) == kMarkColour) picture.setPixel(i % marked.width(), i / marked.width(), kMarkColour);
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

  void commands() {
    QCOMPARE(window->font(), preferred_window_font());  // the captions fit in it: nothing else is tried
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
      QCOMPARE(first_difference(on_screen(*window), with_markers(expected)), QString());
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
      QCOMPARE(first_difference(on_screen(*window), with_markers(std::nullopt, Bounds{-9, 9, -9, 9})), QString());
      enter(*window, {"-9", "9", "-9", "9", "100"});
      button("cmd_plotline")->click();
      QCOMPARE(window->shown_plot(), (PlotRequest{{-9, 9, -9, 9}, 100, PlotMode::line}));
    }
  }

  // Each input reaches the session as its call: after each, the window's session is a session fed the same
  // calls, the boxes show its view rounded outward, the screen its picture under the markers, and no message box
  // opens. (What the calls do: test_view.cpp.)
  void inputs() {
    QWidget* area = &window->plot_area();
    enter(*window, {"-9", "9", "-9", "9", "50"});
    button("cmd_plotpoint")->click();
    area->setFocus();
    Explorer same({"-9", "9", "-9", "9", "50"});
    same.plot({"-9", "9", "-9", "9", "50"}, PlotMode::point, 0);
    MessageBoxAnswer answer(500);
    const auto press = [&](Qt::MouseButton which) {
      QMouseEvent event(QEvent::MouseButtonPress, {50, 50}, {}, which, which, {});
      QApplication::sendEvent(area, &event);
    };
    const std::tuple<const char*, std::function<void()>, std::function<void()>> rows[] = {
        {"wheel", [&] { send_wheel(area, {289, 194.5}, {0, 120}); }, [&] { same.wheel({0, 120}, {289, 194.5}, ZoomAxes::both, 1); }},
        {"Ctrl+wheel", [&] { send_wheel(area, {0, 194.5}, {0, 240}, Qt::ControlModifier); },
         [&] { same.wheel({0, 240}, {0, 194.5}, ZoomAxes::x_only, 1); }},
        {"Shift+wheel, turned sideways", [&] { send_wheel(area, {0, 0}, {120, 0}, Qt::ShiftModifier); },
         [&] { same.wheel({120, 0}, {0, 0}, ZoomAxes::y_only, 1); }},
        {"drag, the wheel turned meanwhile", [&] {
           send_mouse(area, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
           send_mouse(area, QEvent::MouseMove, {152.5, 100}, Qt::LeftButton);
           send_wheel(area, {152.5, 100}, {0, -120});
           send_mouse(area, QEvent::MouseMove, {160, 90}, Qt::LeftButton);
           send_mouse(area, QEvent::MouseButtonRelease, {160, 90}, Qt::NoButton);
           QCOMPARE(area->cursor().shape(), Qt::BitmapCursor);  // the open hand again
         }, [&] {
           same.drag_started({100, 100}), same.dragged_to({152.5, 100}, 1), same.pointer(QPointF(152.5, 100));
           same.wheel({0, -120}, {152.5, 100}, ZoomAxes::both, 1), same.dragged_to({160, 90}, 1), same.drag_ended();
           same.pointer(QPointF(160, 90));
         }},
        {"Left", [&] { QTest::keyClick(area, Qt::Key_Left); }, [&] { same.key(ViewKey::left, 1); }},
        {"=", [&] { QTest::keyClick(area, Qt::Key_Equal); }, [&] { same.key(ViewKey::zoom_in, 1); }},
        {"keypad -", [&] { QTest::keyClick(area, Qt::Key_Minus, Qt::KeypadModifier); }, [&] { same.key(ViewKey::zoom_out, 1); }},
        {"Shift+drag, a box", [&] {
           QTest::mousePress(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(102, 52));
           send_mouse(area, QEvent::MouseMove, {400, 300}, Qt::LeftButton);
           QVERIFY(area->findChild<QRubberBand*>()->isVisible());
           QTest::mouseRelease(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(402, 302));
         }, [&] { same.pointer(QPointF(400, 300)), same.boxed_to({100, 50}, {400, 300}, 1); }},
        {"Escape drops a box", [&] {
           QTest::mousePress(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(102, 52));
           send_mouse(area, QEvent::MouseMove, {400, 300}, Qt::LeftButton);
           QTest::keyClick(area, Qt::Key_Escape);
           QTest::mouseRelease(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(402, 302));
         }, [&] { same.pointer(QPointF(400, 300)); }},
        {"pinch", [&] {
           QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, {291, 196.5}, {},
                                     {}, 1.0, {});
           QApplication::sendEvent(area, &pinch);
         }, [&] { same.pinched(1.0, {289, 194.5}, 1); }},
        {"Home", [&] { QTest::keyClick(area, Qt::Key_Home); }, [&] { same.home(1); }},
        {"F", [&] { QTest::keyClick(area, Qt::Key_F); }, [&] { same.fit_y(1); }},
        {"the back button", [&] { press(Qt::BackButton); }, [&] { same.back(); }},
        {"Alt+Left", [&] { QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier); }, [&] { same.back(); }},
        {"the forward button", [&] { press(Qt::ForwardButton); }, [&] { same.forward(); }},
        {"Alt+Right", [&] { QTest::keyClick(window.get(), Qt::Key_Right, Qt::AltModifier); }, [&] { same.forward(); }},
        {"K", [&] { QTest::keyClick(area, Qt::Key_K); }, [&] { same.toggle_key_points(); }},
        {"N", [&] { QTest::keyClick(area, Qt::Key_N); }, [&] { same.toggle_numbers(); }},
        {"T", [&] { QTest::keyClick(area, Qt::Key_T); }, [&] { same.toggle_trace(1); }},
        {"a column", [&] { QTest::keyClick(area, Qt::Key_Right); }, [&] { same.trace_step(1, false, 1); }},
        {"a sample", [&] { QTest::keyClick(area, Qt::Key_Left, Qt::ShiftModifier); }, [&] { same.trace_step(-1, true, 1); }},
        {"Escape ends the trace", [&] { QTest::keyClick(area, Qt::Key_Escape); }, [&] { same.end_trace(); }}};
    for (const auto& [what, input, call] : rows) {
      input();
      call();
      const Explorer& shown = window->explorer();
      QVERIFY2(shown.view() == same.view() && shown.picture() == same.picture() && shown.trace_point() == same.trace_point(), what);
      const RoundedRange r = same.boxes();
      QCOMPARE(range_boxes(), (QStringList{QString::number(r.x1r), QString::number(r.x2r), QString::number(r.y1r), QString::number(r.y2r)}));
      if (!shown.trace_on()) QCOMPARE(first_difference(on_screen(*window), with_markers(shown.picture())), QString());
    }
    for (int i = 0; i < 60; ++i) send_wheel(area, {0, 0}, {0, -120});  // out to the whole number range
    for (const char* name : {"txt_x1", "txt_x2", "txt_y1", "txt_y2"}) {
      auto* box = window->findChild<QLineEdit*>(name);
      QCOMPARE(box->cursorPosition(), 0);  // the start of each number shows, and all of it: no digit cut
      QVERIFY2(QFontMetrics(box->font()).horizontalAdvance(box->text()) <= box->contentsRect().width() - 4, name);
    }
    QCOMPARE(range_boxes(), (QStringList{"-32768", "32767", "-32768", "32767"}));
    QVERIFY(!answer.seen);
  }

  // 170 notches on the origin's pixel: both axes stay under the pointer, within a pixel, the numbers readable.
  void deep_burst_on_the_origin() {
    enter(*window, {"-289", "289", "-194", "195", "100"});
    button("cmd_plotline")->click();
    for (int i = 0; i < 170; ++i) send_wheel(&window->plot_area(), {289, 195}, {0, 120});
    QVERIFY(window->explorer().view().x_to - window->explorer().view().x_from < 1e-13);
    // The readout fits its line there, each number whole (the view itself: test_view's bursts).
    send_mouse(&window->plot_area(), QEvent::MouseMove, {300.5, 100.25}, Qt::NoButton);
    const auto* readout = window->findChild<QLabel*>("lbl_coordinates");
    QVERIFY2(QFontMetrics(readout->font()).horizontalAdvance(readout->text()) <= readout->width(), qPrintable(readout->text()));
    QVERIFY2(QRegularExpression(QStringLiteral("^x = \\S+   y = \\S+   f\\(x\\) = -?\\d[\\d.]*(e[-+]\\d+)?$")).match(readout->text()).hasMatch(),
             qPrintable(readout->text()));
  }

  // The plot area's keys stop there; the others go on to the window, as keys a widget has no use for do.
  void keys_consumed_data() {
    table<int, bool, bool>({"key", "tracing", "consumed"}, {
        {"left pans", Qt::Key_Left, false, true}, {"down pans", Qt::Key_Down, false, true}, {"plus zooms in", Qt::Key_Plus, false, true},
        {"equals zooms in", Qt::Key_Equal, false, true}, {"minus zooms out", Qt::Key_Minus, false, true},
        {"a letter of no command", Qt::Key_A, false, false}, {"Escape with nothing to end", Qt::Key_Escape, false, false},
        {"Return", Qt::Key_Return, false, false}, {"left steps the trace", Qt::Key_Left, true, true},
        {"Escape ends the trace", Qt::Key_Escape, true, true}, {"up pans in a trace", Qt::Key_Up, true, true},
        {"a letter in a trace", Qt::Key_B, true, false}});
  }
  void keys_consumed() {
    const auto [key, tracing, consumed] = row<int, bool, bool>({"key", "tracing", "consumed"});
    QWidget* area = &window->plot_area();
    area->setFocus();
    window->plot(PlotMode::line);
    if (tracing) QTest::keyClick(area, Qt::Key_T);
    QCOMPARE(window->explorer().trace_on(), tracing);
    struct Watcher : QObject {
      int reached = 0;
      bool eventFilter(QObject*, QEvent* event) override { return reached += event->type() == QEvent::KeyPress, false; }
    } watcher;
    window->installEventFilter(&watcher);
    QTest::keyClick(area, Qt::Key(key));
    window->removeEventFilter(&watcher);
    QCOMPARE(watcher.reached, consumed ? 0 : 1);
  }

  // With no sound server (the tests have none), H says so in the readout, which the next view takes back;
  // nothing plotted, there is nothing to hear, and nothing is said of a device.
  void no_sound_server() {
    QWidget* area = &window->plot_area();
    area->setFocus();
    auto* readout = window->findChild<QLabel*>("lbl_coordinates");
    QTest::keyClick(area, Qt::Key_H);
    QVERIFY(!readout->text().startsWith("No sound"));
    window->plot(PlotMode::line);
    QTest::keyClick(area, Qt::Key_H);
    QTRY_COMPARE(readout->text(), QStringLiteral("No sound: no sound device or sound server answered."));
    QTest::keyClick(area, Qt::Key_Plus);
    QCOMPARE(readout->text(), window->explorer().readout());
  }

  // The readout follows the pointer and the view under it; Ctrl+Shift+C copies its values; a number typed while
  // tracing asks where to go; the menu lists every command with its key.
  void readout_and_menu() {
    QWidget* area = &window->plot_area();
    area->setFocus();
    auto* readout = window->findChild<QLabel*>("lbl_coordinates");
    struct Paints : QObject {
      int seen = 0;
      bool eventFilter(QObject*, QEvent* event) override { return seen += event->type() == QEvent::Paint, false; }
    } paints;
    QCoreApplication::processEvents();
    area->installEventFilter(&paints);
    for (int i = 30; i >= 0; --i) send_mouse(area, QEvent::MouseMove, {289 - i / 10.0, 194.5}, Qt::NoButton);
    QCoreApplication::processEvents();
    area->removeEventFilter(&paints);
    QCOMPARE(paints.seen, 0);  // the pointer moving changes the readout, not the picture
    QCOMPARE(readout->text(), QStringLiteral("x = 0.00   y = 0.00   f(x) = 0.00"));
    QTest::keyClick(area, Qt::Key_Left);
    QCOMPARE(readout->text(), window->explorer().readout());
    QTest::keyClick(area, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), window->explorer().copied_values());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(area, &leave);
    QVERIFY(readout->text().isEmpty());
    QTest::keyClick(area, Qt::Key_T);
    QTimer::singleShot(50, this, [] {  // the digit typed stays, the caret after it: ".25" goes on with the number
      auto* asked = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      QVERIFY(asked && asked->textValue() == "1");
      QTest::keyClicks(asked->findChild<QLineEdit*>(), ".25");
      asked->accept();
    });
    QTest::keyClick(area, Qt::Key_1);
    QCOMPARE(window->explorer().trace_point()->x(), 1.25);
    const Bounds before = window->explorer().view();
    QTest::keyClick(area, Qt::Key_Minus);  // zooms out, tracing or not
    QVERIFY(window->explorer().view().x_to - window->explorer().view().x_from > before.x_to - before.x_from);
  }

  // What a screen reader asks of the boxes, at every offset and boundary, against what the text is (what Orca
  // itself says: e2e/test_screen_reader.py).
  void text_pieces_data() {
    // pieces: before, at, after
    const int character = int(PieceKind::character), word = int(PieceKind::word), line = int(PieceKind::line);
    table<QString, int, int, QStringList>({"text", "offset", "kind", "pieces"}, {
        {"-9: a word at its start", "-9", 0, word, {"", "-9", ""}}, {"-9: the word at its end", "-9", 2, word, {"", "-9", ""}},
        {"-9: no character at its end", "-9", 2, character, {"9", "", ""}}, {"-9: the first character", "-9", 0, character, {"", "-", "9"}},
        {"blanks belong to the word before", "  -9  12.5", 4, word, {"", "  -9  ", "12.5"}},
        {"the second word, at its start", "  -9  12.5", 6, word, {"  -9  ", "12.5", ""}},
        {"a line is the whole text", "abc def", 3, line, {"", "abc def", ""}},
        {"an offset past the end is the end", "12.5", 99, character, {"5", "", ""}},
        {"a pair of surrogates is one character", "a\U0001F600b", 1, character, {"a", "\U0001F600", "b"}}});
    QTest::newRow("empty") << "" << 0 << word << QStringList{"", "", ""};
  }
  void text_pieces() {
    const auto [text, offset, kind, pieces] = row<QString, int, int, QStringList>({"text", "offset", "kind", "pieces"});
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
    QCOMPARE(answers->text(start, end), text);  // the selection whole, and only one
    answers->selection(1, &start, &end);
    QVERIFY(start == 0 && end == 0);
    QCOMPARE(answers->text(1, 0), QString());   // backwards: nothing
    QVERIFY(answers->characterRect(int(text.size())).isEmpty() && (text.isEmpty() || !answers->characterRect(0).isEmpty()));
    const QAccessible::State state = QAccessible::queryAccessibleInterface(box)->state();
    QVERIFY(state.selectableText && state.editable && state.focusable && !state.passwordEdit && !state.readOnly);
    box->setEchoMode(QLineEdit::Password);  // hidden text is not told
    QVERIFY(QAccessible::queryAccessibleInterface(box)->state().passwordEdit && answers->text(0, int(text.size())).isEmpty());
    box->setEchoMode(QLineEdit::Normal);
  }

  // Lines said as things happen (a burst once it settles), the plot described, the menu's entries in order with
  // their keys.
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
    QTRY_COMPARE(status->text(QAccessible::Name), QStringLiteral("x from minus 4.61 to 4.61, y from minus 4.61 to 4.61."));
    QVERIFY(QAccessible::queryAccessibleInterface(area)->text(QAccessible::Description).startsWith(
        "x from minus 4.61 to 4.61, y from minus 4.61 to 4.61; plotted by line, clarity 100. The curve starts above the view,"));
    QStringList names;
    QTimer::singleShot(0, this, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      int focused = 0;
      for (QAction* action : menu->actions())
        if (action->isSeparator()) names << "|";  // between the groups
        else if (QAccessible::queryAccessibleInterface(action)->state().focusable) {
          names << QAccessible::queryAccessibleInterface(action)->text(QAccessible::Name);
          focused += QAccessible::queryAccessibleInterface(action)->state().focused;
        }
      QCOMPARE(focused, menu->activeAction() ? 1 : 0);  // the one a screen reader is on
      menu->close();
    });
    QTest::keyClick(area, Qt::Key_Menu);
    for (QAction* action : area->actions())  // the menu closed: its entries are not there to be read
      QVERIFY(QAccessible::queryAccessibleInterface(action)->state().invisible);
    QCOMPARE(names.join(", "), QStringLiteral("Copy picture, Ctrl+C, Copy values, Ctrl+Shift+C, |, Key points, K, Numbers, N, "
        "Trace, T, Go to x, Ctrl+G, Next key point, Ctrl+Right, Previous key point, Ctrl+Left, Hear the curve, H, "
        "Hear from the marker, Shift+H, Shorter sweep, [, Longer sweep, ], Reference tone, R, Grid ticks, G, |, Fit y, F, Back, Alt+Left, Forward, Alt+Right, "
        "Home, Home, |, Seve plot, Alt+S, |, Print…, Ctrl+P, Print preview…, Ctrl+Shift+P, Keys…, F1"));
  }

  // Run by CTest at the scales 1.25 … 3, and moved to a screen of scale 1.25 (the line width the same, the pixels not): every grid line as wide as the
  // others, those at the edges too, and the plot right against the border.
  void scaled_screen() {
    // With a second screen of another scale (two_screens.json), the window drawn on the first moves there.
    for (QScreen* other : QGuiApplication::screens())
      if (other->devicePixelRatio() != window->devicePixelRatioF()) {
        window->grab();
        window->move(other->geometry().topLeft() + QPoint(20, 20));
        QTRY_COMPARE(window->devicePixelRatioF(), other->devicePixelRatio());
        break;
      }
    const qreal ratio = window->devicePixelRatioF();
    const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect area = window->plot_area().geometry();
    // Across the frame half-way between grid lines, from outside the border to outside it again.
    const auto grid_runs = [&](bool across) {
      QList<int> runs{0};
      QRgb before_first = 0;
      int last = 0;  // the last grid pixel
      const int at = across ? int((area.top() + 2 + 97.25) * ratio) : int((area.left() + 2 + 433.5) * ratio);
      const int from = int((across ? area.left() : area.top()) * ratio), to = int((across ? area.right() : area.bottom()) * ratio);
      for (int i = from; i <= to; ++i) {
        const QRgb colour = pixel(shot, across ? i : at, across ? at : i);
        if (colour == kButtonFace) ++runs.back(), last = i;
        else if (runs.back() != 0) runs << 0;
        if (runs == QList<int>{0}) before_first = colour;
      }
      runs.removeAll(0);
      return std::tuple{runs, before_first, double(to - last) / (to - from)};
    };
    for (const bool across : {true, false}) {
      const auto [runs, before_first, after_last] = grid_runs(across);
      QCOMPARE(runs, QList<int>(18, std::max(1, int(std::lround(ratio)))));
      QVERIFY(before_first != kPlotBackground);  // the border, no seam
      QVERIFY2(after_last < 1 / 19.0, qPrintable(QString::number(after_last)));  // the picture reaches the far side
    }
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
