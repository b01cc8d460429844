// vtq-cli material: a ferrite's measured complex permeability against frequency.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <numbers>

#include "cli/cli.h"
#include "engine/numbers.h"
#include "ui/model/analysis_views.h"

namespace vtq::cli {

void RegisterMaterialCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "material", "Print the measured complex permeability mu' - j mu'' of a ferrite material's grade");
  cmd->footer(
      "Each material follows a manufacturer grade's data-sheet curves at 25 C (the points printed) "
      "through one passive model fitted to them: mu_inf plus relaxations and damped resonances with "
      "positive weights, R-L and R-L-C tanks in series with the winding. The impedance, the emission "
      "check, Find Core and the SPICE and MAS exports all take mu(f) from that model, scaled by the "
      "catalogue's initial permeability over the grade's mu' at its lowest frequency. Data: "
      "OpenMagnetics MAS material database (BSD 4-Clause); this product includes software developed "
      "by OpenMagnetics.");
  auto letter = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  auto csv = std::make_shared<bool>(false);
  auto file = std::make_shared<std::string>();
  cmd->add_option(
      "--material-file", *file,
      "Read and check FILE (CSV frequency_hz,mu_real,mu_imag or a JSON material entry) and print it");
  cmd->add_option("material", *letter, "Ferrite material")
      ->required()
      ->check(CLI::IsMember(MaterialLetters()));
  CLI::Option* jsonFlag =
      cmd->add_flag("--json", *json, "Print one JSON object: grade, source, scale, points, temperature data");
  cmd->add_flag("--csv", *csv,
                "Print comma-separated values, one frequency a line, empty where a curve has no point")
      ->excludes(jsonFlag);
  commands.actions.emplace_back(cmd, [letter, json, csv, file](std::ostream& out, std::ostream& err) {
    MaterialFile material;
    if (!file->empty() && !(material = LoadMaterialFile(*file)).ferrite)
      return Fail(err, material.error, material.unreadable ? kExitFailure : kExitUsage);
    if (!material.warning.empty()) err << "vtq-cli: warning: " << Printable(material.warning) << "\n";
    const MaterialView v = MaterialViewOf(*letter, material.ferrite);
    if (!v.problem.empty()) return Fail(err, v.problem, kExitFailure);
    if (*json) {
      using Json = nlohmann::ordered_json;
      Json rows = Json::array();
      for (const auto& p : v.points) {
        rows.push_back({{"frequency_hz", p.frequency},
                        {"mu_real", p.real ? Json(*p.real) : Json()},
                        {"mu_imag", p.imag ? Json(*p.imag) : Json()}});
      }
      Json model = Json::array();
      for (const auto& p : v.model) {
        model.push_back(
            {{"frequency_hz", p.frequency}, {"mu_real", p.model.real()}, {"mu_imag", -p.model.imag()}});
      }
      const analysis::CoreNetwork& net = v.network;
      Json tanks = Json::array();
      for (const analysis::Tank& t : net.tanks) {
        // Per henry of Lm and relative to mu' at the lowest frequency, as the SPICE model scales them.
        Json tank = {{"kind", t.r == 0   ? "inductance"
                              : t.c == 0 ? "relaxation"
                                         : "resonance"},
                     {"l_h_per_h", t.l},
                     {"r_ohm_per_h", t.r},
                     {"c_f_h", t.c},
                     {"weight", t.l * v.lowFrequency}};
        if (t.r > 0) {
          const double f0 = t.c > 0 ? 1 / (2 * std::numbers::pi * std::sqrt(t.l * t.c))
                                    : t.r / (2 * std::numbers::pi * t.l);
          tank["frequency_hz"] = f0;
          if (t.c > 0) tank["quality"] = t.r / (2 * std::numbers::pi * f0 * t.l);
        }
        tanks.push_back(tank);
      }
      Json kk = Json::array();
      for (const auto& p : v.causality.points) {
        kk.push_back(
            {{"frequency_hz", p.frequency}, {"mu_real", p.drawn}, {"mu_real_from_mu_imag", p.fromLoss}});
      }
      Json initial = Json::array();
      for (const auto& p : v.initial) initial.push_back({{"temperature_c", p.x}, {"value", p.value}});
      const Json doc = {
          {"material", v.letter},
          {"initial_permeability", v.permeability},
          {"grade", v.grade},
          {"maker", v.maker},
          {"source", v.source},
          {"database", v.database},
          {"low_frequency_mu_real", v.lowFrequency},
          {"scale", v.permeability / v.lowFrequency},
          {"model",
           {{"description",
             "mu(f) = mu'(lowest f) (mu_inf + sum_k d_k H_k(f)), d_k >= 0; H = 1/(1 + j f/f_k) (R-L tank, "
             "relaxation) or 1/(1 - (f/f_k)^2 + j f/(Q f_k)) (R-L-C tank, damped resonance); the tanks in "
             "series with the winding, whose own inductance of 1000 Lm lies across them"},
            {"fit",
             "non-negative least squares over a grid of tanks, then Levenberg-Marquardt on each tank's "
             "weight, frequency and quality; residuals mu' and mu'' where drawn, over |mu|"},
            {"worst_deviation", net.worstDeviation},
            {"worst_deviation_frequency_hz", net.worstDeviationAt},
            {"worst_magnitude_deviation", net.worstMagnitudeDeviation},
            {"worst_magnitude_frequency_hz", net.worstMagnitudeAt},
            {"worst_phase_deviation_deg", net.worstPhaseDeviation},
            {"worst_phase_frequency_hz", net.worstPhaseAt},
            {"worst_single_curve_deviation", net.worstSingleDeviation},
            {"worst_single_curve_frequency_hz", net.worstSingleAt},
            {"winding_ratio", net.windingRatio},
            {"tanks", tanks}}},
          {"kramers_kronig",
           {{"description",
             "mu'(f) = c + (2/pi) PV integral of mu''(x) x / (x^2 - f^2) dx over the drawn mu'' (linear in "
             "log f, proportional to f below the points and to 1/f above), c by least squares"},
            {"offset", v.causality.offset},
            {"worst_deviation", v.causality.worstDeviation},
            {"worst_deviation_frequency_hz", v.causality.worstAt},
            {"points", kk}}},
          {"saturation_t", {{"25", v.bsat25}, {"100", v.bsat100}}},
          {"curie_temperature_c", v.curie},
          {"initial_permeability_by_temperature", initial},
          {"points", rows},
          {"model_points", model}};
      if (!v.fitWarning.empty()) {
        Json withWarning = doc;
        withWarning["warning"] = v.fitWarning;
        out << withWarning.dump(2) << "\n";
        return kExitOk;
      }
      out << doc.dump(2) << "\n";
      return kExitOk;
    }
    if (*csv) {
      out << "frequency_hz,mu_real,mu_imag\n";
      out << "# " << v.maker << " " << v.grade << " for material " << v.letter
          << ", as measured: " << v.source << "\n";
      // Every digit the data has, so the file reads back as the same curve.
      auto exact = [](const std::optional<double>& x) { return x ? num::DoubleText(*x) : std::string(); };
      for (const auto& p : v.points)
        out << num::DoubleText(p.frequency) << "," << exact(p.real) << "," << exact(p.imag) << "\n";
      return kExitOk;
    }
    for (const auto& line : v.lines) out << line << "\n";
    out << "\nFrequency (Hz)          mu'         mu''    model mu'   model mu''\n";
    // Fixed columns, a point in every locale; a blank where a curve has no point.
    auto column = [](const std::optional<double>& x) {
      return x ? num::Printed(*x, 6, 12) : std::string(12, ' ');
    };
    for (const auto& p : v.points) {
      out << num::Printed(p.frequency, 6, 14) << ' ' << column(p.real) << ' ' << column(p.imag) << ' '
          << column(p.model.real()) << ' ' << column(-p.model.imag()) << '\n';
    }
    return kExitOk;
  });
}

}  // namespace vtq::cli
