#pragma once
// Saving the plot: the save-file dialog `cdlg_savepic`, the choice of file
// format, and a write that never leaves a half-written file behind.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QFileDialog;
class QImage;
class QWidget;

namespace vesk {

// The dialog's settings, as the window layout fixes them.
inline const QString kSaveDialogTitle = QStringLiteral("Save Picture");
inline const QString kSaveInitialName = QStringLiteral("Untitled.bmp");
inline const QString kSaveDefaultExtension = QStringLiteral("bmp");
inline const QString kSaveFilterList =
    QStringLiteral("Bitmap File (*.bmp)|*.bmp|JPG File (*.jpg)|*.jpg|All Files (*.*)|*.*");

// "Text|pattern|Text|pattern…" (patterns separated by ';') as the toolkit's name
// filters "Text (pattern pattern)"; a text that already ends with its patterns
// in parentheses is kept as it stands.
QStringList name_filters_from_list(const QString& filter_list);

// The name with ".bmp" added when it has no extension.
QString with_default_extension(const QString& file_name);

// The format a name asks for: .jpg or .jpeg JPEG, .png PNG, anything else BMP.
enum class ImageFileFormat { bmp, jpeg, png };
ImageFileFormat format_for_file_name(const QString& file_name);

// Writes `image` to `file_name` in the format its name asks for, through a
// temporary file in the same folder that replaces the target only once all of
// it is written. Returns the reason when the write failed; then any earlier
// file of that name is untouched and no temporary file is left.
std::optional<QString> write_image(const QImage& image, const QString& file_name);

// Asks the user for the name to save under; std::nullopt when they cancel.
class SaveFileAsker {
 public:
  virtual ~SaveFileAsker() = default;
  virtual std::optional<QString> ask_file_name() = 0;
};

// The real dialog: the toolkit's own (not the desktop's), so it looks and
// behaves the same everywhere.
class SaveFileDialog : public SaveFileAsker {
 public:
  explicit SaveFileDialog(QWidget* parent);
  std::optional<QString> ask_file_name() override;

 private:
  QFileDialog* cdlg_savepic;  // owned by the parent window
};

}  // namespace vesk
