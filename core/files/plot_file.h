#pragma once
// A plot as a file: the format its name asks for, the whole file made in
// memory first, then written by write_file. The window's save and the command
// line both come through here, so the same plot gives the same bytes.

#include <QByteArray>
#include <QString>
#include <optional>

#include "plot/plot_request.h"

namespace vesk {

// The five formats, each with its name: bmp, jpg, png, svg, pdf.
enum class FileFormat { bmp, jpeg, png, svg, pdf };
inline constexpr const char* kFormatNames = "bmp, jpg, png, svg, pdf";
// By a format's name (jpeg too), in any case.
std::optional<FileFormat> format_named(const QString& name);
// By the name's extension: one of the five names, .jpeg too, in any case.
std::optional<FileFormat> format_of_extension(const QString& file_name);
// What the window's save writes: by the extension, BMP for any other.
FileFormat format_for_file_name(const QString& file_name);

// The name with ".bmp" added when it has no extension.
QString with_default_extension(const QString& file_name);

// The file's bytes for the plot (without a request, the empty area a refused
// plot command leaves): the saved picture, or the vector picture. The same
// bytes whoever asks, with or without a window.
QByteArray encode_plot(const std::optional<PlotRequest>& request, FileFormat format);

// The name a save dialog's choice stands for: ".bmp" added where it has no extension, but for the name of a
// device, a pipe or another special file that is there, to which the dialog's own ".bmp" is not added either.
QString saved_name(const QString& chosen);

}  // namespace vesk
