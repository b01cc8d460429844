// The design window without its widgets: every control's state that the handlers read
// or change, and the handlers themselves. The Qt window and the command line both
// drive this model, so they compute through the same code.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/compare.h"
#include "analysis/spice.h"
#include "engine/design.h"
#include "files/mas.h"
#include "files/user_file.h"
#include "ui/model/host.h"
#include "ui/model/ring_view.h"

namespace vtq {

// The maker's contact details shown by the disclaimer and the Contact box (fictitious).
inline constexpr std::string_view kMakerPhone = "(555) 010-4477";
inline constexpr std::string_view kMakerFax = "(555) 010-4478";
inline constexpr std::string_view kMakerEmail = "engineering@kestralon.example";

struct ModeCaption {
  std::string_view caption, tooltip, defaultText;
};
const ModeCaption& CaptionOfMode(DesignModeOption mode);

inline constexpr int kDesignEntryParts = 8;

// How many files File > Recent Designs lists.
inline constexpr std::size_t kRecentDesignCount = 6;
inline constexpr std::string_view kMasExportTitle = "Export Design as MAS";
inline constexpr std::string_view kTouchstoneExportTitle = "Export S-Parameters";

class WindowModel {
 public:
  explicit WindowModel(WindowHost& host) : host_(host) {}

  DesignWindow window;  // design state, input boxes and option groups, output boxes
  std::string lblMainInputCaption = "Inductance (mH)";
  std::string lblMainInputToolTip = "Desired inductance of each winding on core";
  bool SecondInputEnabled = false;
  bool lstCoresVisible = false;
  std::vector<std::string> lstCores;
  std::string HelpFile;

  // Start-up: show, beep, disclaimer, help path, first automatic design.
  void Form_Load(std::string_view programFolder);
  void CalculateButton_Click();

  // A click on an option button: selects it, then runs its handler.
  void InductanceInput_Click();
  void ImpedanceInput_Click();
  void VoltageInput_Click();
  void Dmat_Click() { MaterialClick(1); }
  void Pmat_Click() { MaterialClick(2); }
  void Nmat_Click() { MaterialClick(3); }
  void Smat_Click() { MaterialClick(4); }
  void Rmat_Click() { MaterialClick(5); }
  void English_Click();
  void Metric_Click();
  void SelectMode(DesignModeOption mode);
  void SelectMaterial(int materialIndex) { MaterialClick(materialIndex); }

  // The core list: built from the material, a pick (index from 0) evaluates that core.
  void cmdSelCore_Click();
  void lstCores_Click(int index);
  // Escape in the list: it closes with nothing picked.
  void lstCores_Close() { lstCoresVisible = false; }
  // The evaluation a pick from the core list runs, by catalogue row (1 to 24).
  void PickCore(Integer row);

  // Applies the first `parts` parts of a design entry, in its order, as Open does: the
  // option buttons run their handlers under the Loading flag (labels and state change,
  // texts and results do not) and the texts go into their boxes. With all of them, then
  // exactly one calculation.
  void ApplyDesign(const DesignEntry& entry, int parts = kDesignEntryParts);

  // ---- Menus, help and the information boxes (window_model_menus.cpp) ----
  void ExitButton_Click();
  void ExitMnu_Click();
  void mnuContents_Click();
  void mnuIndex_Click();
  void AboutMnu_Click();
  void mnuContact_Click();
  // The page the index command opens: "index.html" beside the contents page HelpFile.
  std::string HelpIndexPage() const;
  // ---- end of menus ----

  // ---- Design files: Save and Open (window_model_files.cpp) ----
  void SaveDesignMnu_Click();
  void LoadMnu_Click();
  // Opens a design file as Open does once its dialog has given the path (a file named
  // on the command line).
  void OpenDesignFile(const std::string& path);
  // File > Recent Designs: the files last opened or saved, most recent first, as the host
  // remembers them. Opening one runs Open's own path; a file no longer there is said and
  // taken off the list.
  std::vector<std::string> RecentDesigns() const { return host_.RecentDesigns(); }
  void OpenRecentDesign(std::size_t index);
  // File > Export Design as MAS...: the design the window shows as MAS JSON, as
  // `vtq-cli export --mas` writes it. Written, FileStatus says where.
  void ExportMasMnu_Click();
  // What it writes: the design as MAS JSON, or why there is none. With a ring picked from
  // the core library, the menu writes the design on that ring instead.
  mas::Written MasExport() const;
  // File > Open MAS Design...: a MAS document's requirement applied to the window as Open
  // applies a design; a document of a choke on a ring is wound on that ring again and shown
  // in the core library, whose choke the analysis views then follow.
  void ImportMasMnu_Click();
  // The same with the path given; false, with LastFileError set, when it is refused.
  bool OpenMasDesign(const std::string& path);
  FileDialogSettings cmnDialog1;  // the dialog's settings, kept between uses
  // The outcome of the last Save or Open, for the status bar: FileStatus is the line to
  // show ("Saved ...", "Could not save ...: the disk is full"), LastFileError the failure
  // alone (file and reason); both empty after a cancelled dialog. LastFileUnreadable: the
  // failure was the system's (a missing file, a folder, no permission), not the file's content.
  std::string FileStatus;
  std::string LastFileError;
  bool LastFileUnreadable = false;
  // A material file whose model misses its points by more than 5 %: the warning, also at
  // the end of FileStatus; empty otherwise.
  std::string MaterialWarning;
  // ---- end of design files ----

