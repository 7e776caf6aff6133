#include "files/descriptors.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vesk::files {
namespace {

bool closed_at_start[3] = {};

}  // namespace

void open_closed_standard_descriptors() {
  for (int fd = 0; fd < 3; ++fd)
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      closed_at_start[fd] = true;
      // The lowest free number: this one.
      if (::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd) std::abort();
    }
}

bool was_closed_at_start(int fd) { return fd >= 0 && fd < 3 && closed_at_start[fd]; }

int closed_at_start_mask() { return int(closed_at_start[0]) | int(closed_at_start[1]) << 1 | int(closed_at_start[2]) << 2; }

void set_closed_at_start(int mask) {
  for (int fd = 0; fd < 3; ++fd) closed_at_start[fd] = mask & (1 << fd);
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

int Descriptor::close() {
  // Never tried again: on Linux the descriptor is gone whatever close says.
  const int result = ::close(std::exchange(fd_, -1));
  return result == 0 ? 0 : errno;
}

QString reason_of(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray descriptor_path(int fd) { return "/proc/self/fd/" + QByteArray::number(fd); }

int write_all(int fd, const QByteArray& bytes, std::optional<off_t> offset, qint64* written_so_far) {
  qint64 unused = 0;
  qint64& done = written_so_far ? *written_so_far : unused;
  for (done = 0; done < bytes.size();) {
    const auto piece = size_t(std::min(bytes.size() - done, kWritePiece));
    const ssize_t written = offset ? ::pwrite(fd, bytes.constData() + done, piece, *offset + done)
                                   : ::write(fd, bytes.constData() + done, piece);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    if (written == 0) return EIO;  // a write that takes nothing will never end
    done += written;
  }
  return 0;
}

std::optional<QByteArray> read_all(int fd, off_t size) {
  QByteArray bytes(qsizetype(size), Qt::Uninitialized);
  for (off_t done = 0; done < size;) {
    const ssize_t got = ::pread(fd, bytes.data() + done, size_t(size - done), done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;  // shorter than it said: changed under us
      return std::nullopt;
    }
    done += got;
  }
  return bytes;
}

int sync(int fd, bool data_only) {
  for (;;) {
    if ((data_only ? ::fdatasync(fd) : ::fsync(fd)) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

std::pair<QByteArray, QByteArray> split_name(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) return {".", path};
  return {slash == 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1)};
}

}  // namespace vesk::files
