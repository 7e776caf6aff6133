#pragma once
// The ways write_file writes, each with what it keeps should it fail
// (write_file.h tells which is taken when).

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/stat.h>

#include "files/path_walk.h"
#include "files/write_file.h"

namespace vesk::files {

// What one way of writing came to: done (no reason), failed or refused with a
// reason, or the name came to stand for another file meanwhile (look again).
struct Written {
  std::optional<QString> reason;
  bool name_changed = false;
};

// The free name `base` in the folder open as `folder` (`folder_name` for messages): a new file, `mode` as the
// system's creation mask leaves it, that appears whole or not at all.
Written write_new(const QByteArray& bytes, int folder, const QByteArray& folder_name, const QByteArray& base,
                  mode_t mode);

// The regular file the walk opened: a new file renamed over it where that keeps what the file is, else in place.
Written write_existing(const QByteArray& bytes, const Walked& where, const WriteOptions& options);

// The regular file the walk opened, overwritten in place; `no_new_files`: because its folder allows no new
// files, which a refusal then says too.
Written write_in_place(const QByteArray& bytes, const Walked& where, const WriteOptions& options, bool no_new_files);

// The advisory lock two saves of one file take, on a descriptor of its own (closed, it is let go); 0 or the errno
// (EWOULDBLOCK: another save holds it and this one may not wait).
int lock_file(const Descriptor& file, const WriteOptions& options);

}  // namespace vesk::files
