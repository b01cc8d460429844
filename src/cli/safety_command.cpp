// vtq-cli safety: the insulation the windings of the designed choke need between them, the
// angle that takes on its ring, and the Y-capacitor budget of the equipment's touch-current
// limit. The window model computes them; this only prints them.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli.h"
#include "cli/json_writer.h"

namespace vtq::cli {
namespace {

struct SafetyArgs {
  DesignArgs design;
  SafetyEntry entry;
  bool json = false, csv = false, list = false;
};

void Optional(JsonWriter& json, std::string_view key, std::optional<double> value) {
  json.Key(key);
  if (value) {
    json.Double(*value);
  } else {
    json.Null();
  }
}

void OptionalText(JsonWriter& json, std::string_view key, const std::string& text) {
  json.Key(key);
  if (text.empty()) {
    json.Null();
  } else {
    json.String(text);
  }
}

void PrintJson(std::ostream& out, const SafetyView& v, const SafetyEntry& e) {
  std::string text;
  JsonWriter json(text, 2);
  json.BeginObject().Key("insulation").BeginObject();
  json.Key("class").String("basic").Key("standard").String("IEC 60664-1:2020");
  json.Key("line_to_neutral_v").Double(v.lineToNeutral).Key("line_to_line_v").Double(v.lineToLine);
  json.Key("overvoltage_category").String(e.category).Key("pollution_degree").String(e.pollution);
  json.Key("material_group").String(e.group).Key("impulse_voltage_v").Double(v.impulseVoltage);
  Optional(json, "divider_m", v.divider > 0 ? std::optional(v.divider) : std::nullopt);
  OptionalText(json, "ring_problem", v.ringProblem);
  Optional(json, "bore_m", v.ringProblem.empty() ? std::optional(v.bore) : std::nullopt);
  Optional(json, "wire_m", v.ringProblem.empty() ? std::optional(v.wire) : std::nullopt);
  OptionalText(json, "note", v.note);
  json.Key("gaps").BeginArray();
  for (const SafetyGap& g : v.gaps) {
    json.BeginObject().Key("between").String(g.between).Key("working_voltage_v").Double(g.workingVoltage);
    json.Key("required_clearance_m").Double(g.clearance);
    Optional(json, "required_creepage_m", g.creepage);
    Optional(json, "achieved_clearance_m", g.achievedClearance);
    Optional(json, "achieved_creepage_m", g.achievedCreepage);
    OptionalText(json, "binding", g.binding);
    Optional(json, "centre_angle_deg", g.centreAngle);
    Optional(json, "gap_angle_deg", g.gapAngle);
    json.EndObject();
  }
  json.EndArray().EndObject();
  if (v.budget) WriteYBudget(json, *v.budget);
  json.EndObject();
  out << text << "\n";
}

void PrintCases(std::ostream& out, bool json) {
  if (json) {
    std::string text;
    JsonWriter writer(text, 2);
    writer.BeginArray();
    for (const TouchCurrentRow& r : TouchCurrentTable()) {
      writer.BeginObject().Key("equipment").String(r.key).Key("case").String(r.name);
      writer.Key("limit_a").Double(r.limit).Key("source").String(r.source).EndObject();
    }
    writer.EndArray();
    out << text << "\n";
    return;
  }
  for (const TouchCurrentRow& r : TouchCurrentTable()) {
    const std::string limit = Figure(r.limit * 1e3) + " mA";
    out << r.key << std::string(r.key.size() < 26 ? 26 - r.key.size() : 1, ' ')
        << std::string(limit.size() < 9 ? 9 - limit.size() : 0, ' ') << limit << "  " << r.name << " ("
        << r.source << ")\n";
  }
}

}  // namespace

void WriteYBudget(JsonWriter& json, const YBudgetView& b) {
  json.Key("y_budget").BeginObject().Key("max_per_line_f").Double(b.maxPerLine);
  json.Key("max_total_f").Double(b.maxTotal).Key("case").String(b.caseName);
  OptionalText(json, "source", b.source);
  json.Key("limit_a").Double(b.limit).Key("worst_case").String(b.worstCase);
  if (b.typedPerLine >= 0) {
    json.Key("y_capacitor_f").Double(b.typedPerLine).Key("exceeded").Bool(!b.warning.empty());
    OptionalText(json, "warning", b.warning);
  }
  json.EndObject();
}

void AddInsulationOptions(CLI::App& cmd, SafetyEntry& e, bool withMains) {
  if (withMains) {
    cmd.add_option("--mains-voltage", e.mainsVoltage,
                   "Highest mains voltage line to neutral, rms (V), e.g. 264");
  }
  {
    cmd.add_option("--overvoltage-category", e.category, "Overvoltage category: I, II, III or IV")
        ->check(CLI::IsMember({"I", "II", "III", "IV"}))
        ->default_str(e.category);
    cmd.add_option("--pollution-degree", e.pollution, "Pollution degree of the choke's surroundings: 1 to 4")
        ->check(CLI::IsMember({"1", "2", "3", "4"}))
        ->default_str(e.pollution);
    cmd.add_option("--material-group", e.group,
                   "Insulating material group of the ring's coating and any divider, by its tracking index: "
                   "I, II, IIIa or IIIb (IIIb when not known)")
        ->check(CLI::IsMember({"I", "II", "IIIa", "IIIb"}))
        ->default_str(e.group);
    cmd.add_option(
        "--divider", e.divider,
        "Thickness of an insulating plate across the ring between the windings, with its unit, e.g. "
        "1mm or 0.04in");
  }
}

void AddSafetyOptions(CLI::App& cmd, SafetyEntry& e, bool insulation) {
  cmd.add_option("--mains-voltage", e.mainsVoltage,
                 "Highest mains voltage line to neutral, rms (V), e.g. 264");
  cmd.add_option("--mains-frequency", e.mainsFrequency, "Highest mains frequency (Hz), e.g. 60");
  if (insulation) AddInsulationOptions(cmd, e, false);
  cmd.add_option("--touch-current", e.touchCurrent,
                 "Touch or protective-conductor current limit (A), e.g. 0.25m; replaces --equipment's");
  std::vector<std::string> keys;
  for (const TouchCurrentRow& r : TouchCurrentTable()) keys.push_back(r.key);
  cmd.add_option("--equipment", e.equipment,
                 "A tabulated touch-current case (vtq-cli safety --list-equipment)")
      ->check(CLI::IsMember(keys));
}

void RegisterSafetyCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "safety", "Insulation between the windings and the Y-capacitor budget of the designed choke");
  auto args = std::make_shared<SafetyArgs>();
  AddDesignOptions(*cmd, args->design);
  AddSafetyOptions(*cmd, args->entry, true);
  cmd->add_option("--windings", args->entry.windings,
                  "Windings, one a line: 2 (single phase), 3 (three phases) or 4 (and the neutral): the gaps "
                  "between them and the lines the Y budget is shared among")
      ->check(CLI::Range(2, 4))
      ->default_str("2");
  CLI::Option* jsonFlag = cmd->add_flag("--json", args->json, "Print one JSON object");
  cmd->add_flag("--csv", args->csv, "Print comma-separated values, one gap of the ring a line")
      ->excludes(jsonFlag);
  cmd->add_flag("--list-equipment", args->list, "Print the tabulated touch-current cases and stop");
  cmd->footer(
      "Insulation between windings is basic: they sit on different mains lines. Working voltage: line to "
      "neutral between the two windings of a single-phase choke; line to line between the lines of a "
      "three-phase one, line to neutral beside its neutral winding. Clearance: the rated impulse voltage "
      "of the line-to-neutral voltage and overvoltage category (IEC 60664-1:2020 Table F.1), then the "
      "clearance for an inhomogeneous field at the pollution degree (Table F.2). Creepage: by working "
      "voltage, pollution degree and material group (Table F.5, linear between rows), never less than the "
      "clearance; none at pollution degree 4. Enamel is not insulation. On the ring the turns come closest "
      "at the bore: the clearance is the straight line between the nearest turns, the creepage the arc "
      "along the coated bore. A divider takes the air path (it stands out of the winding by half the "
      "clearance or more); the turns must fit beside it. Y budget: the total Y capacitance is at most "
      "I / (2 pi f V), f and V the highest mains frequency and line-to-neutral voltage; worst case one line "
      "earthed, or the neutral open on a single-phase supply. See the help page on safety.");
  commands.actions.emplace_back(cmd, [args](std::ostream& out, std::ostream& err) {
    if (args->list) {
      PrintCases(out, args->json);
      return kExitOk;
    }
    if (args->entry.mainsVoltage.empty()) return Fail(err, "--mains-voltage is required", kExitUsage);
    ShellHost host;
    WindowModel model(host);
    try {
      ComputeDesign(model, host, args->design.Resolve());
    } catch (const PromptRequired& p) {
      return Fail(err, p.firstLine, kExitUsage);
    }
    model.Safety_Change(args->entry);
    return ShowCalculated(model, host, out, err,
                          [args](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
                            const SafetyView& v = model.safety;
                            if (!v.inputProblem.empty()) return Fail(err, v.inputProblem, kExitUsage);
                            if (!v.problem.empty()) return Fail(err, v.problem, kExitUsage);
                            if (args->json) {
                              PrintJson(out, v, args->entry);
                            } else if (args->csv) {
                              out << SafetyCsvOf(v);
                            } else {
                              for (const std::string& line : v.lines) out << line << "\n";
                            }
                            return kExitOk;
                          });
  });
}

}  // namespace vtq::cli
