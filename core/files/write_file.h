#pragma once
// Writing a file's bytes so that a failure loses nothing. Every save of the
// window and the command line ends here.
//
// Where the target stands decides how:
// - A regular file (or a name not taken yet), through a symbolic link too:
//   a temporary file beside it, renamed over it once every byte is written and
//   flushed. The link stays a link; the file it points to gets the bytes.
// - A regular file in a folder that allows no new files (a shared folder, a
//   file handed over): in place. The whole new size is reserved before the
//   first byte changes, which fails with no space or over the file-size limit
//   while the file is still untouched; should a write fail all the same, the
//   earlier bytes, read into memory first, are put back and the file cut to
//   its earlier length.
// - A character device, a FIFO or a socket (or a link to one): written
//   through as a stream. The node stays what it was.
// On failure the reason names the system's cause, and the earlier file is as
// it was, byte for byte.

#include <QByteArray>
#include <QString>
#include <optional>

namespace vesk {

// A FIFO nobody reads yet: the window cannot wait for a reader without
// freezing, a command in a pipeline can.
enum class ReaderWait { no, yes };

std::optional<QString> write_file(const QByteArray& bytes, const QString& file_name,
                                  ReaderWait wait = ReaderWait::no);

// All of `bytes` to an open descriptor (standard output), as a stream.
std::optional<QString> write_to_descriptor(const QByteArray& bytes, int descriptor);

}  // namespace vesk
