// The window's part of the program, loaded by the executable when no output option is given.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "command_line/command_line.h"
#include "files/descriptors.h"
#include "main_window/frm_main.h"
#include "sound/sound_player.h"
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
  int status = 0;
  {
    vesk::FrmMain window;
    window.show();
    window.tell(QString::fromUtf8(start->left_behind).split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    status = app.exec();
  }
  // The multimedia library's end waits for what a silent sound server holds: ended without it, all else done.
  if (vesk::sound_thread_held()) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}
