// export --mas and import --mas: designs in the MAS JSON that open-source magnetics tools
// exchange, written from the window model's design and read back into one.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli.h"
#include "files/file_io.h"
#include "files/mas.h"

namespace vtq::cli {
namespace {

constexpr std::size_t kMasReadLimit = 1 << 20;

void RegisterExportCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "export", "Compute a design as the window would and print it in an exchange format");
  auto mas = std::make_shared<bool>(false);
  cmd->add_flag("--mas", *mas, "MAS JSON: requirements, core and windings, results")->required();
  // The flag's storage lives as long as the action: the parser writes it after this returns.
  AddDesignAction(commands, *cmd,
                  [mas](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
                    if (!*mas) return kExitUsage;  // required by the parser; MAS is the only format so far
                    const mas::Written doc = mas::WriteDesign(model.window);
                    if (!doc.problem.empty())
                      return Fail(err, doc.problem, NoWindingStatus(model, kExitUsage));
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
    // A MAS document of one design is a few kilobytes: reading stops at the limit, so a
    // device, a pipe without end or a huge file cannot fill the memory.
    const files::ReadOutcome read = files::ReadFileStart(*path, kMasReadLimit);
    if (!read.error.empty()) return Fail(err, "cannot read " + *path + ": " + read.error, kExitFailure);
    if (read.truncated)
      return Fail(err, *path + " is too large to be a MAS document of one design", kExitUsage);
    const mas::Requirements r = mas::ReadRequirements(read.bytes);
    if (!r.problem.empty()) return Fail(err, *path + " gives no design: " + r.problem, kExitUsage);
    DesignOptions options = args->Resolve();
    options.mode = r.mode;
    options.main = r.main;
    options.current = r.current;
    options.frequency = r.frequency;
    if (r.material != 0) options.material = r.material;
    return ShowDesign(options, out, err, DesignPrinter(json));
  });
}

}  // namespace

void RegisterMasCommands(Commands& commands) {
  RegisterExportCommand(commands);
  RegisterImportCommand(commands);
}

}  // namespace vtq::cli
