#pragma once
// The contract between the thin executable and the window's part, a module it loads only when the window is
// wanted, so that a command-line run maps neither Qt Widgets nor what the window needs: plain C types only.

extern "C" {

struct VeskWindowStart {
  int argc;
  char** argv;
  int closed_standard_descriptors;  // bit N: descriptor N was closed when the program started
  const char* left_behind;          // lines to tell once the window shows, UTF-8, one a line; empty for none
};

// Runs the window; the program's exit status.
using VeskWindowMain = int (*)(const VeskWindowStart* start);
inline constexpr const char* kVeskWindowMain = "vesk_window_main";

}
