// File > Export SPICE Model...: the designed choke written as a subcircuit file.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/model/window_model.h"

class QWidget;

namespace vtq::qt {

inline constexpr std::string_view kSpiceExportTitle = "Export SPICE Model";

// Asks where to write, suggesting a file name; the chosen path, or nothing on cancel.
using SavePathChooser = std::function<std::optional<std::string>(const std::string& suggestedName)>;

// Writes the model of the window's design to the chosen file, replacing it only once
// complete. A window without a designed winding, or a file that cannot be written, is
// told through a message box. Returns the status-bar line of a written file, else "".
std::string ExportSpiceModel(const DesignWindow& window, UserDialogs& dialogs, const SavePathChooser& choose);

// The desktop's save dialog, asking before it replaces a file; filters joined by ";;".
// The chosen path, or "" on cancel.
std::string ChooseFile(QWidget* parent, std::string_view title, std::string_view filters,
                       const std::string& suggestedName);

// The desktop's save dialog for the export, asking before it replaces a file.
std::optional<std::string> ChooseSpiceFile(QWidget* parent, const std::string& suggestedName);

}  // namespace vtq::qt
