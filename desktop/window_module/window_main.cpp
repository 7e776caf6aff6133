// The window's part of the program, loaded by the executable when no output option is given.

#include <QApplication>
#include <cstdio>

#include "command_line/command_line.h"
#include "files/descriptors.h"
#include "main_window/frm_main.h"
#include "ui/application.h"
#include "ui/start.h"
#include "ui/twips.h"
#include "ui/window_font.h"
#include "window_module/window_entry.h"

extern "C" Q_DECL_EXPORT int vesk_window_main(const VeskWindowStart* start) {
  vesk::files::set_closed_at_start(start->closed_standard_descriptors);
  QStringList arguments;
  for (int i = 0; i < start->argc; ++i) arguments << vesk::argument_text(start->argv[i]);
  if (!vesk::graphical_session_available(arguments)) {
    std::fprintf(stderr, "vesk-plot: no graphical session found (DISPLAY is not set); "
                         "start it from a desktop session, or write a file with --output (see --help).\n");
    return 1;
  }
  int argc = start->argc;
  vesk::begin_guarded_start(arguments);
  QApplication app(argc, start->argv);
  vesk::end_guarded_start();
  vesk::set_application_identity();
  vesk::layout_scale() = vesk::application_text_scale();
  vesk::FrmMain window;
  window.show();
  window.tell(QString::fromUtf8(start->left_behind).split(QLatin1Char('\n'), Qt::SkipEmptyParts));
  return app.exec();
}
