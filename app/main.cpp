#include <QApplication>
#include <csignal>
#include <cstdio>

#include "main_window/display.h"
#include "main_window/frm_main.h"

int main(int argc, char* argv[]) {
  if (!vesk::graphical_session_available()) {
    std::fprintf(stderr, "vesk-plot: no graphical session found (DISPLAY is not set); "
                         "start it from a desktop session.\n");
    return 1;
  }
  // A write beyond the file-size limit should fail and be reported, not end
  // the program with the plot unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  vesk::set_application_identity();
  vesk::FrmMain window;
  window.show();
  return app.exec();
}
