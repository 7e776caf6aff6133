#pragma once
// The ways write_file writes, each with what it keeps should it fail
// (write_file.h tells which is taken when).

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/stat.h>

#include "files/write_file.h"

namespace vesk::files {

// What one way of writing came to: done (no reason), failed or refused with a
// reason, or the name came to stand for another file meanwhile (look again).
struct Written {
  std::optional<QString> reason;
  bool name_changed = false;
};

// A name that does not exist yet: a new file, `mode` as the system's creation
// mask leaves it, that appears whole or not at all.
Written write_new(const QByteArray& bytes, const QByteArray& path, mode_t mode);

// The regular file open as `target` (O_PATH), with its `status`: a new file
// renamed over it where that keeps what the file is, else in place.
Written write_existing(const QByteArray& bytes, int target, const struct stat& status, const QByteArray& path,
                       Waiting wait);

// The regular file open as `target`, overwritten in place; `no_new_files`:
// because its folder allows no new files, which a refusal then says too.
Written write_in_place(const QByteArray& bytes, int target, const QByteArray& path, Waiting wait, bool no_new_files);

}  // namespace vesk::files
