#pragma once
// The save-file dialog `cdlg_savepic`: the toolkit's own dialog (not the
// desktop's), so it looks and behaves the same everywhere. Built when first
// needed, since most runs never save, and kept: it remembers the folder.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;
class QWidget;

namespace vesk {

inline const QString kSaveDialogTitle = QStringLiteral("Save Picture");
inline const QString kSaveInitialName = QStringLiteral("Untitled.bmp");
inline const QString kSaveDefaultExtension = QStringLiteral("bmp");
inline const QString kSaveFilterList =
    QStringLiteral("Bitmap File (*.bmp)|*.bmp|JPG File (*.jpg)|*.jpg|PNG File (*.png)|*.png|SVG File (*.svg)|*.svg|"
                   "PDF File (*.pdf)|*.pdf|All Files (*.*)|*.*");

// "Text|pattern|Text|pattern…" (patterns separated by ';') as the toolkit's name
// filters "Text (patterns)", shown as "Text". The pattern *.* means every file,
// those without an extension too, so it becomes *: the toolkit would otherwise
// also put "*" in place of the extension of the name typed.
QStringList name_filters_from_list(const QString& filter_list);

// Asks the user for the name to save under; std::nullopt when they cancel.
class SaveFileAsker {
 public:
  virtual ~SaveFileAsker() = default;
  virtual std::optional<QString> ask_file_name() = 0;
};

class SaveFileDialog : public SaveFileAsker {
 public:
  explicit SaveFileDialog(QWidget* parent) : parent_(parent) {}
  std::optional<QString> ask_file_name() override;

 private:
  QWidget* parent_;
  QPointer<QFileDialog> cdlg_savepic;  // owned by the parent window
};

}  // namespace vesk
