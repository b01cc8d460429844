// Everything the desktop program does before its event loop, apart from choosing the
// host: the application's names, font and icon, and the design window with the
// commands of the other parts of the program plugged in. The start-up benchmark starts
// the program through here too, so it measures what a user waits for.
#pragma once

#include <QString>
#include <string>

#include "ui/qt/main_window.h"

namespace vtq::app {

// Application-wide settings; after the QApplication, before any window.
void ConfigureApplication();

class Program {
 public:
  // The host serves the window's modal exchanges; it must outlive the program.
  explicit Program(WindowHost& host);

  qt::MainWindow& window() { return window_; }

  // The start-up: the window shown, the disclaimer, the first design; then the design
  // file, if one is named (on the command line, by a double-click in a file manager).
  void Start(const std::string& programFolder, const QString& designFile = {});

 private:
  qt::MainWindow window_;
};

}  // namespace vtq::app
