// File > Export SPICE Model...: the designed choke written as a subcircuit file.
#pragma once

#include <string>

#include "ui/model/window_model.h"

namespace vtq::qt {

inline constexpr std::string_view kSpiceExportTitle = "Export SPICE Model";

// Asks the host where to write, then writes the model of the window's design there, replacing it only once
// complete. A window without a designed winding, or a file that cannot be written, is
// told through a message box. Returns the status-bar line of a written file, else "".
std::string ExportSpiceModel(const DesignWindow& window, WindowHost& host);

}  // namespace vtq::qt
