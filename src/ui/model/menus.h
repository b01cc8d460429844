// The design window's menu bar as data: the menus, their entries in order, each entry's
// caption ("&" before its access key) and keys. The Qt window and the web page both build
// their menus from it; an entry is known by its control name, which is also the command
// a face connects to it.
#pragma once

#include <span>
#include <string_view>

namespace vtq::menus {

enum class Kind {
  Command,    // runs the command of its name
  Submenu,    // opens `entries`
  Recent,     // a submenu the face fills with the recent designs each time it opens
  Separator,  // a line between groups
};

struct Entry {
  std::string_view name;
  Kind kind = Kind::Command;
  std::string_view caption = {};
  // Keys in portable text ("Ctrl+O"); where there are two, "; " between them, the first
  // shown in the menu.
  std::string_view keys = {};
  std::span<const Entry> entries = {};
};

struct Menu {
  std::string_view name, caption;
  std::span<const Entry> entries;
};

inline constexpr Entry kPrintEntries[] = {
    {"DesignMnu", Kind::Command, "&Design", "Ctrl+P"},
    {"TableMnu", Kind::Command, "&Table of Cores"},
};

inline constexpr Entry kFileEntries[] = {
    {"LoadMnu", Kind::Command, "Open Design...", "Ctrl+O"},
    {"SaveDesignMnu", Kind::Command, "Save &Design...", "Ctrl+S"},
    {"mnuRecent", Kind::Recent, "Rec&ent Designs"},
    {"mnuSep1", Kind::Separator},
    {"PrintMnu", Kind::Submenu, "&Print", {}, kPrintEntries},
    {"ExportReportMnu", Kind::Command, "Export &Report as PDF..."},
    {"ExportTableMnu", Kind::Command, "Export Table of &Cores as PDF..."},
    {"ImportMasMnu", Kind::Command, "Open MAS Des&ign..."},
    {"ExportMasMnu", Kind::Command, "Export Design as &MAS..."},
    {"ExportSpiceMnu", Kind::Command, "Export &SPICE Model..."},
    {"ExportTouchstoneMnu", Kind::Command, "Export S-Para&meters..."},
    {"mnuSep2", Kind::Separator},
    // Ctrl+Q, the desktop's usual way out, is the one shown; Alt+F4 closes the window anyway.
    {"ExitMnu", Kind::Command, "E&xit", "Ctrl+Q; Alt+F4"},
};

inline constexpr Entry kEditEntries[] = {
    {"CopyResultsMnu", Kind::Command, "&Copy Results"},
};

inline constexpr Entry kViewEntries[] = {
    {"ViewMnu", Kind::Command, "Core &Table"},
    {"mnuImpedance", Kind::Command, "&Impedance Plot"},
    {"mnuEmissions", Kind::Command, "Conducted &Emissions"},
    {"mnuLibrary", Kind::Command, "Core &Library"},
    {"mnuSafety", Kind::Command, "&Safety"},
};

inline constexpr Entry kHelpEntries[] = {
    {"mnuContents", Kind::Command, "Contents", "F1"},
    {"mnuIndex", Kind::Command, "&Index"},
    {"mnuSep3", Kind::Separator},
    {"AboutMnu", Kind::Command, "&About"},
    {"mnuContact", Kind::Command, "Contact &Us"},
};

inline constexpr Menu kMenuBar[] = {
    {"FileMnu", "&File", kFileEntries},
    {"EditMnu", "&Edit", kEditEntries},
    {"mnuView", "&View", kViewEntries},
    {"HelpMnu", "&Help", kHelpEntries},
};

}  // namespace vtq::menus
