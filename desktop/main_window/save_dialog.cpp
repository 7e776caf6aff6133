#include "main_window/save_dialog.h"

#include <QFileDialog>

#include "files/plot_file.h"

namespace vesk {

QStringList name_filters_from_list(const QString& filter_list) {
  const QStringList parts = filter_list.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
  }
  return filters;
}

std::optional<QString> SaveFileDialog::ask_file_name() {
  if (!cdlg_savepic) {
    cdlg_savepic = new QFileDialog(parent_);
    cdlg_savepic->setObjectName(QStringLiteral("cdlg_savepic"));
    // The list shows each entry's text as written ("All Files (*.*)"), not the
    // patterns the dialog filters by.
    cdlg_savepic->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    cdlg_savepic->setWindowTitle(kSaveDialogTitle);
    cdlg_savepic->setAcceptMode(QFileDialog::AcceptSave);
    cdlg_savepic->setFileMode(QFileDialog::AnyFile);
    cdlg_savepic->setDefaultSuffix(kSaveDefaultExtension);
    cdlg_savepic->setNameFilters(name_filters_from_list(kSaveFilterList));
    cdlg_savepic->selectFile(kSaveInitialName);
  }
  if (cdlg_savepic->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = cdlg_savepic->selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return saved_name(chosen.constFirst());
}

}  // namespace vesk
