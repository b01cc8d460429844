#include "analysis/silent_dialogs.h"

#include "engine/validate.h"

namespace vtq::analysis {

std::string SilentDialogs::InputBox(std::string_view prompt, std::string_view, std::string_view) {
  throw PromptWouldShow{std::string(prompt.substr(0, prompt.find('\r')))};
}

int SilentDialogs::MsgBox(std::string_view, std::string_view title) {
  titles.emplace_back(title);
  return 1;
}

std::optional<std::string> InputProblem(const InputControls& inputs) {
  InputControls copy = inputs;
  SilentDialogs dialogs;
  try {
    ValidateInputs(copy, dialogs);
  } catch (const PromptWouldShow& p) {
    return p.firstLine;
  }
  return std::nullopt;
}

}  // namespace vtq::analysis
