#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <utility>

#include "cli/json_writer.h"
#include "engine/catalogue.h"
#include "ui/model/controls.h"

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

namespace {

// The text of the design's JSON around its values, for one indent: the keys come from the
// tables and stay the same from design to design, so a batch writes them ready-made. The
// general writer makes them, so they are laid out as the messages after them are.
struct DesignLayout {
  std::vector<std::string> before;  // before each value of the outputs, the place and the state
  std::string beforeMessages, beforeFocus, beforeComplete, beforeWarnings, end;
};

DesignLayout MakeDesignLayout(int indent) {
  DesignLayout layout;
  std::string text;
  JsonWriter json(text, indent);
  // The text written up to a key's value is the piece before it; a stand-in value follows.
  auto valueOf = [&](std::string_view key) {
    json.Key(key);
    std::string piece = std::exchange(text, {});
    json.Null();
    text.clear();
    return piece;
  };
  json.BeginObject().Key("outputs").BeginObject();
  for (const auto& box : kOutputBoxFields) layout.before.push_back(valueOf(box.name));
  json.EndObject();
  layout.before.push_back(valueOf("txtPNLeft"));
  layout.before.push_back(valueOf("txtPNWidth"));
  json.Key("state").BeginObject();
  for (const auto& f : kDesignStateFields) layout.before.push_back(valueOf(f.name));
  json.EndObject();
  layout.beforeMessages = valueOf("messages");
  layout.beforeFocus = valueOf("focus");
  layout.beforeComplete = valueOf("complete");
  layout.beforeWarnings = valueOf("warnings");
  json.EndObject();
  layout.end = text;
  return layout;
}

}  // namespace

void WriteDesignJson(std::string& out, const WindowModel& model, const ShellHost& host, int indent) {
  static const DesignLayout compact = MakeDesignLayout(-1), pretty = MakeDesignLayout(2);
  const DesignLayout other = indent >= 0 && indent != 2 ? MakeDesignLayout(indent) : DesignLayout{};
  const DesignLayout& layout = indent < 0 ? compact : indent == 2 ? pretty : other;
  const DesignWindow& w = model.window;
  auto piece = layout.before.begin();
  for (const auto& box : kOutputBoxFields) AppendJsonString(out += *piece++, w.outputs.*box.text);
  AppendJsonInteger(out += *piece++, w.outputs.txtPNLeft);
  AppendJsonInteger(out += *piece++, w.outputs.txtPNWidth);
  for (const auto& f : kDesignStateFields) {
    out += *piece++;
    switch (f.kind) {
      case DesignStateField::Kind::Integer:
        AppendJsonInteger(out, w.state.*f.integer);
        break;
      case DesignStateField::Kind::Single:
        // The shortest decimal that reads back as the same 32-bit float.
        AppendJsonDouble(out, num::ShortestSingleValue(w.state.*f.single));
        break;
      case DesignStateField::Kind::String:
        AppendJsonString(out, w.state.*f.text);
        break;
    }
  }
  out += layout.beforeMessages;
  JsonWriter json(out, indent, Utf8::kStrict, 1);
  json.BeginArray();
  for (const auto& m : host.messages) {
    json.BeginObject().Key("title").String(m.title).Key("lines").BeginArray();
    for (const auto& line : m.lines) json.String(line);
    json.EndArray().EndObject();
  }
  json.EndArray();
  out += layout.beforeFocus;
  if (host.focus) {
    AppendJsonString(out, *host.focus);
  } else {
    out += "null";
  }
  // Beside the window's own texts: whether the calculation reached a winding, and what an
  // engineer should look at twice (none of it changes a result).
  out += layout.beforeComplete;
  out += w.outcome == DesignOutcome::Complete ? "true" : "false";
  out += layout.beforeWarnings;
  JsonWriter notes(out, indent, Utf8::kStrict, 1);
  notes.BeginArray();
  for (const std::string& warning : DesignWarnings(w)) notes.String(warning);
  notes.EndArray();
  out += layout.end;
}

std::string DesignJson(const WindowModel& model, const ShellHost& host, int indent) {
  std::string text;
  WriteDesignJson(text, model, host, indent);
  return text;
}

void PrintMessages(std::ostream& err, const ShellHost& host) {
  for (const auto& m : host.messages) {
    err << Printable(m.title) << ":";
    for (const auto& line : m.lines) err << (line.empty() ? "" : " ") << Printable(line);
    err << "\n";
  }
}

