// The file dialog of the design window: one object for both file commands, whose
// settings keep their values from one use to the next (so the default extension that
// Save sets also applies when Open shows the dialog afterwards).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/numbers.h"

namespace vtq {

// Option bits of the dialog.
inline constexpr std::int32_t kFileDialogOverwritePrompt = 2;  // ask before replacing a file
inline constexpr std::int32_t kFileDialogHideReadOnly = 4;     // no "open read-only" check box

// Descriptions and patterns in pairs, every part joined by a vertical bar.
inline constexpr std::string_view kDesignFileFilter = "All Files (*.*)|*.*|CMN Inductor Files (*.vtq)|*.vtq";

struct FileDialogSettings {
  std::string Filter;
  std::string DefaultExt;   // added to a name typed without extension; empty for none
  Integer FilterIndex = 0;  // the filter selected when the dialog opens, counted from 1
  std::int32_t Flags = 0;
};

enum class FileDialogPurpose { Save, Open };

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Shows the dialog modally; the chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> Show(FileDialogPurpose purpose, const FileDialogSettings& settings) = 0;
};

}  // namespace vtq
