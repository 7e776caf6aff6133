#include "main_window/plot_file.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "plot/plot.h"
#include "plot/vector_plot.h"

namespace vesk {
namespace {

constexpr int kDotsPerInch = 96;  // as the saved picture's pixels

// Writes all of `bytes`. A write the system cuts short is tried again for the
// rest, which brings out the system's reason (a full disk, the file-size limit).
bool write_all(QFileDevice& file, const QByteArray& bytes) {
  for (qint64 done = 0; done < bytes.size();) {
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) return false;
    done += written;
  }
  return file.flush();
}

QString description(const PlotRequest& request) {
  const RoundedRange r = request.range;
  const char* mode = request.mode == PlotMode::line ? ", by line" : request.mode == PlotMode::point ? ", by point" : "";
  return QStringLiteral("f(x) = x^3 - 2x^2 + x^4 + 3x, x %1 to %2, y %3 to %4, clarity %5%6")
      .arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r).arg(request.clarity).arg(QLatin1String(mode));
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
    QPainter painter(&svg);
    paint_vector_plot(painter, request);
  } else {
    // A unit a point: the writer rounds the page to whole points.
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(QSizeF(kPictureSize.width, kPictureSize.height), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(title);
    pdf.setCreator(about);
    QPainter painter(&pdf);
    paint_vector_plot(painter, request);
  }
  return bytes;
}

}  // namespace

FileFormat format_for_file_name(const QString& file_name) {
  const QString suffix = QFileInfo(file_name).suffix().toLower();
  if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return FileFormat::jpeg;
  if (suffix == QLatin1String("png")) return FileFormat::png;
  if (suffix == QLatin1String("svg")) return FileFormat::svg;
  if (suffix == QLatin1String("pdf")) return FileFormat::pdf;
  return FileFormat::bmp;
}

QByteArray encode_plot(const std::optional<PlotRequest>& request, FileFormat format) {
  if (format == FileFormat::svg || format == FileFormat::pdf) return vector_file(request, format);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format == FileFormat::bmp ? "bmp" : format == FileFormat::png ? "png" : "jpeg");
  if (format == FileFormat::jpeg) writer.setQuality(95);
  writer.write(plot_picture(request));  // into memory: it cannot run out of room
  return bytes;
}

std::optional<QString> write_file(const QByteArray& bytes, const QString& file_name) {
  QSaveFile file(file_name);
  if (file.open(QIODevice::WriteOnly)) {
    // A failed flush first reports only "Unknown error"; another gives the
    // system's reason.
    if (!write_all(file, bytes)) {
      file.flush();
      const QString reason = file.errorString();
      file.cancelWriting();
      return reason;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
  }

  // No temporary file could be made beside the target. Where that is because
  // the folder allows no new files, the file itself may still be writable (a
  // shared folder, a file handed over).
  const QFileInfo target(file_name);
  const QFileInfo folder(target.absolutePath());
  if (!folder.isDir() || folder.isWritable() || target.isDir()) return file.errorString();
  if (!target.exists()) {
    return QStringLiteral("The folder %1 does not allow new files (%2).")
        .arg(QDir::toNativeSeparators(folder.absoluteFilePath()), file.errorString());
  }
  QFile in_place(file_name);
  if (!in_place.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return QStringLiteral("The file may not be written (%1), and its folder does not allow new files.")
        .arg(in_place.errorString());
  if (!write_all(in_place, bytes)) {
    in_place.flush();
    return in_place.errorString();
  }
  return std::nullopt;
}

std::optional<QString> save_plot_file(const std::optional<PlotRequest>& request, const QString& file_name) {
  return write_file(encode_plot(request, format_for_file_name(file_name)), file_name);
}

}  // namespace vesk
