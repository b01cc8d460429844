// The moment a start-up probe's window is first on screen: both probes (the bare window
// and the program) run their event loop until the window's first paint, then tell the
// benchmark through the pipe named on their command line, so that what is timed is the
// start up to the first picture, not the probe's second paint or its exit.
#pragma once

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace vtq::bench {

// Sees the window's paint events: the window itself is painted first, its children
// right after it within the same event, and the picture is handed on when all are done.
class FirstPaint : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// Runs the event loop until `window` has been painted (two seconds at most), then
// writes the processor time the process has used so far, in milliseconds, to the file
// descriptor given as `fdText` (nothing when it is null). False when no paint came.
inline bool ReportFirstPaint(QWidget& window, const char* fdText) {
  FirstPaint watch;
  window.installEventFilter(&watch);
  QElapsedTimer waited;
  waited.start();
  while (!watch.painted && waited.elapsed() < 2000)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  // The paint event's own processing ends within the same event: let it finish.
  QApplication::processEvents();
  window.removeEventFilter(&watch);
  if (!watch.painted) return false;
  if (fdText) {
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const std::string line = std::to_string(cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6) + "\n";
    const int fd = std::atoi(fdText);
    if (write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return false;
    close(fd);
  }
  return true;
}

}  // namespace vtq::bench
