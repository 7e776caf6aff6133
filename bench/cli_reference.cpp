// What the command line's whole run is measured against: a plain QtGui program that draws a picture of the
// plot's size with a frame and a curve and saves it as a PNG file (bench/command_line.sh).

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

int main(int argc, char* argv[]) {
  const QCoreApplication app(argc, argv);
  QImage image(579, 390, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(Qt::green);
  painter.drawLine(0, 195, 578, 195);
  painter.setPen(Qt::red);
  for (int x = 1; x < 579; ++x) {
    const auto f = [](double u) { return std::pow(u, 3) - 2 * std::pow(u, 2) + std::pow(u, 4) + 3 * u; };
    const double u0 = (x - 1) / 578.0 * 18 - 9, u1 = x / 578.0 * 18 - 9;
    painter.drawLine(QPointF(x - 1, 194.5 - f(u0) / 18 * 389), QPointF(x, 194.5 - f(u1) / 18 * 389));
  }
  painter.end();
  return image.save(argc > 1 ? argv[1] : "reference.png", "PNG") ? 0 : 1;
}
