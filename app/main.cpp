// The program: a command line of its own, which needs the core alone, or the window, whose part (the toolkit's
// widgets and all) is a module loaded only then.

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>

#include "command_line/command_line.h"
#include "files/descriptors.h"
#include "files/recovery.h"
#include "program/module_path.h"
#include "window_module/window_entry.h"

int main(int argc, char* argv[]) {
  // Before anything opens a file: a closed standard descriptor would hand its number to the next file opened.
  vesk::files::open_closed_standard_descriptors();
  // A write beyond the file-size limit, or to a pipe whose reader left, should
  // fail and be reported, not end the program with the plot unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  // A save in place that was cut short (kill -9, a power cut) left the earlier contents in a recovery copy.
  const QStringList left_behind = vesk::files::recoveries_left_behind();
  for (const QString& line : left_behind) std::fprintf(stderr, "vesk-plot: %s\n", qPrintable(line));
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << vesk::argument_text(argv[i]);
  if (vesk::wants_command_line(arguments)) {
    const QCoreApplication app(argc, argv);  // no window, no display needed
    QCoreApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    return vesk::run_command_line(arguments);
  }
  const QByteArray module = vesk::module_path("vesk-plot-window.so");
  void* window = ::dlopen(module.constData(), RTLD_NOW | RTLD_LOCAL);
  const auto run_window = window ? reinterpret_cast<VeskWindowMain>(::dlsym(window, kVeskWindowMain)) : nullptr;
  if (!run_window) {
    std::fprintf(stderr, "vesk-plot: the window's part of the program could not be loaded: %s\n", ::dlerror());
    return 1;
  }
  const QByteArray told = left_behind.join(QLatin1Char('\n')).toUtf8();
  const VeskWindowStart start{argc, argv, vesk::files::closed_at_start_mask(), told.constData()};
  return run_window(&start);
}