void PrintDesign(std::ostream& out, const WindowModel& model) {
  const OutputBoxes& o = model.window.outputs;
  const DesignState& s = model.window.state;
  auto row = [&](std::string_view label, std::string_view value) {
    // Pad by characters, not bytes: the micro sign of a caption is two bytes of UTF-8.
    const int width = num::CellWidth(label);
    out << label << std::string(width < 30 ? static_cast<std::size_t>(30 - width) : 1, ' ') << value << "\n";
  };
  row("Material", s.MaterialLetter + " (" + num::IntegerText(s.Permeability) + " initial permeability)");
  // The boxes in the window's order under the window's captions; the gauge's diameter and
  // copper cross-section follow its box (none while the box is empty: too large a gauge).
  const analysis::WireFigures wire = WireFiguresOf(model.window);
  for (const layout::OutputDef& box : layout::kOutputs) {
    row(OutputCaption(box, o), o.*box.text);
    if (box.text != &OutputBoxes::WireSize) continue;
    row("Wire Diameter", o.WireSize.empty() ? "" : wire.diameter.text);
    row("Wire Cross-Section (mm2)", o.WireSize.empty() ? "" : wire.area.text);
  }
}

const std::vector<std::string>& ModeWords() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> v;
    for (const ModeWord& m : kModeWords) v.emplace_back(m.word);
    return v;
  }();
  return words;
}

const std::vector<std::string>& MaterialLetters() {
  static const std::vector<std::string> letters = [] {
    std::vector<std::string> v;
    for (int m = 1; m <= kMaterialCount; ++m)
      v.emplace_back(1, Materials[static_cast<std::size_t>(m)].Letter);
    return v;
  }();
  return letters;
}

const std::vector<std::string>& UnitWords() {
  static const std::vector<std::string> words{"in", "mm"};
  return words;
}

const CLI::Validator& DecimalWhole() {
  static const CLI::Validator v(
      [](std::string& text) -> std::string {
        std::size_t at = text.find_first_not_of("+-") == 1 ? 1 : 0;
        if (text.size() <= at || text.size() > at + 18 ||
            text.find_first_not_of("0123456789", at) != std::string::npos) {
          return "'" + text + "' is not a whole decimal number";
        }
        while (at + 1 < text.size() && text[at] == '0') text.erase(at, 1);
        return {};
      },
      "");
  return v;
}

const CLI::Validator& DecimalReal() {
  static const CLI::Validator v(
      [](std::string& text) -> std::string {
        // Digits with at most one point, then an optional exponent: what a person types.
        static const std::regex kDecimal(R"([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]{1,3})?)");
        if (!std::regex_match(text, kDecimal) || !num::ParseStrict(text)) {  // past a double: no number
          return "'" + text + "' is not a finite decimal number";
        }
        return {};
      },
      "");
  return v;
}

void AddDesignOptions(CLI::App& cmd, DesignArgs& a) {
  DesignOptions& o = a.options;
  cmd.add_option("--mode", a.mode, "Design mode: what --main means")
      ->check(CLI::IsMember(ModeWords()))
      ->default_str(ModeWords()[0]);
  cmd.add_option("--main", o.main, "Inductance (mH), impedance (ohms) or line voltage (Vrms)")
      ->default_str("1");
  cmd.add_option("--current", o.current, "Line current through each winding (A)")->default_str("5");
  cmd.add_option("--frequency", o.frequency, "Cutoff frequency (Hz); not used in inductance mode")
      ->default_str("10000");
  cmd.add_option("--density", o.density, "Current density for the wire (A/sq cm)")->default_str("400");
  cmd.add_option("--material", a.material, "Ferrite material")
      ->check(CLI::IsMember(MaterialLetters()))
      ->default_str("N");
  cmd.add_option("--units", a.units, "Display units of lengths")
      ->check(CLI::IsMember(UnitWords()))
      ->default_str("in");
  cmd.add_option("--core", o.core, "Evaluate this catalogue row (1 to 24) instead of choosing a core")
      ->transform(DecimalWhole())
      ->check(CLI::Range(1, kCoreCount));
}

DesignOptions DesignArgs::Resolve() const {
  DesignOptions o = options;
  for (const ModeWord& m : kModeWords) {
    if (mode == m.word) o.mode = m.mode;
  }
  o.material = std::max(MaterialOfLetter(material), 1);
  o.english = units != UnitWords()[1];
  return o;
}

int ShowDesign(const DesignOptions& options, std::ostream& out, std::ostream& err,
               const DesignOutput& output) {
  ShellHost host;
  WindowModel model(host);
  try {
    ComputeDesign(model, host, options);
  } catch (const PromptRequired& p) {
    return Fail(err, p.firstLine, kExitUsage);
  }
  return ShowCalculated(model, host, out, err, output);
}

int ShowCalculated(WindowModel& model, ShellHost& host, std::ostream& out, std::ostream& err,
                   const DesignOutput& output) {
  PrintMessages(err, host);
  const bool complete = model.window.outcome == DesignOutcome::Complete;
  // A design that stopped early is said once, below, with its status.
  if (complete) {
    for (const std::string& warning : DesignWarnings(model.window))
      err << "vtq-cli: warning: " << warning << "\n";
  }
  const int status = output(model, host, out, err);
  if (status != kExitOk || complete) return status;
  return Fail(err, "the design did not complete: " + IncompleteReason(model.window), kExitIncomplete);
}

