#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <sstream>

#include "analysis/compare.h"
#include "cli/json_writer.h"
#include "engine/catalogue.h"

namespace vtq::cli {
namespace {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t cr = text.find('\r', start);
    lines.emplace_back(text.substr(start, cr - start));
    if (cr == std::string_view::npos) return lines;
    start = cr + 1;
  }
}

}  // namespace

std::string ShellHost::InputBox(std::string_view prompt, std::string_view, std::string_view) {
  throw PromptRequired{SplitLines(prompt).front()};
}

int ShellHost::MsgBox(std::string_view text, std::string_view title) {
  if (recording) messages.push_back({std::string(title), SplitLines(text)});
  return 1;
}

void ComputeDesign(WindowModel& model, ShellHost& host, const DesignOptions& o) {
  host.recording = false;
  model.Form_Load(".");
  host.recording = true;
  host.focus.reset();
  model.ApplyDesign(o);
}

void WriteDesignJson(std::string& out, const WindowModel& model, const ShellHost& host, int indent) {
  const DesignWindow& w = model.window;
  JsonWriter json(out, indent);
  json.BeginObject().Key("outputs").BeginObject();
  for (const auto& box : kOutputBoxFields) json.Key(box.name).String(w.outputs.*box.text);
  json.EndObject();
  json.Key("txtPNLeft").Integer(w.outputs.txtPNLeft);
  json.Key("txtPNWidth").Integer(w.outputs.txtPNWidth);
  json.Key("state").BeginObject();
  for (const auto& f : kDesignStateFields) {
    json.Key(f.name);
    switch (f.kind) {
      case DesignStateField::Kind::Integer:
        json.Integer(w.state.*f.integer);
        break;
      case DesignStateField::Kind::Single:
        // The shortest decimal that reads back as the same 32-bit float, read as a double
        // (strtod, as the C locale reads it) and written as the shortest text of that double.
        json.Double(std::strtod(num::ShortestSingle(w.state.*f.single).c_str(), nullptr));
        break;
      case DesignStateField::Kind::String:
        json.String(w.state.*f.text);
        break;
    }
  }
  json.EndObject().Key("messages").BeginArray();
  for (const auto& m : host.messages) {
    json.BeginObject().Key("title").String(m.title).Key("lines").BeginArray();
    for (const auto& line : m.lines) json.String(line);
    json.EndArray().EndObject();
  }
  json.EndArray().Key("focus");
  if (host.focus) {
    json.String(*host.focus);
  } else {
    json.Null();
  }
  json.EndObject();
}

std::string DesignJson(const WindowModel& model, const ShellHost& host, int indent) {
  std::string text;
  WriteDesignJson(text, model, host, indent);
  return text;
}

void PrintMessages(std::ostream& err, const ShellHost& host) {
  for (const auto& m : host.messages) {
    err << m.title << ":";
    for (const auto& line : m.lines) err << (line.empty() ? "" : " ") << line;
    err << "\n";
  }
}

void PrintDesign(std::ostream& out, const WindowModel& model) {
  const OutputBoxes& o = model.window.outputs;
  const DesignState& s = model.window.state;
  auto row = [&](std::string_view label, std::string_view value) {
    // Pad by characters, not bytes: the micro sign of a caption is two bytes of UTF-8.
    std::size_t width = 0;
    for (char c : label) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    out << label << std::string(width < 30 ? 30 - width : 1, ' ') << value << "\n";
  };
  row("Material", s.MaterialLetter + " (" + num::IntegerText(s.Permeability) + " initial permeability)");
  row("Core Number", o.txtPN);
  row("Header Number", o.txtHeader);
  row(o.IndLabel, o.Inductance);
  row("Cutoff Frequency", o.FrequencyOutput);
  row("DC Resistance", o.DCres);
  row("Required Area Product (cm4)", o.AreaProduct);
  row("Trise (degrees C)", o.txtTrise);
  row("Diff. L (uH)", o.txtDiffL);
  row("Turns per Side", o.Turns);
  row("Wire Size (AWG#)", o.WireSize);
  // The gauge's diameter and cross-section; none while the gauge box is empty (too large).
  const analysis::WireFigures wire = analysis::WireOf(s, model.window.inputs.English);
  row("Wire Diameter", o.WireSize.empty() ? "" : wire.diameter.text);
  row("Wire Cross-Section (mm2)", o.WireSize.empty() ? "" : wire.area.text);
  row("Length of Wire", o.WireLength);
  row("Wound OD", o.txtWoundOD);
  row("Wound ID", o.txtWoundID);
  row("Wound HT", o.txtWoundHt);
  row("Core OD", o.OD);
  row("Core ID", o.ID);
  row("Core HT", o.HT);
  row("AL value (mH/1000T)", o.AL);
  row("Area Product (cm4)", o.FAP);
}

