// vtq-cli spice: the designed choke as a subcircuit for circuit simulators.
#include <CLI/CLI.hpp>

#include "analysis/spice.h"
#include "cli/cli.h"

namespace vtq::cli {

void RegisterSpiceCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "spice", "Compute a design as the window would and print it as a circuit-simulator subcircuit");
  AddDesignAction(commands, *cmd, [](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
    const analysis::SpiceModel spice = analysis::SpiceSubcircuit(model.window);
    if (!spice.problem.empty()) return Fail(err, spice.problem, NoWindingStatus(model, kExitFailure));
    out << spice.text;
    return kExitOk;
  });
}

}  // namespace vtq::cli
