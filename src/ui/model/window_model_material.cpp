// A ferrite material's measured data as every face shows it: the grade that stands for
// the catalogue material, where the curves come from, and the points as drawn.
#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/ferrite.h"
#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "files/user_file.h"
#include "ui/model/analysis_views.h"

namespace vtq {
namespace {

// Four significant digits, a point in every locale: a sentence, not a machine-read number.
std::string Digits(double value) {
  return num::Printed(value, 4);
}

// A fitted file's model more than 5 % from its points, said with the figures.
std::string FitWarning(std::string_view name, const std::shared_ptr<const analysis::Ferrite>& ferrite) {
  const analysis::CoreNetwork& net = analysis::NetworkOf(ferrite);
  if (!(net.worstDeviation > 0.05)) return "";
  const analysis::KramersKronigCheck kk = analysis::KramersKronig(*ferrite);
  return std::string(name) + ": the material model misses the drawn points by up to " +
         Digits(net.worstDeviation * 100) + " % of |mu| (at " + Digits(net.worstDeviationAt) +
         " Hz); mu' worked out from the drawn mu'' (Kramers-Kronig) misses the drawn mu' by up to " +
         Digits(kk.worstDeviation * 100) + " %.";
}

}  // namespace

MaterialFile LoadMaterialFile(const std::string& path) {
  MaterialFile m;
  const files::UserText read = files::ReadUserFile(path, files::UserFileKind::Material);
  m.unreadable = read.systemFailure;
  if (!read.error.empty()) {
    m.error = path + ": " + read.error;
  } else {
    const std::size_t slash = path.find_last_of('/');
    m.ferrite = analysis::FerriteFromText(
        read.text, slash == std::string::npos ? path : path.substr(slash + 1), m.error);
    if (!m.ferrite) m.error = path + ": " + m.error;
  }
  if (m.ferrite) m.warning = FitWarning(path, m.ferrite);
  return m;
}

MaterialView MaterialViewOf(std::string_view letter, const std::shared_ptr<const analysis::Ferrite>& file) {
  MaterialView v;
  v.letter = std::string(letter);
  const int index = MaterialOfLetter(letter);
  const auto grade = file ? file : index > 0 ? analysis::GradeOf(letter) : nullptr;
  if (!grade) {
    v.problem = "No measured data for material " + v.letter + ".";
    return v;
  }
  v.grade = grade->name;
  v.maker = grade->maker;
  v.source = grade->source;
  v.database = file ? "the user's file" : std::string(analysis::kMaterialDataSource);
  v.permeability = static_cast<double>(Materials[static_cast<std::size_t>(index)].Permeability);
  v.lowFrequency = grade->LowFrequency();
  // The two curves may be drawn at different frequencies: one row per frequency either has.
  for (const analysis::MaterialSample& d : analysis::DrawnSamples(*grade))
    v.points.push_back({d.frequency, d.real, d.imag, analysis::ModelPermeability(grade, d.frequency)});
  std::map<double, std::complex<double>> model;
  for (const MaterialPoint& p : v.points) model[p.frequency] = p.model;
  for (double f : analysis::ModelGrid()) model.emplace(f, analysis::ModelPermeability(grade, f));
  for (const auto& [f, mu] : model) v.model.push_back({f, mu});
  v.network = analysis::NetworkOf(grade);
  v.causality = analysis::KramersKronig(*grade);
  if (file) v.fitWarning = FitWarning(grade->name, grade);
  v.initial = grade->initial;
  v.bsat25 = grade->bsat25;
  v.bsat100 = grade->bsat100;
  v.curie = grade->curie;
  // The model in a sentence, with how close it comes; every face says the same.
  const std::string fit =
      "The impedance takes mu(f) from one passive model fitted to the drawn points: mu_inf plus a sum "
      "of relaxations and damped resonances with positive weights (R-L and R-L-C tanks in series with "
      "the winding), which obeys Kramers-Kronig as a real ferrite does and continues past the data as "
      "that network does. It misses the drawn points by up to " +
      Digits(v.network.worstDeviation * 100) + " % of |mu| (at " + Digits(v.network.worstDeviationAt) +
      " Hz); mu' worked out from the drawn mu'' by Kramers-Kronig misses the drawn mu' by up to " +
      Digits(v.causality.worstDeviation * 100) + " %.";
  if (file) {
    v.lines = {"Material " + v.letter + " (initial permeability " + Digits(v.permeability) +
                   ") takes the permeability of " + v.grade +
                   " as it stands: the core's inductance scales by mu(f) / " + Digits(v.permeability) + ".",
               fit};
    if (!v.fitWarning.empty()) v.lines.push_back("Warning: " + v.fitWarning);
    return v;
  }
  const std::string scale = Digits(v.permeability / v.lowFrequency);
  v.lines = {
      "Material " + v.letter + " (initial permeability " + Digits(v.permeability) + ") follows " + v.maker +
          " " + v.grade + ", measured at 25 C: " + v.source,
      "Data: " + v.database,
      fit + " The curve is scaled by " + scale +
          " (the catalogue's initial permeability over the grade's mu' at its lowest frequency).",
      "Saturation flux density " + Digits(v.bsat25) + " T at 25 C, " + Digits(v.bsat100) +
          " T at 100 C; Curie temperature " + Digits(v.curie) + " C.",
  };
  return v;
}

}  // namespace vtq