  // ---- Printing: design report, core table, PDF export (window_model_print.cpp) ----
  void PrintButton_Click();
  void DesignMnu_Click();  // the same report as the Print button
  void TableMnu_Click();
  void ExportReportMnu_Click();
  void ExportTableMnu_Click();
  // The outcome of the last print or export, for the status bar ("Design report sent
  // to the printer Office."); empty after a failure, which a message box tells, or a cancel.
  std::string PrintStatus;
  // ---- end of printing ----

  // ---- Analysis: core table, impedance plot, SPICE model (window_model_analysis.cpp) ----
  void ViewMnu_Click();       // View > Core Table
  void mnuImpedance_Click();  // View > Impedance Plot
  // The plot's core temperature, C: the curve scales by the grade's mu_i(T) / mu_i(25 C),
  // the saturation flux density is the grade's at T. Held to -40 .. 150 C.
  void ImpedanceTemperature_Change(double celsius);
  // The plot's whole entry at once, as vtq-cli impedance gives it: the frequencies, the
  // saturation flux density and the temperature, taken as they are (the face holds them
  // to its own ranges).
  void Impedance_Change(const ImpedanceEntry& entry);
  // Measured Material...: the core's permeability from a file the user picks (the CSV
  // vtq-cli material --csv writes, or a material entry as JSON) instead of the grade's,
  // whenever the material it was loaded under is chosen. A bad file is said (LastFileError
  // holds why) and changes nothing.
  void ImpedanceMaterial_Click();
  std::shared_ptr<const analysis::Ferrite> impedanceMaterial;  // null: the grade's
  int impedanceMaterialOf = 0;                                 // the material option it was loaded under
  // Brings the views opened so far in line with the inputs and the last calculation: after
  // any edit, option click or calculation while one of their windows is open.
  void FollowDesign();
  // A core of the table applied (catalogue row 1 to 24), as a pick from the core list.
  void CompareTable_DblClick(int row);
  void ImpedanceSave_Click();   // PNG or SVG drawn by the host, CSV written here; FileStatus says where
  void ExportSpiceMnu_Click();  // written, FileStatus says where
  // What Export SPICE Model... writes: the designed choke as a subcircuit, with the user's
  // material while it is chosen, or why there is none.
  analysis::SpiceModel SpiceExport() const;
  CoreTableView coreTable;
  ImpedanceView impedance;
  ImpedanceEntry impedanceEntry;
  // ---- end of analysis ----

  // ---- Measured chokes and S-parameter files (window_model_measured.cpp) ----
  // Measured Choke...: a network analyser's or a maker's file (Touchstone, or an impedance
  // table) shown beside the model, read as `measuredEntry` says. A bad file is said
  // (LastFileError holds why) and changes nothing.
  void ImpedanceMeasured_Click();
  // The same with the path given (a file named on the command line); false when it is bad.
  bool UseMeasuredChoke(const std::string& path, const MeasuredEntry& entry);
  // Remove Measured Choke: the plot and the emission check go back to the model alone.
  void ImpedanceMeasuredClear_Click();
  MeasuredEntry measuredEntry;
  std::shared_ptr<const MeasuredChoke> measuredChoke;  // null: none
  bool measuredUnreadable = false;                     // the last refused file could not be read at all
  // File > Export S-Parameters...: the designed choke as `touchstoneEntry` says.
  void ExportTouchstoneMnu_Click();
  TouchstoneFile TouchstoneExport(const TouchstoneEntry& entry) const;
  TouchstoneEntry touchstoneEntry;
  // ---- end of measured chokes ----

