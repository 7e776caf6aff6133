#include "files/held_signals.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vesk::files {
namespace {

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Shared with the handler, which may run on any thread: only what a handler may touch.
std::array<struct sigaction, kSignals.size()> earlier_actions{};
std::array<bool, kSignals.size()> taken{};
volatile sig_atomic_t holding = 0;
volatile sig_atomic_t held_signal = 0;
int temporary_folder = AT_FDCWD;
char temporary_name[256] = {};  // empty: no named temporary file
bool active = false;

void on_signal(int signal) {
  if (holding) {
    held_signal = signal;
    return;
  }
  if (temporary_name[0] != '\0') ::unlinkat(temporary_folder, temporary_name, 0);
  // As the program would have ended without us: the signal, handled as before,
  // once this handler returns.
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    if (kSignals[i] == signal) ::sigaction(signal, &earlier_actions[i], nullptr);
  ::raise(signal);
}

}  // namespace

HeldSignals::HeldSignals() : outermost_(!active) {
  if (!outermost_) return;
  active = true;
  holding = 0;
  held_signal = 0;
  temporary_name[0] = '\0';
  struct sigaction ours {};
  ours.sa_handler = on_signal;
  sigfillset(&ours.sa_mask);
  ours.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    taken[i] = false;
    if (::sigaction(kSignals[i], nullptr, &earlier_actions[i]) != 0) continue;
    if (earlier_actions[i].sa_handler == SIG_IGN) continue;
    taken[i] = ::sigaction(kSignals[i], &ours, nullptr) == 0;
  }
}

HeldSignals::~HeldSignals() {
  if (!outermost_) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    if (taken[i]) ::sigaction(kSignals[i], &earlier_actions[i], nullptr);
  temporary_name[0] = '\0';
  holding = 0;
  active = false;
  if (held_signal != 0) ::raise(held_signal);
}

void HeldSignals::remove_on_signal(int folder, const QByteArray& name) {
  if (!outermost_ || size_t(name.size()) >= sizeof temporary_name) return;
  temporary_folder = folder;
  // The first byte last: the handler may look at any moment, and must see the whole name or none.
  std::memcpy(temporary_name + 1, name.constData() + 1, size_t(name.size()));
  std::atomic_thread_fence(std::memory_order_seq_cst);
  temporary_name[0] = name[0];
}

void HeldSignals::hold() {
  if (outermost_) holding = 1;
}

}  // namespace vesk::files
