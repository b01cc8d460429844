// vtq-cli spice: the designed choke as a subcircuit for circuit simulators.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli.h"

namespace vtq::cli {

void RegisterSpiceCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "spice", "Compute a design as the window would and print it as a circuit-simulator subcircuit");
  auto file = std::make_shared<std::string>();
  cmd->add_option(
      "--material-file", *file,
      "The core's permeability from FILE (CSV frequency_hz,mu_real,mu_imag or a JSON material entry)");
  AddDesignAction(commands, *cmd,
                  [file](WindowModel& model, ShellHost& host, std::ostream& out, std::ostream& err) {
                    // The window's own commands: Measured Material... answered with the file, then
                    // Export SPICE Model...'s subcircuit.
                    if (const int status = UseMaterialFile(model, host, *file, err)) return status;
                    const analysis::SpiceModel spice = model.SpiceExport();
                    if (!spice.problem.empty()) return Fail(err, spice.problem, kExitIncomplete);
                    out << spice.text;
                    return kExitOk;
                  });
}

}  // namespace vtq::cli
