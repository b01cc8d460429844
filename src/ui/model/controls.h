// The window's commands by control name, for faces that build their controls from the
// layout table (the Qt window's options, the web page's every control).
#pragma once

#include <string_view>

#include "ui/model/window_model.h"

namespace vtq {

// Runs the handler of a click on the named option button, button or menu item; false
// when no control has that name (the core list's picks go to lstCores_Click).
bool ClickControl(WindowModel& model, std::string_view name);

// Whether the named option button is the selected one of its group.
bool OptionSelected(const InputControls& inputs, std::string_view name);

}  // namespace vtq
