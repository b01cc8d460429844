// vtq-cli material: a ferrite's measured complex permeability against frequency.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "engine/numbers.h"
#include "ui/model/analysis_views.h"

namespace vtq::cli {

void RegisterMaterialCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "material", "Print the measured complex permeability mu' - j mu'' of a ferrite material's grade");
  cmd->footer(
      "Each material follows a manufacturer grade's data-sheet curves at 25 C (the points printed). The "
      "impedance interpolates them linearly in log f and scales them by the catalogue's initial "
      "permeability over the grade's mu' at its lowest frequency; below and above the data the nearest "
      "point holds, and mu' is 0 beyond its last point. Data: OpenMagnetics MAS material database (BSD "
      "4-Clause); this product includes software developed by OpenMagnetics.");
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
      Json initial = Json::array();
      for (const auto& p : v.initial) initial.push_back({{"temperature_c", p.x}, {"value", p.value}});
      const Json doc = {{"material", v.letter},
                        {"initial_permeability", v.permeability},
                        {"grade", v.grade},
                        {"maker", v.maker},
                        {"source", v.source},
                        {"database", v.database},
                        {"low_frequency_mu_real", v.lowFrequency},
                        {"scale", v.permeability / v.lowFrequency},
                        {"interpolation",
                         "linear in log f; nearest point held outside the data; mu' = 0 "
                         "beyond its last point"},
                        {"saturation_t", {{"25", v.bsat25}, {"100", v.bsat100}}},
                        {"curie_temperature_c", v.curie},
                        {"initial_permeability_by_temperature", initial},
                        {"points", rows}};
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
    out << "\nFrequency (Hz)          mu'         mu''\n";
    // Fixed columns, a point in every locale; a blank where a curve has no point.
    auto column = [](const std::optional<double>& x) {
      return x ? num::Printed(*x, 6, 12) : std::string(12, ' ');
    };
    for (const auto& p : v.points) {
      out << num::Printed(p.frequency, 6, 14) << ' ' << column(p.real) << ' ' << column(p.imag) << '\n';
    }
    return kExitOk;
  });
}

}  // namespace vtq::cli
