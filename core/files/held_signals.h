#pragma once
// The signals that end a program from outside (SIGINT, SIGTERM, SIGHUP,
// SIGQUIT) during a save. They may come while a file holds neither its earlier
// bytes nor the new ones, or while a temporary file has a name in its folder.
//
// While a guard lives, a handler takes them for the whole process (any thread
// may receive them): until hold(), a signal removes the temporary file named
// by remove_on_signal() and ends the program as it would have ended anyway;
// after hold(), it waits, and is raised again, with the earlier handling, when
// the guard ends, once the file is whole. Signals the program ignored stay ignored.
// A guard made while another lives does nothing: the outer one decides.

#include <QByteArray>

namespace vesk::files {

class HeldSignals {
 public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

  // The temporary file `name` in the folder open as `folder` is removed should a
  // signal end the program before hold().
  void remove_on_signal(int folder, const QByteArray& name);
  void hold();

 private:
  bool outermost_;
};

}  // namespace vesk::files
