// The modal exchanges a calculation may have with the user. The window implements
// them with real dialogs, tests with scripted answers, the command line without asking.
#pragma once

#include <string>
#include <string_view>

namespace vtq {

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // Modal input prompt: the text the user confirmed, or an empty text on cancel.
  virtual std::string InputBox(std::string_view prompt, std::string_view title,
                               std::string_view defaultAnswer) = 0;
  // Modal message box with an OK button and no icon; lines are joined by a lone
  // carriage return. Returns the button pressed (1 = OK).
  virtual int MsgBox(std::string_view text, std::string_view title) = 0;
  // Move the input focus to the named control.
  virtual void SetFocus(std::string_view control) = 0;
};

}  // namespace vtq
