#include "main_window/save_plot.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace vesk {

QStringList name_filters_from_list(const QString& filter_list) {
  const QStringList parts = filter_list.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& text = parts[i];
    const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    const QString suffix = QStringLiteral("(%1)").arg(patterns);
    filters << (text.trimmed().endsWith(suffix) ? text : QStringLiteral("%1 %2").arg(text, suffix));
  }
  return filters;
}

QString with_default_extension(const QString& file_name) {
  if (file_name.isEmpty() || !QFileInfo(file_name).suffix().isEmpty()) return file_name;
  return file_name + QLatin1Char('.') + kSaveDefaultExtension;
}

ImageFileFormat format_for_file_name(const QString& file_name) {
  const QString suffix = QFileInfo(file_name).suffix().toLower();
  if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return ImageFileFormat::jpeg;
  if (suffix == QLatin1String("png")) return ImageFileFormat::png;
  return ImageFileFormat::bmp;
}

std::optional<QString> write_image(const QImage& image, const QString& file_name) {
  static constexpr const char* kWriterFormat[] = {"bmp", "jpeg", "png"};
  QSaveFile file(file_name);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();

  QImageWriter writer(&file, kWriterFormat[int(format_for_file_name(file_name))]);
  if (format_for_file_name(file_name) == ImageFileFormat::jpeg) writer.setQuality(95);
  // The writer ignores the result of its own flush, so a full disk would
  // otherwise commit a truncated file: flush and check before the commit.
  const bool written = writer.write(image);
  if (!written || !file.flush()) {
    // A failed write first reports only "Unknown error"; another flush gives
    // the system's reason.
    file.flush();
    const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    file.cancelWriting();
    return reason;
  }
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}

SaveFileDialog::SaveFileDialog(QWidget* parent) : cdlg_savepic(new QFileDialog(parent)) {
  cdlg_savepic->setObjectName(QStringLiteral("cdlg_savepic"));
  cdlg_savepic->setOption(QFileDialog::DontUseNativeDialog);
  cdlg_savepic->setWindowTitle(kSaveDialogTitle);
  cdlg_savepic->setAcceptMode(QFileDialog::AcceptSave);
  cdlg_savepic->setFileMode(QFileDialog::AnyFile);
  cdlg_savepic->setDefaultSuffix(kSaveDefaultExtension);
  const QStringList filters = name_filters_from_list(kSaveFilterList);
  cdlg_savepic->setNameFilters(filters);
  cdlg_savepic->selectNameFilter(filters.constFirst());
  cdlg_savepic->selectFile(kSaveInitialName);
}

std::optional<QString> SaveFileDialog::ask_file_name() {
  if (cdlg_savepic->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = cdlg_savepic->selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return with_default_extension(chosen.constFirst());
}

}  // namespace vesk
