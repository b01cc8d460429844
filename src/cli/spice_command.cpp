// vtq-cli spice: the designed choke as a subcircuit for circuit simulators.
#include <CLI/CLI.hpp>
#include <memory>

#include "analysis/spice.h"
#include "cli/cli.h"

namespace vtq::cli {

void RegisterSpiceCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "spice", "Compute a design as the window would and print it as a circuit-simulator subcircuit");
  auto args = std::make_shared<DesignArgs>();
  AddDesignOptions(*cmd, *args);
  commands.actions.emplace_back(cmd, [args](std::ostream& out, std::ostream& err) {
    ShellHost host;
    WindowModel model(host);
    if (!ComputeOrReport(model, host, args->Resolve(), err)) return kExitUsage;
    const analysis::SpiceModel spice = analysis::SpiceSubcircuit(model.window);
    if (!spice.problem.empty()) {
      err << "vtq-cli: " << spice.problem << "\n";
      return kExitFailure;
    }
    out << spice.text;
    return kExitOk;
  });
}

}  // namespace vtq::cli
