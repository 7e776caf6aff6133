#pragma once

#include <QLabel>

namespace vesk {

// A label or picture that reports a left click (press and release on it), and
// that the keyboard can reach: Tab gives it the focus, shown by a dotted frame
// around it, and Enter, Return or Space activate it as a click does.
class ClickableLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

 public slots:
  // What a click does; also a screen reader's press action.
  void activate() { emit clicked(); }

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace vesk
