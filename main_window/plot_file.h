#pragma once
// Writing a plot to a file: the format its name asks for, the whole file made
// in memory first, then a write that never leaves a half-written file behind
// where it can help it. The window's save and the command line both write
// through here, so the same plot gives the same bytes.

#include <QByteArray>
#include <QString>
#include <optional>

#include "plot/plot_request.h"

namespace vesk {

// By the name's extension, in any case: .jpg or .jpeg JPEG, .png PNG, .svg SVG,
// .pdf PDF, anything else BMP.
enum class FileFormat { bmp, jpeg, png, svg, pdf };
FileFormat format_for_file_name(const QString& file_name);

// The file's bytes for the plot (without a request, the empty area a refused
// plot command leaves): the saved picture, or the vector picture.
QByteArray encode_plot(const std::optional<PlotRequest>& request, FileFormat format);

// Writes `bytes` to `file_name` through a temporary file in the same folder
// that replaces the target only once all of it is written. Where the folder
// allows no new file but the file itself may be written, writes it in place.
// Returns the reason when the write failed; then any earlier file of that
// name is untouched, but for a write in place that failed half-way.
std::optional<QString> write_file(const QByteArray& bytes, const QString& file_name);

// Both: what a save writes.
std::optional<QString> save_plot_file(const std::optional<PlotRequest>& request, const QString& file_name);

}  // namespace vesk
