// vtq-cli: the design window's calculations from a shell, through the same window model.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model/window_model.h"

namespace vtq::cli {

// The design options shared by the subcommands that compute a design.
struct DesignOptions {
  DesignModeOption mode = DesignModeOption::Inductance;
  std::string main = "1", current = "5", frequency = "10000", density = "400";
  int material = 3;  // 1 to 5 = D, P, N, S, R
  bool english = true;
  std::optional<Integer> core;  // a catalogue row to evaluate instead of the automatic choice
};

// A message box the calculation showed: its title and its lines.
struct Message {
  std::string title;
  std::vector<std::string> lines;
};

// An input check that would prompt: no prompt is possible on a command line.
struct PromptRequired {
  std::string firstLine;
};

// The window's host for a shell: no window, no beep, message boxes recorded (once
// recording is on), the focus remembered, and any input prompt refused.
class ShellHost : public WindowHost {
 public:
  std::string InputBox(std::string_view prompt, std::string_view title, std::string_view defaultAnswer) override;
  int MsgBox(std::string_view text, std::string_view title) override;
  void SetFocus(std::string_view control) override { focus = std::string(control); }
  void ShowWindow() override {}
  void Beep() override {}

  bool recording = false;
  std::vector<Message> messages;
  std::optional<std::string> focus;
};

// Starts the model as the window starts, then applies the options as opening a design
// file does and runs exactly one calculation. Throws PromptRequired.
void ComputeDesign(WindowModel& model, ShellHost& host, const DesignOptions& options);

// Machine-readable design: outputs, txtPN place, every design-state field, messages, focus.
std::string DesignJson(const WindowModel& model, const ShellHost& host);
// Readable listing: the window's captions with the values and units, then the messages.
void PrintDesign(std::ostream& out, const WindowModel& model, const ShellHost& host);

// Runs the command line; returns the exit status (0 ok, 1 failure, 2 usage or input).
int Run(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace vtq::cli
