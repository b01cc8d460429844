// vtq-cli spice: the designed choke as a subcircuit for circuit simulators.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli.h"

namespace vtq::cli {

void RegisterSpiceCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "spice", "Compute a design as the window would and print it as a circuit-simulator subcircuit");
  auto file = std::make_shared<std::string>();
  auto design = std::make_shared<DesignArgs>();
  auto ring = std::make_shared<RingArgs>();
  cmd->add_option(
      "--material-file", *file,
      "The core's permeability from FILE (CSV frequency_hz,mu_real,mu_imag or a JSON material entry)");
  AddDesignOptions(*cmd, *design);
  AddRingOptions(*cmd, *ring, false);
  commands.actions.emplace_back(cmd, [file, design, ring](std::ostream& out, std::ostream& err) {
    if (const int status = RingUsage(*ring, err); status != kExitOk) return status;
    if (ring->Wanted()) {
      RingArgs withFile = *ring;
      withFile.materialFile = *file;
      return ShowRing(design->Resolve(), withFile, out, err,
                      [withFile](WindowModel& model, std::ostream& o, std::ostream& e) {
                        RingView v;
                        const analysis::SpiceModel spice = model.RingSpice(withFile.entry, v);
                        if (const int status = RingDone(v, e)) return status;
                        o << spice.text;
                        return kExitOk;
                      });
    }
    return ShowDesign(design->Resolve(), out, err,
                      [file](WindowModel& model, ShellHost& host, std::ostream& o, std::ostream& e) {
                        // The window's own commands: Measured Material... answered with the file, then
                        // Export SPICE Model...'s subcircuit.
                        if (const int status = UseMaterialFile(model, host, *file, e)) return status;
                        const analysis::SpiceModel spice = model.SpiceExport();
                        if (!spice.problem.empty()) return Fail(e, spice.problem, kExitIncomplete);
                        o << spice.text;
                        return kExitOk;
                      });
  });
}

}  // namespace vtq::cli