  // ---- Conducted emissions (window_model_emissions.cpp) ----
  void mnuEmissions_Click();  // View > Conducted Emissions
  // The view's inputs as typed; the check follows them at once.
  void Emissions_Change(const EmissionsEntry& entry);
  // Find Core: the smallest core of the material that passes, shown in the view (or the
  // search's table saying why none does, and the closest try shown). The design window
  // keeps its inputs and its design.
  void EmissionsFindCore_Click();
  // Apply Core: the core the search found becomes the design (inductance mode, the
  // inductance its turns give, the core picked from the list), as Open applies a design.
  void EmissionsApplyCore_Click();
  void EmissionsSave_Click();  // PNG or SVG drawn by the host, CSV written here; FileStatus says where
  // Starts as an example: an off-line converter's 325 V bus switched at 65 kHz, with the
  // Y and X capacitors of a typical mains filter.
  EmissionsEntry emissionsEntry = ExampleEmissions();
  EmissionsView emissions;
  CoreSearchView coreSearch;
  // ---- end of conducted emissions ----

  // ---- Safety (window_model_safety.cpp) ----
  // The insulation and Y-capacitor inputs as typed; the safety view and the emissions
  // view's budget follow them.
  void Safety_Change(const SafetyEntry& entry);
  void mnuSafety_Click();  // View > Safety
  // Save...: the gaps as comma-separated values, through the file dialog.
  void SafetySave_Click();
  SafetyEntry safetyEntry;
  SafetyView safety;  // on the design window's core, as vtq-cli safety prints it
  SafetyWindowView safetyView;
  // ---- end of safety ----

  // ---- Core library (window_model_library.cpp) ----
  void mnuLibrary_Click();  // View > Core Library
  // The filter as typed; the list follows at once.
  void Library_Change(const LibraryEntry& entry);
  // A ring picked from the list (its part number): designed on for the window's requirement,
  // current and current density; the impedance and emission views then show that choke.
  void Library_Pick(const std::string& part);
  // Design Window's Core: the analysis views show the design window's choke again.
  void LibraryUnpick_Click();
  LibraryEntry libraryEntry;
  LibraryWindowView libraryView;
  // ---- end of core library ----

  // What the last calculation shows that an engineer should look at twice, for the status
  // line: the design's warnings in one line, empty when there are none.
  std::string DesignNote() const;

  // A choke on the ring of the entry for the window's requirement, current and current
  // density (window_model_ring.cpp); the window's material file stands in for the grade.
  RingView DesignOnRing(const RingEntry& entry) const;
  // Its impedance curve over `entry`'s span (common mode: the n windings together;
  // differential: one line's); `v` is the design, its status and problem saying why there is no curve.
  ImpedanceView RingImpedance(const RingEntry& e, const ImpedanceEntry& entry, RingView& v) const;
  // Its circuit-simulator subcircuit: pins in and out of each of the 2 to 4 windings.
  analysis::SpiceModel RingSpice(const RingEntry& e, RingView& v) const;
  // Its emission check for the view's entries and the safety inputs' budget, one line
  // through each winding: 2 single phase, 3 three phases, 4 three phases and the neutral.
  EmissionsView RingEmissions(const RingEntry& e, RingView& v) const;
  // The test bench of that check (`view`, RingEmissions' answer) with the ring's subcircuit,
  // for a circuit simulator; empty when there is no check.
  std::string RingEmissionsNetlist(const RingEntry& e, const EmissionsView& view) const;
  // Find Core over the library the entry's filter leaves (`e.library`, `e.byPrice`), for the
  // emissions view's entries with the safety inputs' budget: the window's current and
  // current density give the wire, the emission limit the turns.
  RingSearchView RingFindCore(const RingEntry& e) const;
  // Its MAS document, as `vtq-cli export --mas` with ring options writes it: the window's
  // requirement, the ring, its n windings and what they reach; `v` is the design, its status
  // and problem saying why there is no document.
  mas::Written RingMasExport(const RingEntry& e, RingView& v) const;

  DesignState& state() { return window.state; }
  InputControls& inputs() { return window.inputs; }
  OutputBoxes& outputs() { return window.outputs; }

 private:
  void ModeClick(DesignModeOption mode);
  void MaterialClick(int materialIndex);
  void ShowHelpPage(const std::string& page);  // window_model_menus.cpp
  void OpenPath(const std::string& path);      // window_model_files.cpp
  void RememberDesign(const std::string& path);
  // The user's material file while the material it was loaded under is still chosen.
  std::shared_ptr<const analysis::Ferrite> ImpedanceMaterial() const;  // window_model_analysis.cpp
  // An export the user places through the file dialog, written whole or not at all: when
  // there is nothing to export (`problem`) that is said instead of asking; the status line
  // then names `what` was written of which core, and where.
  struct Export {
    FileDialogPurpose purpose;
    std::string_view title, nothing, what;
    std::string part;  // the choke the file is of
  };
  void ExportFile(const Export& kind, const std::string& problem, const std::string& fileName,
                  const std::string& bytes);  // window_model_files.cpp
  // window_model_print.cpp
  void PrintDocument(const reports::Document& doc, std::string_view what, const std::string& fileName);
  void ExportDocument(const reports::Document& doc, std::string_view what, const std::string& fileName);

