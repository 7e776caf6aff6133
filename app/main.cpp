#include <QApplication>
#include <csignal>
#include <cstdio>

#include "command_line/command_line.h"
#include "files/descriptors.h"
#include "files/recovery.h"
#include "main_window/frm_main.h"
#include "ui/application.h"
#include "ui/start.h"
#include "ui/twips.h"
#include "ui/window_font.h"

int main(int argc, char* argv[]) {
  // Before anything opens a file: a closed standard descriptor would hand its number to the next file opened.
  vesk::files::open_closed_standard_descriptors();
  // A write beyond the file-size limit, or to a pipe whose reader left, should
  // fail and be reported, not end the program with the plot unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << vesk::argument_text(argv[i]);
  // A save in place that was cut short (kill -9, a power cut) left the earlier contents in a recovery copy.
  const QStringList left_behind = vesk::files::recoveries_left_behind();
  for (const QString& line : left_behind) std::fprintf(stderr, "vesk-plot: %s\n", qPrintable(line));
  if (vesk::wants_command_line(arguments)) {
    const QCoreApplication app(argc, argv);  // no window, no display needed
    QCoreApplication::setApplicationVersion(QStringLiteral(VESK_VERSION));
    return vesk::run_command_line(arguments);
  }

  if (!vesk::graphical_session_available(arguments)) {
    std::fprintf(stderr, "vesk-plot: no graphical session found (DISPLAY is not set); "
                         "start it from a desktop session, or write a file with --output (see --help).\n");
    return 1;
  }
  vesk::begin_guarded_start(arguments);
  QApplication app(argc, argv);
  vesk::end_guarded_start();
  vesk::set_application_identity();
  vesk::layout_scale() = vesk::application_text_scale();
  vesk::FrmMain window;
  window.show();
  window.tell(left_behind);
  return app.exec();
}
