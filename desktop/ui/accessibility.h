#pragma once
// What a screen reader needs beyond the toolkit's defaults, measured against
// Orca 43 with Qt 6.4:
// - a role of our choosing for a widget the toolkit would call a plain client
//   or static text (the plot area is a chart, the About window's links are
//   links), with a press action for those that can be activated;
// - text boxes that answer every question about their text at once (the
//   toolkit's own answer for a word at either end of a box never returns)
//   and read a selection whole;
// - menu entries named with their keys ("Key points, K");
// - an announcer: a line said whatever has the focus.

#include <QAccessible>
#include <QElapsedTimer>
#include <QObject>

class QTimer;
class QWidget;

namespace vesk {

// The accessible interfaces above, for every widget made from now on.
void install_accessible_interfaces();

// The widget is announced with `role`, and its accessible name and
// description; set before the widget is first shown. A widget with an
// activate() slot gets a press action that calls it.
void set_accessible_role(QWidget* widget, QAccessible::Role role);

// Says a line, whatever has the focus. Orca 43 speaks no change of a name or
// a description of an object it has no focus on, and with Qt 6.4 not of the
// focused one either (the event carries the object, not the text); it does
// speak a notification as it shows, and inside a status bar without the word
// "notification". So a line is the name of a hidden notification in a hidden
// status bar, shown to assistive technology each time.
class Announcer : public QObject {
  Q_OBJECT

 public:
  // A burst of steps (wheel notches, a held key) is heard once, when it settles.
  static constexpr int kSettleMs = 350;
  // After a dialog Orca has a flood of the dialog's events to get through (the
  // file dialog's: about 300, taking it 1.6 s, measured), during which it drops
  // notifications: wait past that.
  static constexpr int kBackMs = 2500;

  explicit Announcer(QWidget* window);
  // Said at once, unless another line was said less than kSettleMs ago: then, as a held key's steps are, once
  // they settle (the first heard, the last too, none between: a screen reader drops lines in a flood).
  void say(const QString& line);
  // Said once no other line came for kSettleMs; a later one replaces it.
  void say_when_settled(const QString& line);
  // Said once the window is active again (after a dialog) and things settled:
  // a screen reader presents the window and its focus first, cutting short what it was saying.
  void say_when_back(const QString& line);
  // What was said last (the status bar's name too, for Orca's status-bar command).
  QString last() const { return last_; }

 private:
  QWidget* status_;
  QWidget* voice_;
  QTimer* settle_;
  bool eventFilter(QObject* watched, QEvent* event) override;

  void say_now(const QString& line);

  QWidget* window_;
  QElapsedTimer said_;  // since the last line said
  QString waiting_;
  QString after_return_;
  QString last_;
};

}  // namespace vesk
