// A window host for tests: every prompt takes its default, every message is kept.
#pragma once

#include <string>
#include <vector>

#include "ui/model/window_model.h"

namespace vtq::testing {

struct ScriptedHost : WindowHost {
  std::vector<std::string> messages;
  std::string InputBox(std::string_view, std::string_view, std::string_view answer) override {
    return std::string(answer);
  }
  int MsgBox(std::string_view text, std::string_view) override {
    messages.emplace_back(text);
    return 1;
  }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
};

}  // namespace vtq::testing
