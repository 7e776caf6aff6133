#pragma once
// Helpers shared by the unit and widget tests.

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <memory>

#include "main_window/frm_main.h"

namespace vesk::test {

// What every window test starts from: a new main window, shown.
inline std::unique_ptr<FrmMain> shown_window() {
  auto window = std::make_unique<FrmMain>();
  window->show();
  return QTest::qWaitForWindowExposed(window.get()) ? std::move(window) : nullptr;
}

inline QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

inline int count_pixels(const QImage& image, QRgb colour) {
  int count = 0;
  for (int i = 0; i < image.width() * image.height(); ++i) count += pixel(image, i % image.width(), i / image.width()) == colour;
  return count;
}

// The first difference between two images, as "(x, y)", or an empty string.
inline QString first_difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return QStringLiteral("sizes differ");
  const QImage one = a.convertToFormat(QImage::Format_RGB32), other = b.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if ((reinterpret_cast<const QRgb*>(one.constScanLine(y))[x] ^ reinterpret_cast<const QRgb*>(other.constScanLine(y))[x]) & 0xFFFFFFu)
        return QStringLiteral("(%1, %2)").arg(x).arg(y);
  return {};
}

// While in scope, answers the next application-modal message box with `choice`
// (its first button when none) and records what it showed. Polls, since the box opens inside
// a nested event loop; gives up after `deadline_ms`.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(int deadline_ms = 10000, QMessageBox::StandardButton choice = QMessageBox::NoButton) {
    clock_.start();
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this, deadline_ms, choice] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        seen = true;
        default_button = box->standardButton(box->defaultButton());
        (choice ? box->button(choice) : box->buttons().constFirst())->click();
      }
      if (seen || clock_.hasExpired(deadline_ms)) poll_.stop();
    });
    poll_.start(5);
  }
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  bool seen = false;

 private:
  QTimer poll_;
  QElapsedTimer clock_;
};

// Types `texts` into the boxes of `window`, in the order x1, x2, y1, y2, clarity.
inline void enter(QWidget& window, const QStringList& texts) {
  const char* const boxes[] = {"txt_x1", "txt_x2", "txt_y1", "txt_y2", "txt_clarity"};
  for (int i = 0; i < texts.size(); ++i) window.findChild<QLineEdit*>(boxes[i])->setText(texts[i]);
}

}  // namespace vesk::test
