// vtq-cli: the design window's calculations from a shell, through the same window model.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model/design_link.h"
#include "ui/model/window_model.h"

namespace CLI {
class App;
class Validator;
}  // namespace CLI

namespace vtq::cli {

// The design options shared by the subcommands that compute a design: a design entry
// applied as Open applies a design file.
using DesignOptions = DesignEntry;

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
// recording is on), the focus remembered, any input prompt refused, and a file dialog
// answered with the path given on the command line (none: cancelled).
class ShellHost : public WindowHost {
 public:
  std::string InputBox(std::string_view prompt, std::string_view title,
                       std::string_view defaultAnswer) override;
  int MsgBox(std::string_view text, std::string_view title) override;
  void SetFocus(std::string_view control) override { focus = std::string(control); }
  void ShowWindow() override {}
  void Beep() override {}
  std::optional<std::string> ChooseFile(FileDialogPurpose, const FileDialogSettings&) override {
    return path;
  }
  // The shell's printer is standard output: a printed page is kept for the command to
  // write as text. A PDF goes through the PDF writer module; "-" keeps its bytes for
  // standard output instead (report_command.cpp).
  bool CanPrint() const override { return true; }
  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override {
    printed = doc;
    return {"standard output", {}};
  }
  std::string WritePdf(const reports::Document& doc, const std::string& file) override;
  reports::ReportDate Today() override { return date ? *date : WindowHost::Today(); }

