// A host that answers the window's modal exchanges from a script and records every
// exchange in order, so tests can check what the user would have seen and when.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model/window_model.h"

namespace vtq::test {

struct Shown {
  std::string title, text;  // text with its lines joined by "\r"
};

class ScriptedHost : public WindowHost {
 public:
  // Everything that happened, in order: "show", "beep", "msgbox <title>",
  // "input <title>", "focus <control>", "help <page>", "unload".
  std::vector<std::string> events;
  std::vector<Shown> messages;          // message boxes not yet taken by the test
  std::deque<std::string> answers;      // answers to the next input prompts
  std::vector<std::string> unexpected;  // prompts that found no scripted answer
  bool helpReadable = true;
  std::function<void()> onShow;  // a widget test shows the real window here

  std::string InputBox(std::string_view prompt, std::string_view title, std::string_view) override {
    events.push_back("input " + std::string(title));
    if (answers.empty()) {
      unexpected.push_back("input prompt \"" + std::string(title) + "\": " + std::string(prompt));
      return {};
    }
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  int MsgBox(std::string_view text, std::string_view title) override {
    events.push_back("msgbox " + std::string(title));
    messages.push_back({std::string(title), std::string(text)});
    return 1;
  }
  void SetFocus(std::string_view control) override { events.push_back("focus " + std::string(control)); }
  void ShowWindow() override {
    events.push_back("show");
    if (onShow) onShow();
  }
  void Beep() override { events.push_back("beep"); }
  void Unload() override { events.push_back("unload"); }
  bool ShowHelp(std::string_view page) override {
    events.push_back("help " + std::string(page));
    return helpReadable;
  }

  // The titles of the message boxes shown since the last call; the test has seen them.
  std::vector<std::string> TakeMessageTitles() {
    std::vector<std::string> titles;
    for (const auto& m : messages) titles.push_back(m.title);
    messages.clear();
    return titles;
  }
};

}  // namespace vtq::test
