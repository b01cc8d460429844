// Dialogs that show nothing, for calculations run on a copy of the window: what-if
// evaluations must not put a message box in front of the user for every core tried.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/design_state.h"
#include "engine/dialogs.h"

namespace vtq::analysis {

// Thrown by SilentDialogs::InputBox: a prompt cannot be answered without the user, so
// the silent run is abandoned at the first one.
struct PromptWouldShow {
  std::string firstLine;
};

class SilentDialogs : public UserDialogs {
 public:
  std::string InputBox(std::string_view prompt, std::string_view title,
                       std::string_view defaultAnswer) override;
  // Records the title and answers OK, as the user closing the box would.
  int MsgBox(std::string_view text, std::string_view title) override;
  void SetFocus(std::string_view) override {}

  std::vector<std::string> titles;  // of every message box that would have been shown
};

// The first line of the prompt the input checks would show for these inputs, or none
// when every input the design mode uses already holds a number above zero.
std::optional<std::string> InputProblem(const InputControls& inputs);

}  // namespace vtq::analysis
