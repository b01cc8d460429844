// vtq-cli emissions: will the designed choke, with its Y and X capacitors, get the
// converter through the conducted-emission test, and by how much. The window model
// computes the check; this only prints it.
#include <CLI/CLI.hpp>
#include <cmath>
#include <functional>
#include <memory>

#include "cli/cli.h"
#include "cli/json_writer.h"

namespace vtq::cli {
namespace {

struct EmissionsArgs {
  DesignArgs design;
  EmissionsEntry entry;
  std::string prescan;  // a file name
  MeasuredArgs measured;
  SafetyEntry safety;
  RingArgs ring;
  bool json = false, csv = false, netlist = false, findCore = false;
};

std::size_t Width(const std::string& text) {
  return static_cast<std::size_t>(num::CellWidth(text));
}

void PrintSearch(std::ostream& out, const CoreSearchView& v) {
  std::vector<std::size_t> width;
  for (const auto& h : v.headings) width.push_back(Width(h));
  for (const auto& row : v.rows) {
    for (std::size_t i = 0; i < row.size(); ++i) width[i] = std::max(width[i], Width(row[i]));
  }
  auto line = [&](const std::vector<std::string>& cells) {
    std::string l;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::string pad(width[i] - Width(cells[i]), ' ');
      l += (i == 0 ? cells[i] + pad : "  " + pad + cells[i]);
    }
    out << l << "\n";
  };
  out << "Cores tried, smallest first:\n";
  line(v.headings);
  for (const auto& row : v.rows) line(row);
  out << v.summary << "\n\n";
}

// One decimal of a level, right-aligned in `width`, "-" where the source has no such harmonic.
std::string Level(double v, std::size_t width = 8) {
  const std::string text = std::isfinite(v) ? num::FormatDouble(v, "0.0") : "-";
  return std::string(width > text.size() ? width - text.size() : 1, ' ') + text;
}

void PrintText(std::ostream& out, const EmissionsView& v) {
  out << "Standard: " << v.standardName << "; network: "
      << (v.inputs.filter.network == analysis::Network::Cispr16 ? "50 uH / 50 ohm V-network" : "50 ohm")
      << " per line. Levels in dBuV at one line's receiver port.\n\n";
  out << "   n  Frequency (Hz)  CM bare  CM caps  CM filt  DM bare  DM caps  DM filt  QP lim  AV lim  "
         "Margin (dB)\n";
  for (const auto& r : v.check.rows) {
    std::string line = std::to_string(r.harmonic);
    line.insert(0, line.size() < 4 ? 4 - line.size() : 0, ' ');
    line += ' ';
    num::AppendPrinted(line, r.frequency, 6, 15);
    for (double level : {r.common.bare, r.common.capacitors, r.common.filtered, r.differential.bare,
                         r.differential.capacitors, r.differential.filtered}) {
      line += ' ' + Level(level);
    }
    line += ' ' + Level(r.limit.quasiPeak, 7) + ' ' + Level(r.limit.average, 7) + ' ' + Level(r.margin) +
            (r.mode == analysis::Mode::Common ? " CM\n" : " DM\n");
    out << line;
  }
  out << "\n" << v.verdict << "\n";
  if (v.yBudget) out << v.yBudget->summary << "\n";
}

void Levels(JsonWriter& json, std::string_view prefix, const analysis::ModeLevels& m) {
  const std::string p(prefix);
  json.Key(p + "_bare_dbuv").Double(m.bare).Key(p + "_capacitors_dbuv").Double(m.capacitors);
  json.Key(p + "_filtered_dbuv").Double(m.filtered);
}

// The cores a search tried, in the order tried, and the one applied (null when none passes).
void SearchJson(JsonWriter& json, const CoreSearchView& search) {
  json.Key("search").BeginObject().Key("tried").BeginArray();
  const analysis::CoreTrial* winner = nullptr;
  for (const analysis::CoreTrial& t : search.trials) {
    json.BeginObject().Key("part").String(t.part).Key("core").Integer(t.row).Key("turns").Integer(t.turns);
    json.Key("awg").Integer(t.gauge).Key("inductance_h").Double(t.inductance);
    json.Key("meets_common_mode").Bool(t.met).Key("worst_margin_db").Double(t.worstMargin);
    json.Key("worst_frequency_hz")
        .Double(t.worstFrequency)
        .Key("worst_mode")
        .String(EmissionModeName(t.worstMode));
    json.Key("temperature_rise_c").Double(t.tempRise).Key("passes").Bool(t.passes).EndObject();
    if (t.passes) winner = &t;
  }
  json.EndArray().Key("winner");
  if (search.apply && winner) {
    json.BeginObject().Key("part").String(winner->part).Key("core").Integer(winner->row);
    json.Key("turns").Integer(winner->turns).EndObject();
  } else {
    json.Null();
  }
  json.Key("summary").String(search.summary).EndObject();
}

// The rings Find Core tried over the library, in the order tried, and the one that passes
// (null when none does).
void RingSearchJson(JsonWriter& json, const RingSearchView& search) {
  json.Key("search").BeginObject().Key("tried").BeginArray();
  auto optional = [&](bool has, double value) -> JsonWriter& {
    return has ? json.Double(value) : json.Null();
  };
  for (const RingTryRow& t : search.ring.tried) {
    json.BeginObject().Key("part").String(t.part).Key("grade").String(t.grade);
    json.Key("od_m").Double(t.od).Key("id_m").Double(t.id).Key("height_m").Double(t.height).Key("turns");
    (t.turns > 0 ? json.Integer(t.turns) : json.Null()).Key("awg");
    (t.turns > 0 ? json.Integer(t.gauge) : json.Null()).Key("temperature_rise_c");
    optional(t.turns > 0, t.rise).Key("worst_margin_db");
    optional(t.emissionMargin.has_value(), t.emissionMargin.value_or(0)).Key("worst_frequency_hz");
    optional(t.emissionMargin.has_value(), t.emissionFrequency).Key("price_usd");
    optional(t.price >= 0, t.price).Key("passes").Bool(t.why.empty()).Key("passed_over");
    (t.why.empty() ? json.Null() : json.String(t.why)).EndObject();
  }
  json.EndArray().Key("winner");
  if (search.status == kExitOk) {
    const RingView& r = search.ring;
    json.BeginObject().Key("part").String(r.part).Key("maker").String(r.maker).Key("grade").String(r.grade);
    json.Key("turns").Integer(r.turns).Key("awg").Integer(r.gauge).Key("inductance_h").Double(r.inductance);
    json.Key("temperature_rise_c").Double(r.rise).EndObject();
  } else {
    json.Null();
  }
  json.Key("summary").String(search.summary).EndObject();
}

using SearchWriter = std::function<void(JsonWriter&)>;

// `search`: the search that made the design, when there was one.
void PrintJson(std::ostream& out, const EmissionsView& v, const SearchWriter& search) {
  std::string text;
  JsonWriter json(text, 2);
  const analysis::EmissionCheck& c = v.check;
  json.BeginObject();
  if (search) search(json);
  json.Key("part").String(v.part).Key("standard").String(v.standardName);
  json.Key("network").String(v.inputs.filter.network == analysis::Network::Cispr16 ? "cispr16" : "50ohm");
  json.Key("required_margin_db").Double(v.inputs.margin).Key("harmonics").BeginArray();
  for (const auto& r : c.rows) {
    json.BeginObject().Key("harmonic").Integer(r.harmonic).Key("frequency_hz").Double(r.frequency);
    Levels(json, "cm", r.common);
    Levels(json, "dm", r.differential);
    json.Key("limit_qp_dbuv").Double(r.limit.quasiPeak).Key("limit_av_dbuv").Double(r.limit.average);
    json.Key("margin_db").Double(r.margin).Key("mode").String(EmissionModeName(r.mode));
    json.Key("binds").String(r.binds == analysis::Detector::Average ? "average" : "quasi-peak").EndObject();
    // A scan of many points is written as it goes: the whole text would be some hundred
    // times the scan file.
    if (text.size() >= (1 << 16)) {
      out << text;
      text.clear();
    }
  }
  json.EndArray().Key("worst").BeginObject().Key("margin_db").Double(c.worstMargin);
  json.Key("frequency_hz").Double(c.worstFrequency).Key("mode").String(EmissionModeName(c.worstMode));
  json.EndObject().Key("passes").Bool(c.passes).Key("verdict").String(v.verdict);
  if (v.yBudget) WriteYBudget(json, *v.yBudget);
  json.EndObject();
  out << text << "\n";
}

// The check as the options ask for it; the status says the verdict, so that a script can
// gate on it. `fails`: what to say when it fails, in place of the verdict.
int PrintCheck(std::ostream& out, std::ostream& err, const EmissionsArgs& args, const EmissionsView& v,
               const SearchWriter& search, const std::function<std::string()>& netlist,
               const std::string& fails = {}) {
  if (!v.inputProblem.empty()) return Fail(err, v.inputProblem, kExitUsage);
  // No winding: the design stopped early, or its winding cannot be used.
  if (!v.problem.empty()) return Fail(err, v.problem, kExitIncomplete);
  if (v.yBudget && !v.yBudget->warning.empty()) err << "vtq-cli: warning: " << v.yBudget->warning << "\n";
  if (args.json) {
    PrintJson(out, v, search);
  } else if (args.csv) {
    out << EmissionsCsvOf(v);
  } else if (args.netlist) {
    out << netlist();
  } else {
    PrintText(out, v);
  }
  return v.check.passes ? kExitOk : Fail(err, fails.empty() ? v.verdict : fails, kExitFailsLimit);
}

// Find Core over the library: the rings tried, then the check of the winner (or of the
// closest try when none passes).
int PrintRingSearch(std::ostream& out, std::ostream& err, const EmissionsArgs& args,
                    const RingSearchView& s) {
  if (!s.inputProblem.empty()) return Fail(err, s.inputProblem, kExitUsage);
  if (s.status == kExitUsage) return Fail(err, s.problem, kExitUsage);
  const SearchWriter search = [&](JsonWriter& json) { RingSearchJson(json, s); };
  const bool text = !args.json && !args.csv;
  if (text) {
    PrintTried(out, args.ring.entry.byPrice ? "Rings tried, cheapest first:" : "Rings tried, smallest first:",
               s.ring.tried);
    out << s.summary << "\n\n";
  }
  if (s.status == kExitIncomplete) {
    if (args.json) {
      std::string json;
      JsonWriter writer(json, 2);
      writer.BeginObject();
      search(writer);
      writer.EndObject();
      out << json << "\n";
    }
    return Fail(err, s.problem, kExitIncomplete);
  }
  return PrintCheck(
      out, err, args, s.emissions, args.json ? search : SearchWriter(), [] { return std::string(); },
      s.problem);
}

}  // namespace

void RegisterEmissionsCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "emissions", "Check the designed choke's conducted emissions against a limit, harmonic by harmonic");
  auto args = std::make_shared<EmissionsArgs>();
  AddDesignOptions(*cmd, args->design);
  EmissionsEntry& e = args->entry;
  std::vector<std::string> standards;
  for (const EmissionStandard& s : EmissionStandards()) standards.emplace_back(s.key);
  std::string listed;
  for (std::size_t i = 0; i < standards.size(); ++i)
    listed += (i == 0 ? "" : i + 1 == standards.size() ? " or " : ", ") + standards[i];
  cmd->add_option("--standard", e.standard, "Limit lines: " + listed)
      ->check(CLI::IsMember(standards))
      ->default_str(e.standard);
  cmd->add_option("--swing", e.swing, "Switched voltage swing (V), e.g. 325")->required();
  cmd->add_option("--fsw", e.frequency, "Switching frequency (Hz), e.g. 100k")->required();
  cmd->add_option("--duty", e.duty, "Duty cycle at half amplitude, 0 to 1")->default_str(e.duty);
  cmd->add_option("--rise", e.rise, "Rise and fall time of each edge, 0 to 100 % (s), e.g. 50n")
      ->default_str(e.rise);
  cmd->add_option("--cp", e.parasitic, "Parasitic capacitance, switched node to earth (F), e.g. 20p")
      ->required();
  cmd->add_option("--ripple", e.ripple, "Input ripple current, peak to peak (A), e.g. 1.5")->required();
  cmd->add_option("--ripple-shape", e.rippleShape, "Ripple current waveform: trapezoid or triangle")
      ->check(CLI::IsMember({"trapezoid", "triangle"}))
      ->default_str(e.rippleShape);
  cmd->add_option("--cy", e.cy,
                  "Y capacitor, each line to earth (F), e.g. 2.2n; max: the largest the touch-current limit "
                  "allows")
      ->default_str(e.cy);
  cmd->add_option("--cx", e.cx, "X capacitor across the lines (F), e.g. 470n")->default_str(e.cx);
  cmd->add_option("--lisn", e.network, "Network per line: cispr16 (50 uH / 50 ohm) or 50ohm")
      ->check(CLI::IsMember({"cispr16", "50ohm"}))
      ->default_str(e.network);
  cmd->add_option("--margin", e.margin, "Margin required below the limit (dB)")->default_str(e.margin);
  cmd->add_option("--prescan", args->prescan,
                  "Measured scan without the filter, CSV frequency_hz,dbuv: replaces the estimated source");
  AddMeasuredOptions(
      *cmd, args->measured,
      "whose impedance replaces the model's where the file has points (R and X linear in log f "
      "between them)");
  AddSafetyOptions(*cmd, args->safety, false);
  CLI::Option* jsonFlag = cmd->add_flag("--json", args->json, "Print one JSON object");
  CLI::Option* csvFlag =
      cmd->add_flag("--csv", args->csv, "Print comma-separated values, one harmonic a line")
          ->excludes(jsonFlag);
  cmd->add_flag("--netlist", args->netlist, "Print the test bench as a circuit-simulator netlist")
      ->excludes(jsonFlag)
      ->excludes(csvFlag);
  cmd->add_flag(
      "--find-core", args->findCore,
      "Walk the catalogue from the smallest core, apply the first that passes, then print as usual; "
      "with --library, walk the stocked rings the filter leaves (--by size or price) and check the "
      "first that passes");
  cmd->footer(
      "Levels are the RMS value of each harmonic of the switching frequency at one line's receiver port, "
      "in dBuV, from the exact Fourier coefficients of the trapezoid; a steady harmonic reads the same on "
      "the peak, quasi-peak and average detectors, so each is compared with both limits. Common mode: the "
      "swing through --cp to earth, the Y capacitors, the choke's common-mode impedance, both networks in "
      "parallel. Differential mode: the ripple current into the X capacitor, the choke's differential "
      "impedance in each line, both networks in series. A ring of 3 or 4 --windings is checked as a "
      "three-phase bridge's filter with 3 or 4 lines. See the help page on conducted emissions.");
  AddRingOptions(*cmd, args->ring, true);
  commands.actions.emplace_back(cmd, [args](std::ostream& out, std::ostream& err) {
    if (const int status = RingUsage(args->ring, err); status != kExitOk) return status;
    if (args->ring.Wanted() && args->netlist && args->findCore)
      return Fail(err, "--netlist is of a ring named, sized or chosen, not of Find Core's", kExitUsage);
    if (args->findCore && args->ring.Wanted() && !args->ring.library) {
      return Fail(err,
                  "--find-core walks the catalogue, or the stocked library with --library: a ring named by "
                  "--ring or --toroid has nothing to find",
                  kExitUsage);
    }
    EmissionsEntry entry = args->entry;
    // The netlist and the core search are of the model's choke, not of a measured one.
    if (!args->measured.file.empty() && (args->netlist || args->findCore)) {
      return Fail(err, "--measured checks the measured choke; --netlist and --find-core are of the model's",
                  kExitUsage);
    }
    if (!args->prescan.empty()) {
      ScanFile scan = LoadScanFile(args->prescan);
      if (!scan.error.empty()) return Fail(err, scan.error, scan.unreadable ? kExitFailure : kExitUsage);
      entry.prescan = std::move(scan.text);
    }
    if (args->safety.Budget() && args->safety.mainsVoltage.empty()) {
      return Fail(err, "--touch-current and --equipment need --mains-voltage and --mains-frequency",
                  kExitUsage);
    }
    if (args->ring.Wanted()) {
      return ShowRing(args->design.Resolve(), args->ring, out, err,
                      [args, entry](WindowModel& model, std::ostream& o, std::ostream& e) {
                        if (args->safety.Budget()) model.Safety_Change(args->safety);
                        model.Emissions_Change(entry);
                        if (const int status = UseMeasured(model, args->measured, e)) return status;
                        if (args->findCore)
                          return PrintRingSearch(o, e, *args, model.RingFindCore(args->ring.entry));
                        RingView ring;
                        const EmissionsView v = model.RingEmissions(args->ring.entry, ring);
                        if (const int status = RingDone(ring, e, args->json ? &o : nullptr)) return status;
                        return PrintCheck(o, e, *args, v, {},
                                          [&] { return model.RingEmissionsNetlist(args->ring.entry, v); });
                      });
    }
    ShellHost host;
    WindowModel model(host);
    try {
      ComputeDesign(model, host, args->design.Resolve());
    } catch (const PromptRequired& p) {
      return Fail(err, p.firstLine, kExitUsage);
    }
    // The window's own commands: the safety inputs and the entries typed into the view, Find Core pressed.
    if (args->safety.Budget()) model.Safety_Change(args->safety);
    model.Emissions_Change(entry);
    if (const int status = UseMeasured(model, args->measured, err)) return status;
    if (args->findCore) {
      const std::size_t before = host.messages.size();
      model.EmissionsFindCore_Click();
      model.EmissionsApplyCore_Click();  // the command applies what it found
      // The core found replaced the design given: what its calculation said is not about
      // the design shown.
      if (model.coreSearch.applied)
        host.messages.erase(host.messages.begin(), host.messages.begin() + before);
    }
    return ShowCalculated(
        model, host, out, err, [args](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
          const CoreSearchView& search = model.coreSearch;
          if (args->findCore) {
            if (!search.inputProblem.empty()) return Fail(err, search.inputProblem, kExitUsage);
            if (!args->json && !args->csv && !args->netlist) PrintSearch(out, search);
            if (!search.apply) {
              if (args->json) {
                std::string text;
                JsonWriter json(text, 2);
                json.BeginObject();
                SearchJson(json, search);
                json.EndObject();
                out << text << "\n";
              }
              // No core tried: none offered in the material holds a winding of the current.
              return Fail(err, search.problem, search.trials.empty() ? kExitIncomplete : kExitFailsLimit);
            }
          }
          // The view opened.
          model.mnuEmissions_Click();
          SearchWriter written;
          if (args->findCore) written = [&](JsonWriter& json) { SearchJson(json, search); };
          return PrintCheck(out, err, *args, model.emissions, written,
                            [&] { return EmissionsNetlistOf(model.window, model.emissions); });
        });
  });
}

}  // namespace vtq::cli