void AddDesignOptions(CLI::App& cmd, DesignArgs& a) {
  DesignOptions& o = a.options;
  cmd.add_option("--mode", a.mode, "Design mode: what --main means")
      ->check(CLI::IsMember({"inductance", "impedance", "voltage"}))
      ->default_str("inductance");
  cmd.add_option("--main", o.main, "Inductance (mH), impedance (ohms) or line voltage (Vrms)")
      ->default_str("1");
  cmd.add_option("--current", o.current, "Line current through each winding (A)")->default_str("5");
  cmd.add_option("--frequency", o.frequency, "Cutoff frequency (Hz); not used in inductance mode")
      ->default_str("10000");
  cmd.add_option("--density", o.density, "Current density for the wire (A/sq cm)")->default_str("400");
  cmd.add_option("--material", a.material, "Ferrite material")
      ->check(CLI::IsMember({"D", "P", "N", "S", "R"}))
      ->default_str("N");
  cmd.add_option("--units", a.units, "Display units of lengths")
      ->check(CLI::IsMember({"in", "mm"}))
      ->default_str("in");
  cmd.add_option("--core", o.core, "Evaluate this catalogue row (1 to 24) instead of choosing a core")
      ->check(CLI::Range(1, kCoreCount));
}

DesignOptions DesignArgs::Resolve() const {
  DesignOptions o = options;
  o.mode = mode == "voltage"     ? DesignModeOption::Voltage
           : mode == "impedance" ? DesignModeOption::Impedance
                                 : DesignModeOption::Inductance;
  o.material = static_cast<int>(std::string_view("DPNSR").find(material.empty() ? 'N' : material[0])) + 1;
  o.english = units != "mm";
  return o;
}

bool ComputeOrReport(WindowModel& model, ShellHost& host, const DesignOptions& options, std::ostream& err) {
  try {
    ComputeDesign(model, host, options);
    PrintMessages(err, host);
    return true;
  } catch (const PromptRequired& p) {
    err << "vtq-cli: " << p.firstLine << "\n";
    return false;
  }
}

void RegisterDesignCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand("design", "Compute a design as the window would and print it");
  auto args = std::make_shared<DesignArgs>();
  auto json = std::make_shared<bool>(false);
  AddDesignOptions(*cmd, *args);
  cmd->add_flag("--json", *json, "Print one JSON object: outputs, txtPN place, state, messages, focus");
  commands.actions.emplace_back(cmd, [args, json](std::ostream& out, std::ostream& err) {
    ShellHost host;
    WindowModel model(host);
    if (!ComputeOrReport(model, host, args->Resolve(), err)) return kExitUsage;
    if (*json) {
      out << DesignJson(model, host) << "\n";
    } else {
      PrintDesign(out, model);
    }
    return kExitOk;
  });
}

int Run(int argc, char** argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"vtq-cli: common-mode filter choke design from the command line", "vtq-cli"};
  app.set_version_flag("--version", std::string("vtq-cli ") + VTQ_VERSION);
  app.require_subcommand(1);
  Commands commands{app, {}};
  RegisterDesignCommand(commands);
  RegisterReportCommands(commands);
  RegisterFileCommands(commands);
  RegisterCompareCommand(commands);
  RegisterSpiceCommand(commands);
  RegisterMaterialCommand(commands);
  RegisterImpedanceCommand(commands);
  RegisterBatchCommand(commands);
  RegisterMasCommands(commands);

  std::string known;
  bool isKnown = false;
  for (const auto& [cmd, action] : commands.actions) {
    known += (known.empty() ? "" : ", ") + cmd->get_name();
    isKnown = isKnown || (argc > 1 && cmd->get_name() == argv[1]);
  }
  if (argc > 1 && argv[1][0] != '-' && !isKnown) {
    err << "vtq-cli: unknown command '" << argv[1] << "' (commands: " << known << ")\n"
        << "Run 'vtq-cli --help' for usage.\n";
    return kExitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return kExitOk;
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << "\n";
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    err << "vtq-cli: " << e.what() << "\n"
        << "Run 'vtq-cli --help' for usage.\n";
    return kExitUsage;
  }
  for (auto& [cmd, action] : commands.actions) {
    if (cmd->parsed()) return action(out, err);
  }
  return kExitUsage;
}

}  // namespace vtq::cli
