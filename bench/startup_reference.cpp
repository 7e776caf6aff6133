// The yardstick for vesk-plot's start: a plain Qt Widgets window of the same
// size with the same kinds and numbers of controls (five line edits, four push
// buttons, seven labels), and nothing else.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(600, 496);
  for (int i = 0; i < 5; ++i) (new QLineEdit(QStringLiteral("-9"), &window))->setGeometry(24 + 84 * i, 39, 37, 22);
  for (int i = 0; i < 4; ++i) (new QPushButton(QStringLiteral("plot by&line"), &window))->setGeometry(165 + 114 * i, 45, 85, 31);
  for (int i = 0; i < 7; ++i) (new QLabel(QStringLiteral("From :"), &window))->move(6 + 80 * i, 21);
  window.show();
  return app.exec();
}
