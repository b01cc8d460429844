// The design window's host on the desktop: real modal dialogs, the beep, the help
// viewer. Every modal exchange of the model passes through here, so tests can put a
// scripted host in its place.
#pragma once

#include <QPointer>

#include "ui/model/window_model.h"

namespace vtq::qt {

class HelpWindow;
class MainWindow;

class QtHost : public WindowHost {
 public:
  QtHost() = default;
  ~QtHost() override;
  // The window the dialogs belong to; set once it exists.
  void SetWindow(MainWindow* window) { window_ = window; }

  std::string InputBox(std::string_view prompt, std::string_view title,
                       std::string_view defaultAnswer) override;
  int MsgBox(std::string_view text, std::string_view title) override;
  void SetFocus(std::string_view control) override;
  void ShowWindow() override;
  void Beep() override;
  void Unload() override;
  bool ShowHelp(std::string_view page) override;

  HelpWindow* helpWindow() const;

 private:
  QPointer<MainWindow> window_;
  QPointer<HelpWindow> help_;
};

// A message's lines are joined by a lone carriage return; a Qt label breaks at "\n".
QString DialogText(std::string_view text);

}  // namespace vtq::qt
