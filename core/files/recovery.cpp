#include "files/recovery.h"

#include <QDateTime>
#include <QDir>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/descriptors.h"
#include "files/write_paths.h"

namespace vesk::files {
namespace {

const QByteArray kCopyEnd = ".earlier", kNoteEnd = ".earlier.for", kToldEnd = ".earlier.told";

QByteArray state_folder_name() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
  return QFile::encodeName(state + QStringLiteral("/vesk-plot"));
}

// The program's state folder, made private where it is new; or none.
Descriptor state_folder() {
  const QByteArray name = state_folder_name();
  QDir().mkpath(QFile::decodeName(name.left(name.lastIndexOf('/'))));
  if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) return {};
  Descriptor folder(::open(name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat status {};
  // Someone else's folder, or one others may enter, is no place for a copy of a private file.
  if (folder && (::fstat(folder.get(), &status) != 0 || status.st_uid != ::geteuid() || (status.st_mode & 077) != 0))
    return {};
  return folder;
}

QByteArray read_small_file(int folder, const QByteArray& name) {
  const Descriptor file(::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  char buffer[8192];
  const ssize_t got = file ? ::read(file.get(), buffer, sizeof buffer) : -1;
  return got > 0 ? QByteArray(buffer, got) : QByteArray();
}

}  // namespace

std::variant<RecoveryCopy, QString> RecoveryCopy::keep(const QByteArray& earlier, const QByteArray& original, int beside) {
  RecoveryCopy copy;
  const QByteArray base = split_name(original).second.left(160);
  Descriptor folder = state_folder();
  if (folder) {
    const QByteArray stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmsszzz")).toLatin1();
    copy.name_ = base + '.' + stamp + '.' + QByteArray::number(::getpid()) + kCopyEnd;
    copy.note_ = copy.name_ + ".for";
    copy.shown_ = state_folder_name() + '/' + copy.name_;
    // The note first: a copy is never left without saying whose it is.
    if (const Written noted = write_new(original + '\n', folder.get(), state_folder_name(), copy.note_, 0600); noted.reason)
      return *noted.reason;
  } else {
    folder = Descriptor(::fcntl(beside, F_DUPFD_CLOEXEC, 0));
    copy.name_ = '.' + base + ".vesk-plot" + kCopyEnd;
    copy.shown_ = split_name(original).first + '/' + copy.name_;
    copy.note_.clear();
  }
  if (const Written kept = write_new(earlier, folder.get(), split_name(copy.shown_).first, copy.name_, 0600); kept.reason) {
    if (!copy.note_.isEmpty()) ::unlinkat(folder.get(), copy.note_.constData(), 0);
    return kept.name_changed ? QStringLiteral("a recovery copy of that name is there already") : *kept.reason;
  }
  copy.folder_ = ::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0);
  return copy;
}

RecoveryCopy::RecoveryCopy(RecoveryCopy&& other) noexcept
    : folder_(std::exchange(other.folder_, -1)), name_(std::move(other.name_)), note_(std::move(other.note_)),
      shown_(std::move(other.shown_)) {}

RecoveryCopy::~RecoveryCopy() {
  if (folder_ >= 0) ::close(folder_);
}

void RecoveryCopy::discard() {
  if (folder_ < 0) return;
  ::unlinkat(folder_, name_.constData(), 0);
  if (!note_.isEmpty()) ::unlinkat(folder_, note_.constData(), 0);
  ::close(std::exchange(folder_, -1));
}

QStringList recoveries_left_behind() {
  QStringList said;
  const QByteArray name = state_folder_name();
  const Descriptor folder(::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  DIR* entries = folder ? ::fdopendir(::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0)) : nullptr;
  if (!entries) return said;
  QList<QByteArray> notes;
  while (const dirent* entry = ::readdir(entries))
    if (QByteArray(entry->d_name).endsWith(kNoteEnd)) notes << entry->d_name;
  ::closedir(entries);
  std::sort(notes.begin(), notes.end());
  for (const QByteArray& note : notes) {
    const QByteArray copy = note.chopped(4), original = read_small_file(folder.get(), note).trimmed();
    struct stat status {};
    if (::fstatat(folder.get(), copy.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      ::unlinkat(folder.get(), note.constData(), 0);  // the save ended before the copy was made
      continue;
    }
    said << QStringLiteral("The earlier contents of %1 are kept in %2: a save of it was cut short.")
                .arg(QString::fromLocal8Bit(original), QString::fromLocal8Bit(name + '/' + copy));
    ::renameat(folder.get(), note.constData(), folder.get(), (copy + kToldEnd.mid(kCopyEnd.size())).constData());
  }
  return said;
}

}  // namespace vesk::files
