// vtq-cli spice: the designed choke as a subcircuit for circuit simulators.
#include <CLI/CLI.hpp>
#include <memory>

#include "analysis/spice.h"
#include "cli/cli.h"
#include "ui/model/analysis_views.h"

namespace vtq::cli {

void RegisterSpiceCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "spice", "Compute a design as the window would and print it as a circuit-simulator subcircuit");
  auto file = std::make_shared<std::string>();
  cmd->add_option(
      "--material-file", *file,
      "The core's permeability from FILE (CSV frequency_hz,mu_real,mu_imag or a JSON material entry)");
  AddDesignAction(
      commands, *cmd, [file](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
        MaterialFile material;
        if (!file->empty() && !(material = LoadMaterialFile(*file)).ferrite)
          return Fail(err, material.error, kExitFailure);
        const analysis::SpiceModel spice = analysis::SpiceSubcircuit(model.window, material.ferrite);
        if (!spice.problem.empty()) return Fail(err, spice.problem, NoWindingStatus(model, kExitFailure));
        out << spice.text;
        return kExitOk;
      });
}

}  // namespace vtq::cli
