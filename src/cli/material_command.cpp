// vtq-cli material: a ferrite's complex permeability against frequency.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "analysis/physics.h"
#include "cli/cli.h"
#include "engine/catalogue.h"

namespace vtq::cli {

void RegisterMaterialCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "material", "Print a ferrite's complex permeability mu' - j mu'' from 10 kHz to 100 MHz");
  cmd->footer(
      "First-order relaxation mu = mu_i / (1 + j f / f_r), f_r from Snoek's law (mu_i - 1) f_r = "
      "2/3 (gamma / 2 pi) mu0 Ms with mu0 Ms = 0.5 T: the limit set by spin rotation, so measured "
      "ferrites may fall somewhat earlier. The constants and their sources are in the JSON.");
  auto letter = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  auto csv = std::make_shared<bool>(false);
  cmd->add_option("material", *letter, "Ferrite material")
      ->required()
      ->check(CLI::IsMember(MaterialLetters()));
  CLI::Option* jsonFlag = cmd->add_flag("--json", *json, "Print one JSON object: law, constants, points");
  cmd->add_flag("--csv", *csv, "Print comma-separated values, one frequency a line")->excludes(jsonFlag);
  commands.actions.emplace_back(cmd, [letter, json, csv](std::ostream& out, std::ostream&) {
    const auto mu =
        static_cast<double>(Materials[static_cast<std::size_t>(MaterialOfLetter(*letter))].Permeability);
    const double fr = analysis::RelaxationFrequency(mu);
    // Ten points a decade over four decades.
    std::vector<std::pair<double, std::complex<double>>> points;
    for (int i = 0; i <= 40; ++i) {
      const double f = 1e4 * std::pow(10.0, i / 10.0);
      points.emplace_back(f, analysis::Permeability(mu, f));
    }
    if (*json) {
      using Json = nlohmann::ordered_json;
      Json constants = Json::array();
      for (const auto& c : analysis::kPhysics) {
        constants.push_back({{"key", c.key}, {"value", c.value}, {"unit", c.unit}, {"source", c.source}});
      }
      Json rows = Json::array();
      for (const auto& [f, m] : points)
        rows.push_back({{"frequency_hz", f}, {"mu_real", m.real()}, {"mu_imag", -m.imag()}});
      const Json doc = {{"material", *letter},           {"initial_permeability", mu},
                        {"relaxation_frequency_hz", fr}, {"law", "mu = mu_i / (1 + j f / f_r)"},
                        {"constants", constants},        {"points", rows}};
      out << doc.dump(2) << "\n";
      return kExitOk;
    }
    if (*csv) {
      out << "frequency_hz,mu_real,mu_imag\n";
      for (const auto& [f, m] : points)
        out << Figure(f) << "," << Figure(m.real()) << "," << Figure(-m.imag()) << "\n";
      return kExitOk;
    }
    out << "Material " << *letter << ": initial permeability " << Figure(mu) << ", relaxation frequency "
        << Figure(fr) << " Hz\n\n";
    out << "Frequency (Hz)          mu'         mu''\n";
    for (const auto& [f, m] : points) {
      out << num::Printed(f, 6, 14) << ' ' << num::Printed(m.real(), 6, 12) << ' '
          << num::Printed(-m.imag(), 6, 12) << '\n';
    }
    return kExitOk;
  });
}

}  // namespace vtq::cli
