// vtq-cli touchstone: the designed choke as the S-parameter file a network analyser would
// write; and the options that bring a measured choke's file into impedance and emissions.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli.h"

namespace vtq::cli {

void AddMeasuredOptions(CLI::App& cmd, MeasuredArgs& a, std::string_view use) {
  cmd.add_option("--measured", a.file,
                 std::string("A measured choke: a Touchstone file (.s1p, .s2p, .s4p; version 1 or 2) or an "
                             "impedance table (.csv: frequency_hz with z_ohm,phase_deg or r_ohm,x_ohm), ") +
                     std::string(use));
  cmd.add_option(
         "--fixture", a.fixture,
         "How a one- or two-port file was measured: reflection (Z = Z0 (1 + S11) / (1 - S11)), series "
         "(Z = 2 Z0 (1 - S21) / S21) or shunt (Z = Z0 S21 / (2 (1 - S21))); default reflection for "
         "one port, series for two")
      ->check(CLI::IsMember({"reflection", "series", "shunt"}));
  cmd.add_option("--measured-mode", a.mode,
                 "What a file of one impedance holds: cm (both lines together, the default) or dm (the loop "
                 "through both lines, twice the per-line impedance)")
      ->check(CLI::IsMember({"cm", "dm"}));
  cmd.add_option("--port-order", a.ports,
                 "A four-port file's ports of line 1 in, line 1 out, line 2 in, line 2 out; default 1,2,3,4")
      ->delimiter(',')
      ->expected(4)
      ->check(CLI::Range(1, 4));
}

int UseMeasured(WindowModel& model, const MeasuredArgs& a, std::ostream& err) {
  if (a.file.empty()) return kExitOk;
  MeasuredEntry entry;
  entry.fixture = a.fixture == "reflection" ? Fixture::Reflection
                  : a.fixture == "series"   ? Fixture::Series
                  : a.fixture == "shunt"    ? Fixture::Shunt
                                            : Fixture::Auto;
  entry.differential = a.mode == "dm";
  if (a.ports.size() == 4) std::copy(a.ports.begin(), a.ports.end(), entry.ports.in1out1in2out2.begin());
  if (model.UseMeasuredChoke(a.file, entry)) return kExitOk;
  return Fail(err, model.LastFileError, model.measuredUnreadable ? kExitFailure : kExitUsage);
}

void RegisterTouchstoneCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "touchstone", "Compute a design as the window would and print the choke as an S-parameter file");
  auto entry = std::make_shared<TouchstoneEntry>();
  auto as = std::make_shared<std::string>("cm");
  auto file = std::make_shared<std::string>();
  auto design = std::make_shared<DesignArgs>();
  AddDesignOptions(*cmd, *design);
  cmd->add_option("--ports", entry->ports,
                  "4: the two lines' four single-ended ports (.s4p); 2: one mode's impedance in series "
                  "between two ports (.s2p)")
      ->check(CLI::IsMember({2, 4}));
  cmd->add_option("--as", *as,
                  "The two-port's mode: cm (both lines together) or dm (the loop through both lines, twice "
                  "the per-line impedance)")
      ->check(CLI::IsMember({"cm", "dm"}));
  cmd->add_option("--points", entry->range.points, "Number of log-spaced frequencies (2 to 100000)")
      ->transform(DecimalWhole())
      ->check(CLI::Range(2, 100000));
  CLI::Option* from = cmd->add_option("--from", entry->range.from, "Lowest frequency (Hz); default 10 kHz")
                          ->transform(DecimalReal())
                          ->check(CLI::Range(1e-3, 1e12));
  CLI::Option* to = cmd->add_option("--to", entry->range.to, "Highest frequency (Hz); default 100 MHz")
                        ->transform(DecimalReal())
                        ->check(CLI::Range(1e-3, 1e12));
  from->needs(to);
  to->needs(from);
  cmd->add_option(
      "--material-file", *file,
      "The core's permeability from FILE (CSV frequency_hz,mu_real,mu_imag or a JSON material entry)");
  cmd->footer(
      "Touchstone version 1, S-parameters in real and imaginary parts, frequencies in Hz, every port 50 ohm. "
      "Four ports: port 1 line 1 in, port 2 line 1 out, port 3 line 2 in, port 4 line 2 out; converted "
      "to mixed mode with the pairs (1,3) and (2,4) it gives Zcm = Z0 (1 - Scc21) / Scc21, and the "
      "differential mode as a pi: per line Zdm = -1 / (2 Ydd21), half its series loop, and Ydd11 + Ydd21 "
      "across the lines at each end, the windings' capacitance through the core. Two ports: the mode's "
      "series impedance Z alone as a series element, S11 = Z / (Z + 2 Z0), S21 = 2 Z0 / (Z + 2 Z0).");
  commands.actions.emplace_back(cmd, [entry, as, file, design](std::ostream& out, std::ostream& err) {
    // Checked before the design: a range the command cannot write is a usage error whatever the design.
    if (entry->range.to <= entry->range.from) return Fail(err, "--to must lie above --from", kExitUsage);
    return ShowDesign(
        design->Resolve(), out, err,
        [entry, as, file](WindowModel& model, ShellHost& host, std::ostream& out, std::ostream& err) {
          // The window's own commands: Measured Material... answered with the file, then
          // Export S-Parameters...'s file.
          if (const int status = UseMaterialFile(model, host, *file, err)) return status;
          TouchstoneEntry e = *entry;
          e.differential = *as == "dm";
          const TouchstoneFile t = model.TouchstoneExport(e);
          if (!t.problem.empty()) return Fail(err, t.problem, kExitIncomplete);
          out << t.text;
          return kExitOk;
        });
  });
}

}  // namespace vtq::cli
