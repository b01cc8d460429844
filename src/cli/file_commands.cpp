// save and open: design files from a shell, written and read by the window model's own
// Save and Open, so a file made here is the one the window would make.
#include <CLI/CLI.hpp>

#include "cli/cli.h"

namespace vtq::cli {
namespace {

void RegisterSaveCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "save", "Compute a design as the window would, then write the design file its Save would write");
  auto path = std::make_shared<std::string>();
  cmd->add_option("FILE", *path,
                  "The design file to write (an existing file is replaced); - for standard output")
      ->required();
  AddDesignAction(commands, *cmd,
                  [path](WindowModel& model, ShellHost& host, std::ostream&, std::ostream& err) {
                    host.path = *path;
                    model.SaveDesignMnu_Click();
                    if (!model.LastFileError.empty())
                      return Fail(err, "could not save " + model.LastFileError, kExitFailure);
                    return kExitOk;
                  });
}

void RegisterOpenCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "open", "Start as the window starts, open a design file as its Open does and print the design");
  auto path = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  cmd->add_option("FILE", *path, "The design file to open; - for standard input")->required();
  cmd->add_flag("--json", *json, "Print one JSON object, with the keys of 'design --json'");
  commands.actions.emplace_back(cmd, [path, json](std::ostream& out, std::ostream& err) {
    ShellHost host;
    WindowModel model(host);
    model.Form_Load(".");
    host.recording = true;
    host.focus.reset();
    try {
      model.OpenDesignFile(*path);
    } catch (const PromptRequired& p) {
      return Fail(err, p.firstLine, kExitUsage);
    }
    if (!model.LastFileError.empty()) {
      return Fail(err, "could not open " + model.LastFileError,
                  model.LastFileUnreadable ? kExitFailure : kExitUsage);
    }
    // A saved design that is too large, or whose core the material does not offer, stops
    // where it stops in the window and is said as `design` says it.
    return ShowCalculated(model, host, out, err, DesignPrinter(json));
  });
}

}  // namespace

void RegisterFileCommands(Commands& commands) {
  RegisterSaveCommand(commands);
  RegisterOpenCommand(commands);
}

}  // namespace vtq::cli
