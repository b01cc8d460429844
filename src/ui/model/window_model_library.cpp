// The stocked-ring library, listed and filtered.
#include <cmath>

#include "cores/library.h"
#include "cores/ring_geometry.h"
#include "engine/numbers.h"
#include "ui/model/analysis_views.h"
#include "ui/model/library_view.h"

namespace vtq {

std::optional<double> ParseLength(std::string_view text) {
  struct Unit {
    std::string_view name;
    double metres;
  };
  static constexpr Unit kUnits[] = {{"mm", 1e-3}, {"cm", 1e-2}, {"in", 0.0254}, {"m", 1}};
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  for (const Unit& u : kUnits) {
    if (!text.ends_with(u.name)) continue;
    std::string_view number = text.substr(0, text.size() - u.name.size());
    while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
    const std::optional<double> value = num::ParseStrict(number);
    if (!value || !std::isfinite(*value) || *value < 0) return std::nullopt;
    return *value * u.metres;
  }
  return std::nullopt;
}

LibraryView LibraryViewOf(const LibraryEntry& entry) {
  LibraryView v;
  v.source =
      "OpenMagnetics MAS database: data/cores_stock.ndjson and data/core_shapes.ndjson at commit "
      "1408499d0097ea60c2d07698e8e6a0d3e511c8e9 (Apache License 2.0), data/core_materials.ndjson at commit "
      "0512b026c0c03b80e008b3412af9cf3a71bba029 (BSD 4-Clause licence). This product includes software "
      "developed by OpenMagnetics. Prices as listed by the distributor on the date given, US dollars.";
  for (const cores::Correction& c : cores::Corrections()) {
    v.corrections.push_back(
        {std::string(c.grade), std::string(c.field), std::string(c.value), std::string(c.reason)});
  }
  cores::RingFilter filter{entry.maker, entry.grade, std::nullopt, std::nullopt};
  for (auto [text, bound, name] : {std::tuple{&entry.minOd, &filter.minOd, "smallest"},
                                   std::tuple{&entry.maxOd, &filter.maxOd, "largest"}}) {
    if (text->empty()) continue;
    *bound = ParseLength(*text);
    if (!*bound) {
      v.problem = std::string("The ") + name + " outer diameter \"" + *text +
                  "\" is not a length with its unit, such as 25mm or 0.98in.";
      return v;
    }
  }
  for (const cores::StockedRing* r : cores::FindRings(filter)) {
    LibraryRow row;
    row.part = r->part;
    row.maker = r->maker;
    row.grade = r->grade;
    row.composition = r->composition;
    row.shape = r->shape;
    row.od = r->od;
    row.id = r->id;
    row.height = r->height;
    const cores::RingFigures f = cores::FiguresOf(cores::SizeOf(*r));
    row.length = f.length;
    row.area = f.area;
    row.volume = f.volume;
    row.hasCurve = cores::HasCurve(*r);
    if (const cores::LibraryGrade* g = cores::GradeByName(r->grade); g && !row.hasCurve)
      row.noCurve = g->noCurve;
    row.price = r->price;
    row.priceDate = r->priceDate;
    row.distributor = r->distributor;
    row.datasheet = r->datasheet;
    v.rows.push_back(std::move(row));
  }
  return v;
}

}  // namespace vtq
