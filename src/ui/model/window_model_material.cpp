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
  std::map<double, MaterialPoint> rows;
  for (const auto& p : grade->real) rows[p.x].real = p.value;
  for (const auto& p : grade->imaginary) rows[p.x].imag = p.value;
  for (auto& [f, row] : rows) {
    row.frequency = f;
    v.points.push_back(row);
  }
  v.initial = grade->initial;
  v.bsat25 = grade->bsat25;
  v.bsat100 = grade->bsat100;
  v.curie = grade->curie;
  if (file) {
    v.lines = {
        "Material " + v.letter + " (initial permeability " + Digits(v.permeability) +
        ") takes the permeability of " + v.grade + " as it stands: the core's inductance scales by mu(f) / " +
        Digits(v.permeability) +
        ", mu interpolated linearly in log f, the nearest point held outside the data and mu' 0 beyond "
        "its last point."};
    return v;
  }
  const std::string scale = Digits(v.permeability / v.lowFrequency);
  v.lines = {
      "Material " + v.letter + " (initial permeability " + Digits(v.permeability) + ") follows " + v.maker +
          " " + v.grade + ", measured at 25 C: " + v.source,
      "Data: " + v.database,
      "The impedance takes mu(f) = mu' - j mu'' interpolated linearly in log f, times " + scale +
          " (the catalogue's initial permeability over the grade's mu' at its lowest frequency); below and "
          "above the data the nearest point holds, and mu' is 0 beyond its last point.",
      "Saturation flux density " + Digits(v.bsat25) + " T at 25 C, " + Digits(v.bsat100) +
          " T at 100 C; Curie temperature " + Digits(v.curie) + " C.",
  };
  return v;
}

}  // namespace vtq
