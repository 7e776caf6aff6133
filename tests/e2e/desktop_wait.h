#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace vesk::e2e {

template <typename Condition>
bool wait_until(Condition condition, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
  return true;
}

}  // namespace vesk::e2e
