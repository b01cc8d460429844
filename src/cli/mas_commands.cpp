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
  // The options' storage lives as long as the action: the parser writes it after this returns.
  auto args = std::make_shared<DesignArgs>();
  auto ring = std::make_shared<RingArgs>();
  AddDesignOptions(*cmd, *args);
  AddRingOptions(*cmd, *ring, true);
  AddInsulationOptions(*cmd, ring->mains, true);
  commands.actions.emplace_back(cmd, [mas, args, ring](std::ostream& out, std::ostream& err) {
    if (!*mas) return kExitUsage;  // required by the parser; MAS is the only format so far
    if (const int status = RingUsage(*ring, err); status != kExitOk) return status;
    if (!ring->mains.mainsVoltage.empty()) ring->entry.safety = ring->mains;
    if (!ring->Wanted()) {
      return ShowDesign(args->Resolve(), out, err,
                        [](WindowModel& model, ShellHost&, std::ostream& o, std::ostream& e) {
                          const mas::Written doc = model.MasExport();
                          if (!doc.problem.empty()) return Fail(e, doc.problem, kExitIncomplete);
                          o << doc.text;
                          return kExitOk;
                        });
    }
    return ShowRing(args->Resolve(), *ring, out, err,
                    [ring](WindowModel& model, std::ostream& o, std::ostream& e) {
                      RingView v;
                      const mas::Written doc = model.RingMasExport(ring->entry, v);
                      if (v.status != kExitOk) return RingDone(v, e);
                      o << doc.text;
                      return kExitOk;
                    });
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
  cmd->add_flag("--json", *json,
                "Print one JSON object, with the keys of 'design --json' (of 'design --ring --json' for a "
                "choke on a ring)");
  cmd->footer(
      "A document whose core is a stocked ring, or a toroid of a library grade with its size, is wound again "
      "on that ring with its turns, windings, ambient and mains, and printed as 'design --ring' prints it.");
  commands.actions.emplace_back(cmd, [path, args, json](std::ostream& out, std::ostream& err) {
    const MasImport in = ImportMas(*path, args->Resolve());
    // As `open`: a file that cannot be read is a failure outside the program, one that is
    // read but holds no MAS document of a design is bad input.
    if (!in.problem.empty()) return Fail(err, in.problem, in.unreadable ? kExitFailure : kExitUsage);
    const DesignOptions& options = in.entry;
    if (!in.ring) return ShowDesign(options, out, err, DesignPrinter(json));
    RingArgs ring;
    ring.entry = *in.ring;
    return ShowRing(options, ring, out, err,
                    [&in, json](WindowModel& model, std::ostream& o, std::ostream& e) {
                      const RingView v = model.DesignOnRing(*in.ring);
                      if (const std::string note = in.WireNote(v); !note.empty())
                        e << "vtq-cli: warning: " << Printable(note) << "\n";
                      if (v.status != kExitUsage) PrintRing(o, v, *json);
                      return RingDone(v, e);
                    });
  });
}

}  // namespace

void RegisterMasCommands(Commands& commands) {
  RegisterExportCommand(commands);
  RegisterImportCommand(commands);
}

}  // namespace vtq::cli