  bool recording = false;
  std::optional<std::string> path;
  std::vector<Message> messages;
  std::optional<std::string> focus;
  std::optional<reports::Document> printed;
  std::string pdf;         // the PDF written to "-"
  std::string pdfFailure;  // why the last PDF could not be written
  std::optional<reports::ReportDate> date;
};

// Starts the model as the window starts, then applies the options as opening a design
// file does, with its one calculation. Throws PromptRequired.
void ComputeDesign(WindowModel& model, ShellHost& host, const DesignOptions& options);

// Machine-readable design: outputs, txtPN place, every design-state field, messages, focus;
// indented by `indent` spaces a level, or on one line when negative.
std::string DesignJson(const WindowModel& model, const ShellHost& host, int indent = 2);
// The same, appended to `out`: a batch reuses one buffer for all its lines.
void WriteDesignJson(std::string& out, const WindowModel& model, const ShellHost& host, int indent);
// Readable listing: the window's captions with the values and units.
void PrintDesign(std::ostream& out, const WindowModel& model);
// The design as `design` prints it: the JSON object, or the readable listing.
void PrintDesignAs(std::ostream& out, const WindowModel& model, const ShellHost& host, bool json);
// A figure of a physical quantity, six significant digits.
std::string Figure(double value);
// The message boxes the calculation showed, one line each: "Title: line line ...". They
// go to the error stream of every command, so that the output holds only the data.
void PrintMessages(std::ostream& err, const ShellHost& host);

// The words the design options take: the modes, the materials' letters in material order
// (1 to 5), the units (inches, millimetres); the first of each is what the help lists first.
const std::vector<std::string>& ModeWords();
const std::vector<std::string>& MaterialLetters();
const std::vector<std::string>& UnitWords();

// The design options as typed, bound to a subcommand by AddDesignOptions.
struct DesignArgs {
  DesignOptions options;
  std::string mode = "inductance", material = "N", units = "in";
  DesignOptions Resolve() const;
};

// Exit statuses, one rule on every command: 0 done, 1 a failure outside the program (a
// file, a printer), 2 a usage error or a bad input (one the window would have asked for
// again, an emission source with nothing in the band), 3 a design that did not complete (no
// core large enough, a core the material does not offer, no core that holds the current):
// what the window would show is still printed or written, but nothing that needs the
// winding; 4 a complete design that fails its emission limit, or a core search that finds
// no core passing it, so that a script can gate on the check.
inline constexpr int kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitIncomplete = 3, kExitFailsLimit = 4;

// The subcommands: each registers its CLI11 subcommand and the action run when chosen.
using CommandAction = std::function<int(std::ostream& out, std::ostream& err)>;
struct Commands {
  CLI::App& app;
  std::vector<std::pair<CLI::App*, CommandAction>> actions;
};
void AddDesignOptions(CLI::App& cmd, DesignArgs& a);

// Numbers in options are plain decimals, checked before a range: CLI11 alone reads "010"
// as octal and "0x10" as hexadecimal, and takes "nan", which no range refuses. A whole
// number loses its leading zeros; a real must be finite (no "inf", no hexadecimal form).
const CLI::Validator& DecimalWhole();
const CLI::Validator& DecimalReal();

// What a command prints of its computed design, or why it cannot; returns the exit status.
using DesignOutput =
    std::function<int(WindowModel& model, ShellHost& host, std::ostream& out, std::ostream& err)>;
// Computes the design of the options in a fresh model as the window would, with its
// messages on err, and hands it to `output`; an input the window would ask for again is
// reported on err instead (kExitUsage).
int ShowDesign(const DesignOptions& options, std::ostream& out, std::ostream& err,
               const DesignOutput& output);
// What follows every calculation, however it was started: its messages and warnings on err,
// `output`, and a design that stopped early said once with kExitIncomplete.
int ShowCalculated(WindowModel& model, ShellHost& host, std::ostream& out, std::ostream& err,
                   const DesignOutput& output);
// What `design` prints: the JSON object when `json` is set by the time it runs, else the listing.
DesignOutput DesignPrinter(const std::shared_ptr<const bool>& json);
// Gives a subcommand the design options and, as its action, ShowDesign of them.
void AddDesignAction(Commands& commands, CLI::App& cmd, DesignOutput output);
// A text from the user (an argument, a path, an input echoed in a message) made safe for a
// terminal: control characters as "\x1b", so an argument cannot move the cursor or clear
// the screen of whoever reads the message.
std::string Printable(std::string_view text);
// A command that cannot finish: says why on err, returns the status.
int Fail(std::ostream& err, std::string_view why, int status);
// The window's Measured Material... answered with `path` (none: nothing to do): kExitOk, or
// the fault said on err: kExitUsage for the file's content, kExitFailure when it cannot be read.
int UseMaterialFile(WindowModel& model, ShellHost& host, const std::string& path, std::ostream& err);

// A measured choke's file and how to read it, as typed (touchstone_command.cpp).
struct MeasuredArgs {
  std::string file, fixture, mode = "cm";
  std::vector<int> ports;  // line 1 in, line 1 out, line 2 in, line 2 out
};
// --measured, --fixture, --measured-mode, --port-order; `use` ends the help of --measured.
void AddMeasuredOptions(CLI::App& cmd, MeasuredArgs& a, std::string_view use);
// The window's Measured Choke... answered with the file (none: nothing to do): kExitOk, or
// the file's fault said on err and kExitUsage (kExitFailure when it could not be read).
int UseMeasured(WindowModel& model, const MeasuredArgs& a, std::ostream& err);

void RegisterDesignCommand(Commands& commands);
// touchstone: the designed choke as an S-parameter file (touchstone_command.cpp).
void RegisterTouchstoneCommand(Commands& commands);
// report and table: the two printouts as text or PDF (report_command.cpp).
void RegisterReportCommands(Commands& commands);
// save and open: design files (file_commands.cpp).
void RegisterFileCommands(Commands& commands);
// compare: every offered core evaluated side by side (compare_command.cpp).
void RegisterCompareCommand(Commands& commands);
// spice: the designed choke as a circuit-simulator subcircuit (spice_command.cpp).
void RegisterSpiceCommand(Commands& commands);
// material and impedance: the ferrite and the choke over frequency.
void RegisterMaterialCommand(Commands& commands);
void RegisterImpedanceCommand(Commands& commands);
// emissions: the conducted-emission check of the designed choke (emissions_command.cpp).
void RegisterEmissionsCommand(Commands& commands);
// batch: one design per input line (batch_command.cpp).
void RegisterBatchCommand(Commands& commands);
// export --mas and import --mas: designs as MAS JSON (mas_commands.cpp).
void RegisterMasCommands(Commands& commands);
// library: the stocked rings, filtered (library_command.cpp).
void RegisterLibraryCommand(Commands& commands);
// safety: insulation between the windings and the Y-capacitor budget (safety_command.cpp).
void RegisterSafetyCommand(Commands& commands);
// The mains and touch-current options; with `insulation`, the insulation's as well.
void AddSafetyOptions(CLI::App& cmd, SafetyEntry& entry, bool insulation);
// The insulation's options alone (the mains voltage with `withMains`), for a design on a ring.
void AddInsulationOptions(CLI::App& cmd, SafetyEntry& entry, bool withMains);
class JsonWriter;
// "y_budget": the budget's figures, and the Y capacitor checked against it when there is one.
void WriteYBudget(JsonWriter& json, const YBudgetView& budget);

// The ring options (ring_command.cpp): a stocked ring or a size with a grade or material
// file, the windings, turns already wound.
struct RingArgs {
  RingEntry entry;
  std::string materialFile;
  SafetyEntry mains;     // the insulation's entries; used when a mains voltage is given
  bool library = false;  // the automatic choice, over the rings `filter` leaves
  LibraryEntry filter;   // its grade is --grade's
  std::string by = "size";
  bool Wanted() const { return library || !entry.part.empty() || !entry.toroid.empty(); }
};
// `materialAndTemperature`: also --material-file and --temperature, for a command without its own.
void AddRingOptions(CLI::App& cmd, RingArgs& a, bool materialAndTemperature);
// kExitUsage, said on err, for ring options given without a ring; otherwise completes the
// entry (the automatic choice's filter) and returns kExitOk.
int RingUsage(RingArgs& a, std::ostream& err);
// What a command prints of the window's requirement on a ring; returns the exit status.
using RingOutput = std::function<int(WindowModel& model, std::ostream& out, std::ostream& err)>;
// The window's requirement of the options, the material file of `a` loaded, handed to
// `output`; an input the window would ask for again is said on err (kExitUsage).
int ShowRing(const DesignOptions& options, const RingArgs& a, std::ostream& out, std::ostream& err,
             const RingOutput& output);
// The status of a ring design, said on err when not kExitOk: kExitUsage for an entry that is
// no ring, kExitIncomplete for a design that does not complete. With `json`, a design that
// does not complete is printed on it as `design --json` prints it (complete false, the
// problem), so a script reading the object learns why.
int RingDone(const RingView& v, std::ostream& err, std::ostream* json = nullptr);
// The rings an automatic choice or Find Core tried, one a line under `heading`, each with
// why it was passed over.
void PrintTried(std::ostream& out, std::string_view heading, const std::vector<RingTryRow>& tried);
// The ring design as `design` prints it: a JSON object, or the steps one a line.
void PrintRing(std::ostream& out, const RingView& v, bool json);

// Runs the command line; returns the exit status.
int Run(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace vtq::cli
