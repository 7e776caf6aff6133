#include "program/module_path.h"

#include <QList>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace vesk {

QByteArray module_path(const QByteArray& file_name) {
  QList<QByteArray> folders;
  if (const QByteArray chosen = qgetenv("VESK_PLOT_MODULES"); !chosen.isEmpty()) folders << chosen;
  char self[PATH_MAX];
  if (const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self); length > 0 && length < ssize_t(sizeof self)) {
    const QByteArray executable(self, length);
    const QByteArray folder = executable.left(executable.lastIndexOf('/'));
    folders << folder << folder + '/' + VESK_MODULE_DIR;
  }
  struct stat status {};
  for (const QByteArray& folder : folders)
    if (::stat((folder + '/' + file_name).constData(), &status) == 0) return folder + '/' + file_name;
  return folders.isEmpty() ? file_name : folders.constFirst() + '/' + file_name;
}

}  // namespace vesk
