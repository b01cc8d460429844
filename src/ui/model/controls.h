// The window's commands by control name, for faces that build their controls from the
// layout table (the Qt window's options, the web page's every control).
#pragma once

#include <string_view>

#include "ui/model/layout.h"
#include "ui/model/window_model.h"

namespace vtq {

// Runs the handler of a click on the named option button, button or menu item; false
// when no control has that name (the core list's picks go to lstCores_Click).
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