void AddDesignAction(Commands& commands, CLI::App& cmd, DesignOutput output) {
  auto args = std::make_shared<DesignArgs>();
  AddDesignOptions(cmd, *args);
  commands.actions.emplace_back(&cmd,
                                [args, output = std::move(output)](std::ostream& out, std::ostream& err) {
                                  return ShowDesign(args->Resolve(), out, err, output);
                                });
}

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      out += c;
      continue;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

int Fail(std::ostream& err, std::string_view why, int status) {
  err << "vtq-cli: " << Printable(why) << "\n";
  return status;
}

int UseMaterialFile(WindowModel& model, ShellHost& host, const std::string& path, std::ostream& err) {
  if (path.empty()) return kExitOk;
  host.path = path;
  model.ImpedanceMaterial_Click();
  if (!model.MaterialWarning.empty()) err << "vtq-cli: warning: " << Printable(model.MaterialWarning) << "\n";
  if (model.LastFileError.empty()) return kExitOk;
  return Fail(err, model.LastFileError, model.LastFileUnreadable ? kExitFailure : kExitUsage);
}

void PrintDesignAs(std::ostream& out, const WindowModel& model, const ShellHost& host, bool json) {
  if (json) {
    out << DesignJson(model, host) << "\n";
  } else {
    PrintDesign(out, model);
  }
}

DesignOutput DesignPrinter(const std::shared_ptr<const bool>& json) {
  return [json](WindowModel& model, ShellHost& host, std::ostream& out, std::ostream&) {
    PrintDesignAs(out, model, host, *json);
    return kExitOk;
  };
}

std::string Figure(double value) {
  return num::Printed(value, 6);
}

void RegisterDesignCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand("design", "Compute a design as the window would and print it");
  auto json = std::make_shared<bool>(false);
  auto args = std::make_shared<DesignArgs>();
  auto ring = std::make_shared<RingArgs>();
  AddDesignOptions(*cmd, *args);
  AddRingOptions(*cmd, *ring, true);
  AddInsulationOptions(*cmd, ring->mains, true);
  commands.actions.emplace_back(cmd, [args, ring, json](std::ostream& out, std::ostream& err) {
    if (const int status = RingUsage(*ring, err); status != kExitOk) return status;
    if (!ring->mains.mainsVoltage.empty()) ring->entry.safety = ring->mains;
    if (!ring->Wanted()) return ShowDesign(args->Resolve(), out, err, DesignPrinter(json));
    return ShowRing(args->Resolve(), *ring, out, err,
                    [ring, json](WindowModel& model, std::ostream& o, std::ostream& e) {
                      const RingView v = model.DesignOnRing(ring->entry);
                      if (v.status != kExitUsage) PrintRing(o, v, *json);
                      return RingDone(v, e);
                    });
  });
  cmd->add_flag(
      "--json", *json,
      "Print one JSON object: the result boxes' texts, the Core Number box's place, the design state, "
      "the messages, the focus, whether the design completed and the warnings");
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
  RegisterTouchstoneCommand(commands);
  RegisterMaterialCommand(commands);
  RegisterImpedanceCommand(commands);
  RegisterEmissionsCommand(commands);
  RegisterBatchCommand(commands);
  RegisterMasCommands(commands);
  RegisterLibraryCommand(commands);
  RegisterSafetyCommand(commands);
  // The status rule under every help text: a script's author reads the command's own help.
  static constexpr std::string_view kStatuses =
      "Exit status: 0 done; 1 a failure outside the program (a file or the output that cannot be read\n"
      "or written, a file not of its kind); 2 a usage error or a bad input; 3 a design that did not\n"
      "complete (no winding); 4 a complete design that fails its emission limit, or no core passing it.";
  app.footer(std::string(kStatuses));
  for (const auto& [cmd, action] : commands.actions) {
    const std::string own = cmd->get_footer();
    cmd->footer(own.empty() ? std::string(kStatuses) : own + "\n\n" + std::string(kStatuses));
  }

  std::string known;
  bool isKnown = false;
  for (const auto& [cmd, action] : commands.actions) {
    known += (known.empty() ? "" : ", ") + cmd->get_name();
    isKnown = isKnown || (argc > 1 && cmd->get_name() == argv[1]);
  }
  // A mistake after a command is answered by that command's help.
  const std::string helpFor = isKnown ? std::string(argv[1]) + " --help" : "--help";
  if (argc > 1 && argv[1][0] != '-' && !isKnown) {
    err << "vtq-cli: unknown command '" << Printable(argv[1]) << "' (commands: " << known << ")\n"
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
    err << "vtq-cli: " << Printable(e.what()) << "\n"
        << "Run 'vtq-cli " << helpFor << "' for usage.\n";
    return kExitUsage;
  }
  for (auto& [cmd, action] : commands.actions) {
    if (cmd->parsed()) return action(out, err);
  }
  return kExitUsage;
}

}  // namespace vtq::cli
