#include "files/write_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vesk {
namespace {

// Bytes a write call: a write the system cuts short is tried again for the
// rest, which brings out its reason (a full disk, the file-size limit).
constexpr qint64 kPiece = 64 * 1024;

QString reason_of(int error) { return QString::fromLocal8Bit(std::strerror(error)); }
std::optional<QString> failed(int error) {
  if (error == 0) return std::nullopt;
  return reason_of(error);
}

// 0, or the errno of the write that failed: at `offset` when given, else at
// the descriptor's own position (a stream).
int write_all(int descriptor, const QByteArray& bytes, std::optional<off_t> offset = std::nullopt) {
  for (qint64 done = 0; done < bytes.size();) {
    const auto piece = size_t(std::min(bytes.size() - done, kPiece));
    const ssize_t written = offset ? ::pwrite(descriptor, bytes.constData() + done, piece, *offset + done)
                                   : ::write(descriptor, bytes.constData() + done, piece);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    done += written;
  }
  return 0;
}

// The whole file, or std::nullopt with errno set.
std::optional<QByteArray> read_all(int descriptor, off_t size) {
  QByteArray bytes(qsizetype(size), Qt::Uninitialized);
  for (off_t done = 0; done < size;) {
    const ssize_t got = ::pread(descriptor, bytes.data() + done, size_t(size - done), done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;  // shorter than it said: changed under us
      return std::nullopt;
    }
    done += got;
  }
  return bytes;
}

int open_stream(const QByteArray& path, mode_t type, ReaderWait wait) {
  if (S_ISSOCK(type)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) {
      errno = ENAMETOOLONG;
      return -1;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()) + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket >= 0 && ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      const int error = errno;
      ::close(socket);
      errno = error;
      return -1;
    }
    return socket;
  }
  const bool without_waiting = S_ISFIFO(type) && wait == ReaderWait::no;
  const int descriptor = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (without_waiting ? O_NONBLOCK : 0));
  // A reader is there: from now on the writes wait for it as any pipe's do.
  if (descriptor >= 0 && without_waiting) ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  return descriptor;
}

std::optional<QString> write_stream(const QByteArray& bytes, const QByteArray& path, mode_t type, ReaderWait wait) {
  const int descriptor = open_stream(path, type, wait);
  if (descriptor < 0) {
    if (errno == ENXIO && S_ISFIFO(type)) return QStringLiteral("No program reads from the pipe yet.");
    return reason_of(errno);
  }
  int error = write_all(descriptor, bytes);
  if (::close(descriptor) != 0 && error == 0) error = errno;
  return failed(error);
}

std::optional<QString> write_in_place(const QByteArray& bytes, const QByteArray& path) {
  const int descriptor = ::open(path.constData(), O_RDWR | O_CLOEXEC);
  if (descriptor < 0) {
    const int error = errno;
    // Only a copy read first can be put back, should a write fail.
    if (error == EACCES && ::access(path.constData(), W_OK) == 0)
      return QStringLiteral("The file may be written but not read (%1), so it could not be restored should the "
                            "write fail; its folder does not allow new files.").arg(reason_of(error));
    return QStringLiteral("The file may not be written (%1), and its folder does not allow new files.")
        .arg(reason_of(error));
  }
  struct stat status {};
  std::optional<QByteArray> earlier;
  if (::fstat(descriptor, &status) == 0) earlier = read_all(descriptor, status.st_size);
  if (!earlier) {
    const int error = errno;
    ::close(descriptor);
    return reason_of(error);
  }

  // Reserving the new size fails with no space or over the size limit before a
  // byte changes; file systems that cannot reserve are written all the same.
  int error = ::posix_fallocate(descriptor, 0, off_t(bytes.size()));
  if (error == EOPNOTSUPP || error == EINVAL) error = 0;
  if (error == 0) error = write_all(descriptor, bytes, 0);
  if (error == 0 && ::ftruncate(descriptor, off_t(bytes.size())) != 0) error = errno;
  if (error == 0 && ::fdatasync(descriptor) != 0) error = errno;
  if (error != 0) {
    write_all(descriptor, *earlier, 0);
    if (::ftruncate(descriptor, off_t(earlier->size())) == 0) ::fdatasync(descriptor);
  }
  if (::close(descriptor) != 0 && error == 0) error = errno;
  return failed(error);
}

// Through a temporary file beside the target, renamed over it at the end;
// `started` is false when no temporary file could be made, and the reason is returned.
std::optional<QString> write_through_temporary(const QByteArray& bytes, const QString& file_name, bool& started) {
  QSaveFile file(file_name);
  started = file.open(QIODevice::WriteOnly);
  if (!started) return file.errorString();
  bool written = true;
  for (qint64 done = 0, step = 0; written && done < bytes.size(); done += step) {
    step = file.write(bytes.constData() + done, std::min(kPiece, bytes.size() - done));
    written = step > 0;
  }
  if (!written || !file.flush()) {
    // A failed flush first reports only "Unknown error"; another gives the system's reason.
    file.flush();
    const QString reason = file.errorString();
    file.cancelWriting();
    return reason;
  }
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}

}  // namespace

std::optional<QString> write_file(const QByteArray& bytes, const QString& file_name, ReaderWait wait) {
  const QByteArray path = QFile::encodeName(file_name);
  struct stat target {};
  const bool exists = ::stat(path.constData(), &target) == 0;  // through links
  if (exists && S_ISDIR(target.st_mode)) return QStringLiteral("It is a folder.");
  if (exists && !S_ISREG(target.st_mode)) return write_stream(bytes, path, target.st_mode, wait);

  bool started = false;
  const std::optional<QString> reason = write_through_temporary(bytes, file_name, started);
  if (started) return reason;

  // No temporary file could be made beside the target. Where that is because
  // the folder allows no new files, the file itself may still be writable.
  const QFileInfo resolved(exists ? QFileInfo(file_name).canonicalFilePath() : file_name);
  const QFileInfo folder(resolved.absolutePath());
  if (!folder.isDir() || folder.isWritable()) return reason;
  if (!exists) {
    return QStringLiteral("The folder %1 does not allow new files (%2).")
        .arg(QDir::toNativeSeparators(folder.absoluteFilePath()), reason.value_or(QString()));
  }
  return write_in_place(bytes, QFile::encodeName(resolved.absoluteFilePath()));
}

std::optional<QString> write_to_descriptor(const QByteArray& bytes, int descriptor) {
  return failed(write_all(descriptor, bytes));
}

}  // namespace vesk
