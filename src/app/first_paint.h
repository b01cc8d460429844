// The moment a program's first picture is complete, for the start-up benchmark. Once the
// given number of windows have been painted (the design window and the disclaimer over
// it), the report prints "first paint <monotonic ns> <processor ns>" on standard output
// and ends the process at once: what is timed is what a user waits for before the
// picture, not the clean-up of an exit. Qt Widgets alone, so that the benchmark's
// one-label baseline uses the same report.
#pragma once

#include <QEvent>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vtq::app {

class FirstPaintReport : public QObject {
 public:
  explicit FirstPaintReport(int windows) : windows_(windows) {}

  // Installed on the application, it sees every widget's events.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || reported_) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || !widget->isWindow()) return false;
    painted_.insert(widget);
    if (painted_.size() >= windows_) {
      reported_ = true;
      // A window's children are painted right after it and the picture is handed to the
      // screen before the event loop's next turn, where the report runs.
      QTimer::singleShot(0, this, &FirstPaintReport::Report);
    }
    return false;
  }

 private:
  [[noreturn]] static void Report() {
    timespec now{}, cpu{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    auto ns = [](const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; };
    std::printf("first paint %lld %lld\n", ns(now), ns(cpu));
    std::fflush(stdout);
    std::_Exit(0);
  }

  int windows_;
  bool reported_ = false;
  QSet<const QWidget*> painted_;
};

}  // namespace vtq::app
