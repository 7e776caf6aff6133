#include "files/plot_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include "files/write_file.h"
#include "key_points/marks.h"
#include "plot/plot.h"
#include "plot/vector_plot.h"

namespace vesk {
namespace {

constexpr int kDotsPerInch = 96;  // as the saved picture's pixels

QString description(const PlotRequest& request) {
  const Bounds b = request.shown();
  const char* mode = request.mode == PlotMode::line ? ", by line" : request.mode == PlotMode::point ? ", by point" : "";
  const auto number = [](double v) { return QString::number(v, 'g', 17); };
  return QStringLiteral("f(x) = x^3 - 2x^2 + x^4 + 3x, x %1 to %2, y %3 to %4, clarity %5%6")
      .arg(number(b.x_from), number(b.x_to), number(b.y_from), number(b.y_to)).arg(request.clarity).arg(QLatin1String(mode));
}

// The generator declares the size in millimetres, which renderers round up
// to 580 × 391 pixels, and writes the font of the painter into every group,
// which differs with and without a window. The picture draws no text.
QByteArray svg_as_drawn(const QByteArray& generated) {
  QString svg = QString::fromUtf8(generated);
  svg.replace(QRegularExpression(QStringLiteral(R"(<svg width="[^"]*" height="[^"]*")")),
              QStringLiteral(R"(<svg width="%1" height="%2")").arg(kPictureSize.width).arg(kPictureSize.height));
  svg.remove(QRegularExpression(QStringLiteral(R"(\n?font-(family|size|weight|style)="[^"]*" ?)")));
  return svg.toUtf8();
}

QByteArray vector_file(const std::optional<PlotRequest>& request, FileFormat format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QString title = QStringLiteral("Vesk Plot");
  const QString about = request ? description(*request) : QString();
  if (format == FileFormat::svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(kPictureSize.width, kPictureSize.height));
    svg.setViewBox(QRect(0, 0, kPictureSize.width, kPictureSize.height));
    svg.setResolution(kDotsPerInch);
    svg.setTitle(title);
    svg.setDescription(about);
    {
      QPainter painter(&svg);
      paint_vector_plot(painter, request);
      if (request && request->marks) paint_marks(painter, request->shown());
    }
    return svg_as_drawn(bytes);
  }
  {
    // A unit a point: the writer rounds the page to whole points.
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(QSizeF(kPictureSize.width, kPictureSize.height), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(title);
    pdf.setCreator(about);
    QPainter painter(&pdf);
    paint_vector_plot(painter, request);
    if (request && request->marks) paint_marks(painter, request->shown());
  }
  return bytes;
}

}  // namespace

std::optional<FileFormat> format_named(const QString& name) {
  const QString n = name.toLower();
  if (n == QLatin1String("bmp")) return FileFormat::bmp;
  if (n == QLatin1String("jpg") || n == QLatin1String("jpeg")) return FileFormat::jpeg;
  if (n == QLatin1String("png")) return FileFormat::png;
  if (n == QLatin1String("svg")) return FileFormat::svg;
  if (n == QLatin1String("pdf")) return FileFormat::pdf;
  return std::nullopt;
}

std::optional<FileFormat> format_of_extension(const QString& file_name) {
  return format_named(QFileInfo(file_name).suffix());
}

FileFormat format_for_file_name(const QString& file_name) {
  return format_of_extension(file_name).value_or(FileFormat::bmp);
}

QString with_default_extension(const QString& file_name) {
  if (file_name.isEmpty() || !QFileInfo(file_name).suffix().isEmpty()) return file_name;
  return file_name + QStringLiteral(".bmp");
}

QByteArray encode_plot(const std::optional<PlotRequest>& request, FileFormat format) {
  if (format == FileFormat::svg || format == FileFormat::pdf) return vector_file(request, format);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format == FileFormat::bmp ? "bmp" : format == FileFormat::png ? "png" : "jpeg");
  // 95: the grid's one-pixel lines stay clean; the default 75 rings around them.
  if (format == FileFormat::jpeg) writer.setQuality(95);
  writer.write(picture_with_marks(request));  // into memory: it cannot run out of room
  return bytes;
}

QString saved_name(const QString& chosen) {
  if (names_a_special_file(QFile::encodeName(chosen))) return chosen;
  // The dialog adds its ".bmp" to every name without an extension, a device's or a pipe's too.
  const QString bare = chosen.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? chosen.chopped(4) : QString();
  if (!bare.isEmpty() && !QFileInfo::exists(chosen) && names_a_special_file(QFile::encodeName(bare))) return bare;
  return with_default_extension(chosen);
}

}  // namespace vesk