  // The plot's Save Plot...: the dialog, the picture by the host or the CSV text here.
  // `part`: the core the plot is of.
  void SavePlot(const PlotPicture& picture, std::string_view name, std::string_view what,
                std::string_view part, const std::string& csv);
  // The design the emissions view checks: the search's try while the search answers the
  // design it was made for, else the window's. A search the design has moved on from is dropped.
  const DesignWindow& EmissionsDesign();
  // The emission check of `design` for the view's entries, with the budget beside it. "max"
  // in the Y capacitor box takes the largest Y capacitance the budget allows per line.
  EmissionsView CheckedEmissions(const DesignWindow& design) const;
  // The same through `check`, the view of the entries as checked against a choke of `lines`
  // lines (a ring's windings), which share the touch-current budget.
  EmissionsView CheckedEmissions(const std::function<EmissionsView(const EmissionsEntry&)>& check,
                                 int lines) const;
  // The entries as checked: "max" replaced by that capacitance, the budget shared among
  // `lines`; `problem` when there is no budget to take it from.
  EmissionsEntry BudgetedEntry(std::string& problem, int lines) const;
  // The safety entries with the budget shared among `lines`.
  SafetyEntry SafetyOfLines(int lines) const;
  // The design a core search was made from.
  DesignState searchedFrom_;
  // The views as they follow the design window, or the ring picked from the library.
  ImpedanceView ShownImpedance() const;
  EmissionsView ShownEmissions();
  void ShowLibraryView(bool raise);
  // Find Core while a ring is picked: over the library, the ring found picked in its place.
  void FindRing();
  // The part number the analysis views are of: the picked ring's, or the design window's.
  std::string ShownPart() const;
  std::optional<RingEntry> ringPicked_;
  // The picked ring as the safety inputs wind it: their number of windings, and with the
  // mains typed, the insulation's gaps between them.
  RingEntry PickedRing() const;
  void ShowSafetyView(bool raise);  // window_model_safety.cpp

  WindowHost& host_;
  bool coreTableOpened_ = false, impedanceOpened_ = false, emissionsOpened_ = false, libraryOpened_ = false,
       safetyOpened_ = false;
};

// A design's requirements read from a MAS document (a file, "-" for standard input) into
// `entry`: the mode, the main input, the current, the frequency and, where the document
// names one, the material. `problem` says why there is none; `unreadable` when the file
// itself could not be read, not its contents.
struct MasImport {
  std::string problem;
  bool unreadable = false;
  DesignEntry entry;
  // A document of a choke on a ring (a stocked part, or a size in a library grade): the
  // ring to wind it on again with the document's turns, windings, ambient and mains, after
  // `entry` is applied. The wire follows the current density, which the format does not
  // carry: `gauge` is the document's (0: none named), for WireNote.
  std::optional<RingEntry> ring;
  int gauge = 0;
  // Empty, or why the design on the ring winds another wire than the document's.
  std::string WireNote(const RingView& v) const;
};
MasImport ImportMas(const std::string& path, const DesignEntry& base);

// A batch of option sets (a file, "-" for standard input) line by line as it streams, by
// the rules every user file meets (files::LineStream): lines of at most 64 kB, ended by
// LF, CR LF or CR, a byte-order mark dropped, a line holding a NUL said to be one.
class BatchInput {
 public:
  using Read = files::LineStream::Read;
  BatchInput() = default;
  ~BatchInput();
  bool Open(const std::string& path);  // false with error() set when it cannot be read
  Read Next(std::string& line);
  bool Ready() const;  // a whole line is read ahead: Next will not wait
  std::size_t LineCap() const;
  const std::string& error() const;

 private:
  files::LineStream lines_;
};

// The wire beside its gauge box: insulated diameter in the display unit, copper cross-section in mm2.
analysis::WireFigures WireFiguresOf(const DesignWindow& window);

// The disclaimer shown at start-up, its lines joined by a carriage return.
std::string DisclaimerText();
inline constexpr std::string_view kDisclaimerTitle = "***  KESTRALON Disclaimer  ***";
// The texts of the About and Contact boxes, lines joined by a carriage return.
std::string AboutText();
std::string ContactText();

}  // namespace vtq
