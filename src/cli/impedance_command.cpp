// vtq-cli impedance: the designed choke's common- and differential-mode impedance over
// frequency, with the figures it is computed from.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "analysis/impedance.h"
#include "analysis/physics.h"
#include "cli/cli.h"

namespace vtq::cli {
namespace {

using analysis::ImpedanceCurve;

std::string Figure(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

struct ImpedanceArgs {
  DesignArgs design;
  analysis::CurveRange range;
  double bsat = 0;
  bool json = false, csv = false;
};

void PrintText(std::ostream& out, const ImpedanceCurve& c) {
  const analysis::ChokeParameters& p = c.parameters;
  auto row = [&](std::string_view label, const std::string& value) {
    out << label << std::string(label.size() < 34 ? 34 - label.size() : 1, ' ') << value << "\n";
  };
  row("Inductance, one winding", Figure(p.inductance) + " H");
  row("Differential inductance per line", Figure(p.leakage) + " H");
  row("Relaxation frequency", Figure(p.relaxation) + " Hz");
  row("Core loss resistance", Figure(p.coreResistance) + " ohm");
  row("Winding capacitance", Figure(p.capacitance) + " F");
  row("DC resistance, one winding", Figure(p.resistance) + " ohm");
  out << "\n" << analysis::Summary(c) << "\n\n";
  out << "Frequency (Hz)    |Zcm| (ohm)     Rcm (ohm)     Xcm (ohm)   |Zdm| (ohm)     Rdm (ohm)"
         "     Xdm (ohm)   Ideal (ohm)\n";
  for (const auto& s : c.points) {
    char line[160];
    std::snprintf(line, sizeof line, "%14.6g %14.6g %13.6g %13.6g %13.6g %13.6g %13.6g %13.6g\n", s.frequency,
                  std::abs(s.commonMode), s.commonMode.real(), s.commonMode.imag(), std::abs(s.differential),
                  s.differential.real(), s.differential.imag(), s.ideal);
    out << line;
  }
}

void PrintJson(std::ostream& out, const ImpedanceCurve& c, const WindowModel& model) {
  using Json = nlohmann::ordered_json;
  const analysis::ChokeParameters& p = c.parameters;
  Json constants = Json::array();
  for (const auto& k : analysis::kPhysics) {
    constants.push_back({{"key", k.key}, {"value", k.value}, {"unit", k.unit}, {"source", k.source}});
  }
  Json points = Json::array();
  for (const auto& s : c.points) {
    points.push_back({{"frequency_hz", s.frequency},
                      {"zcm_ohm", std::abs(s.commonMode)},
                      {"rcm_ohm", s.commonMode.real()},
                      {"xcm_ohm", s.commonMode.imag()},
                      {"zdm_ohm", std::abs(s.differential)},
                      {"rdm_ohm", s.differential.real()},
                      {"xdm_ohm", s.differential.imag()},
                      {"ideal_ohm", s.ideal}});
  }
  Json doc = {{"part", model.window.outputs.txtPN},
              {"parameters",
               {{"inductance_h", p.inductance},
                {"differential_inductance_h", p.leakage},
                {"differential_inductance_reading", "per line"},
                {"magnetizing_inductance_h", p.magnetizing},
                {"initial_permeability", p.permeability},
                {"relaxation_frequency_hz", p.relaxation},
                {"core_resistance_ohm", p.coreResistance},
                {"winding_capacitance_f", p.capacitance},
                {"dc_resistance_ohm", p.resistance},
                {"turns", p.turns},
                {"core_area_m2", p.coreArea}}},
              {"model",
               "Zcore = j w Lm / (1 + j f / f_r); Zcm = 1 / (2 (1 / (Rdc + j w Ldiff + 2 Zcore) + j w C)); "
               "Zdm = 1 / (1 / (Rdc + j w Ldiff) + j w C)"},
              {"self_resonance_hz", c.selfResonance > 0 ? Json(c.selfResonance) : Json(nullptr)},
              {"requirement", c.required ? Json{{"impedance_ohm", c.required->magnitude},
                                                {"frequency_hz", c.required->frequency}}
                                         : Json(nullptr)},
              {"meets", c.meets ? Json{{"from_hz", c.meets->from}, {"to_hz", c.meets->to}} : Json(nullptr)},
              {"saturation",
               {{"current_a", static_cast<double>(model.window.state.CurrentValue)},
                {"peak_flux_t", c.peakFlux},
                {"bsat_t", c.saturationLimit},
                {"saturates", c.Saturates()}}},
              {"constants", constants},
              {"points", points}};
  out << doc.dump(2) << "\n";
}

}  // namespace

void RegisterImpedanceCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "impedance", "Compute a design as the window would and print its impedance over frequency");
  cmd->footer(
      "Common mode: both lines driven together. Differential mode: per line, the current returning "
      "through the other line (the loop of both lines is twice as much), read from the differential "
      "inductance per line that the window shows; the circuit-simulator model reads it the same way. "
      "The ferrite relaxes as a first order with Snoek's law; the winding capacitance is estimated for a "
      "single layer on a conductive core with enamel of permittivity 3.5 (an assumption). No skin "
      "effect, no capacitance between the windings. Saturation: B = Ldiff sqrt(2) I / (N Ae) against "
      "0.35 T, an assumed figure for MnZn ferrite at 100 C; high-permeability grades saturate lower.");
  auto args = std::make_shared<ImpedanceArgs>();
  AddDesignOptions(*cmd, args->design);
  cmd->add_option("--points", args->range.points, "Number of log-spaced frequencies (2 to 100000)")
      ->check(CLI::Range(2, 100000));
  CLI::Option* from =
      cmd->add_option("--from", args->range.from, "Lowest frequency (Hz)")->check(CLI::Range(1e-3, 1e12));
  CLI::Option* to =
      cmd->add_option("--to", args->range.to, "Highest frequency (Hz)")->check(CLI::Range(1e-3, 1e12));
  from->needs(to);
  to->needs(from);
  cmd->add_option("--bsat", args->bsat, "Saturation flux density to compare with (T)")
      ->check(CLI::Range(1e-3, 10.0));
  CLI::Option* jsonFlag = cmd->add_flag("--json", args->json, "Print one JSON object: parameters and points");
  cmd->add_flag("--csv", args->csv, "Print comma-separated values, one frequency a line")->excludes(jsonFlag);
  commands.actions.emplace_back(cmd, [args](std::ostream& out, std::ostream& err) {
    if (args->range.from > 0 && !(args->range.to > args->range.from)) {
      err << "vtq-cli: --to must lie above --from\n";
      return kExitUsage;
    }
    ShellHost host;
    WindowModel model(host);
    if (!ComputeOrReport(model, host, args->design.Resolve(), err)) return kExitUsage;
    const ImpedanceCurve curve = analysis::ChokeImpedance(model.window, args->range, args->bsat);
    if (!curve.problem.empty()) {
      err << "vtq-cli: " << curve.problem << "\n";
      return kExitFailure;
    }
    if (args->json) {
      PrintJson(out, curve, model);
    } else if (args->csv) {
      out << analysis::CurveCsv(curve);
    } else {
      PrintText(out, curve);
    }
    return kExitOk;
  });
}

}  // namespace vtq::cli
