#pragma once
// What a screen reader needs beyond the toolkit's defaults: a role of our
// choosing for a widget the toolkit would call a plain client or static text
// (the plot area is a chart, the About window's links are links), and a
// spoken line that follows a busy label without flooding the listener.

#include <QAccessible>
#include <QObject>

class QLabel;
class QTimer;
class QWidget;

namespace vesk {

// The widget is announced with `role`, and its accessible name and description.
void set_accessible_role(QWidget* widget, QAccessible::Role role);

// Keeps the label's accessible name in step with its text at most every
// kSpokenMs: the pointer moving over the plot changes the text many times a second.
class SpokenLabel : public QObject {
  Q_OBJECT

 public:
  static constexpr int kSpokenMs = 300;
  explicit SpokenLabel(QLabel* label);
  // The text shown at once, and spoken with the next pause.
  void set_text(const QString& text);

 private:
  QLabel* label_;
  QTimer* pause_;
};

}  // namespace vesk
