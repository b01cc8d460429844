// The window's commands by control name, for faces that build their controls from the
// layout table (the Qt window's options, the web page's every control).
#pragma once

#include <string_view>

#include "ui/model/layout.h"
#include "ui/model/window_model.h"

namespace vtq {

// What a face shows on its status line after a command: nothing, the outcome of a file
// command (FileStatus) or of a print command (PrintStatus).
enum class CommandStatus { None, File, Print };

// A click on a control of the window: its name, the model's handler, the status it leaves.
// One table of them serves every face: the Qt window wires its controls by these names, the
// page and the tests click by them.
struct ControlCommand {
  std::string_view name;
  void (WindowModel::*click)();
  CommandStatus status = CommandStatus::None;
};

// The command of the named option button, button or menu item; null when no control has
// that name (the core list's picks go to lstCores_Click).
const ControlCommand* FindCommand(std::string_view name);

// Runs the handler of a click on the named control; false when no control has that name.
bool ClickControl(WindowModel& model, std::string_view name);

// What an output box is called: its label's caption as the window shows it now (the
// inductance's unit follows the design), qualified where two labels read the same.
std::string OutputCaption(const layout::OutputDef& box, const OutputBoxes& outputs);

// Edit > Copy Results: every output box's caption and text, a row each with a tab
// between them, so the rows paste into a spreadsheet's two columns or read as a list.
std::string ResultsTable(const OutputBoxes& outputs);

// Whether the named option button is the selected one of its group.
bool OptionSelected(const InputControls& inputs, std::string_view name);

}  // namespace vtq
