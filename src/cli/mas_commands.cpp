// export --mas and import --mas: designs in the MAS JSON that open-source magnetics tools
// exchange, written from the window model's design and read back into one.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli.h"

namespace vtq::cli {
namespace {

void RegisterExportCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "export", "Compute a design as the window would and print it in an exchange format");
  auto mas = std::make_shared<bool>(false);
  cmd->add_flag("--mas", *mas, "MAS JSON: requirements, core and windings, results")->required();
  // The flag's storage lives as long as the action: the parser writes it after this returns.
  AddDesignAction(commands, *cmd,
                  [mas](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
                    if (!*mas) return kExitUsage;  // required by the parser; MAS is the only format so far
                    const mas::Written doc = model.MasExport();
                    if (!doc.problem.empty()) return Fail(err, doc.problem, kExitIncomplete);
                    out << doc.text;
                    return kExitOk;
                  });
}

void RegisterImportCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "import", "Read the requirements of a design in an exchange format and print the design");
  auto path = std::make_shared<std::string>();
  auto args = std::make_shared<DesignArgs>();
  auto json = std::make_shared<bool>(false);
  cmd->add_option("--mas", *path, "A MAS JSON file; - for standard input")->required();
  cmd->add_option("--density", args->options.density, "Current density for the wire (A/sq cm)")
      ->default_str("400");
  cmd->add_option("--units", args->units, "Display units of lengths")
      ->check(CLI::IsMember(UnitWords()))
      ->default_str("in");
  cmd->add_flag("--json", *json, "Print one JSON object, with the keys of 'design --json'");
  commands.actions.emplace_back(cmd, [path, args, json](std::ostream& out, std::ostream& err) {
    const MasImport in = ImportMas(*path, args->Resolve());
    // As `open`: a file that cannot be read is a failure outside the program, one that is
    // read but holds no MAS document of a design is bad input.
    if (!in.problem.empty()) return Fail(err, in.problem, in.unreadable ? kExitFailure : kExitUsage);
    const DesignOptions& options = in.entry;
    return ShowDesign(options, out, err, DesignPrinter(json));
  });
}

}  // namespace

void RegisterMasCommands(Commands& commands) {
  RegisterExportCommand(commands);
  RegisterImportCommand(commands);
}

}  // namespace vtq::cli
