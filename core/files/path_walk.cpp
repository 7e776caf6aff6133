#include "files/path_walk.h"

#include <QList>
#include <cerrno>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace vesk::files {
namespace {

constexpr int kMostLinks = 40;  // the kernel's own limit

// A sticky folder others may write to: links and files there may have been put by anyone.
bool shared(const struct stat& folder, mode_t others_bits) {
  return (folder.st_mode & S_ISVTX) && (folder.st_mode & others_bits);
}
bool of_another_user(const struct stat& thing, const struct stat& folder) {
  return thing.st_uid != ::geteuid() && thing.st_uid != folder.st_uid;
}

QByteArray joined(const QByteArray& folder, const QByteArray& part) {
  return folder == "/" ? "/" + part : folder == "." ? part : folder + '/' + part;
}

}  // namespace

std::variant<Walked, QString> walk(const QByteArray& path) {
  if (path.isEmpty()) return QStringLiteral("No file name was given.");
  std::deque<QByteArray> rest;
  for (const QByteArray& part : path.split('/')) rest.push_back(part);
  Walked walked;
  walked.folder_name = path.startsWith('/') ? "/" : ".";
  walked.folder = Descriptor(::open(walked.folder_name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!walked.folder || ::fstat(walked.folder.get(), &walked.folder_status) != 0) return reason_of(errno);
  int links = 0;
  bool through_a_link = false;  // the last part came from a link
  while (!rest.empty()) {
    const QByteArray part = rest.front();
    rest.pop_front();
    if (part.isEmpty() || part == ".") continue;
    const bool last = rest.empty();
    Descriptor opened(::openat(walked.folder.get(), part.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!opened) {
      const int error = errno;
      if (error != ENOENT || !last) return reason_of(error);
      if (through_a_link) return QStringLiteral("It is a link to a file that does not exist.");
      walked.base = part;
      return walked;
    }
    struct stat status {};
    if (::fstat(opened.get(), &status) != 0) return reason_of(errno);
    if (S_ISLNK(status.st_mode)) {
      if (shared(walked.folder_status, S_IWOTH) && of_another_user(status, walked.folder_status))
        return QStringLiteral("It is a link owned by another user in a folder that everyone may write to; such links "
                              "are not followed, since anyone there could aim one at any file.");
      if (++links > kMostLinks) return QStringLiteral("It is a loop of links (%1).").arg(reason_of(ELOOP));
      char target[PATH_MAX];
      const ssize_t length = ::readlinkat(opened.get(), "", target, sizeof target);
      if (length <= 0 || length == ssize_t(sizeof target)) return reason_of(length == 0 ? ENOENT : errno);
      const QByteArray aim(target, length);
      if (aim.endsWith('/') || !last) rest.push_front("");  // what the link names must be a folder then
      const QList<QByteArray> parts = aim.split('/');
      for (auto it = parts.rbegin(); it != parts.rend(); ++it) rest.push_front(*it);
      if (aim.startsWith('/')) {
        walked.folder = Descriptor(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        walked.folder_name = "/";
        if (!walked.folder || ::fstat(walked.folder.get(), &walked.folder_status) != 0) return reason_of(errno);
      }
      through_a_link = last;
      continue;
    }
    if (!last) {
      if (!S_ISDIR(status.st_mode)) return reason_of(ENOTDIR);
      walked.folder = std::move(opened);
      walked.folder_status = status;
      walked.folder_name = joined(walked.folder_name, part);
      continue;
    }
    const bool could_be_planted = S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode);
    if (could_be_planted && shared(walked.folder_status, S_IWOTH | S_IWGRP) && of_another_user(status, walked.folder_status))
      return QStringLiteral("It belongs to another user and lies in a shared folder (sticky, others may write to it); "
                            "such a file is written only by its owner or the folder's, since anyone there could have "
                            "put it there to be written into.");
    walked.base = part;
    walked.target = std::move(opened);
    walked.status = status;
    return walked;
  }
  return QStringLiteral("It is a folder.");
}

}  // namespace vesk::files
