// Starts a program and prints the milliseconds from its start to its first
// top-level window being mapped (viewable: the test X server has no window
// manager), then ends it. Usage: time_to_window PROGRAM [ARGUMENTS…]

#include <X11/Xlib.h>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  for (XEvent event;;) {
    XNextEvent(display, &event);
    if (event.type == MapNotify) break;
  }
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%.1f\n", elapsed.count());
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  XCloseDisplay(display);
  return 0;
}
