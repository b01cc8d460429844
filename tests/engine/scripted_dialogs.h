// A user who answers input prompts from a script and records every exchange.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/dialogs.h"

namespace vtq::testing {

struct Prompt {
  std::string text, title, defaultAnswer;
};
struct Shown {
  std::string text, title;
};

class ScriptedDialogs : public UserDialogs {
 public:
  std::deque<std::string> answers;  // next answers; when empty, the default answer is taken
  std::vector<Prompt> prompts;
  std::vector<Shown> messages;
  std::vector<std::string> focus;

  std::string InputBox(std::string_view prompt, std::string_view title, std::string_view def) override {
    prompts.push_back({std::string(prompt), std::string(title), std::string(def)});
    if (answers.empty()) return std::string(def);
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  int MsgBox(std::string_view text, std::string_view title) override {
    messages.push_back({std::string(text), std::string(title)});
    return 1;
  }
  void SetFocus(std::string_view control) override { focus.emplace_back(control); }
};

}  // namespace vtq::testing
