// The window host of the start-up and Calculate benchmarks: answers the disclaimer at
// once (nothing else is asked at start-up) and shows the window when told to.
#pragma once

#include <QWidget>
#include <string>
#include <string_view>

#include "ui/qt/main_window.h"

namespace vtq::bench {

class AnsweringHost : public vtq::WindowHost {
 public:
  QWidget* window = nullptr;
  std::string InputBox(std::string_view, std::string_view, std::string_view) override { return {}; }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {
    if (window) window->show();
  }
  void Beep() override {}
};

}  // namespace vtq::bench
