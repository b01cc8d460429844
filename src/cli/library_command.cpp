// vtq-cli library: the stocked rings one can buy, filtered by maker, grade and size.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "engine/numbers.h"
#include "ui/model/library_view.h"

namespace vtq::cli {
namespace {

struct LibraryArgs {
  LibraryEntry entry;
  bool json = false, csv = false, corrections = false;
};

// Millimetres with one to three decimals: a ring's size as a data sheet gives it.
std::string Mm(double metres) {
  return num::FormatDouble(metres * 1e3, "0.0##");
}

std::string Price(const LibraryRow& r) {
  return r.price < 0 ? std::string("-") : num::FormatDouble(r.price, "0.00");
}

// A CSV cell: quoted when it holds a comma or a quote.
std::string Cell(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string q = "\"";
  for (char c : text) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

void PrintJson(std::ostream& out, const LibraryView& v, bool corrections) {
  using Json = nlohmann::ordered_json;
  Json rings = Json::array();
  for (const LibraryRow& r : v.rows) {
    rings.push_back({{"part", r.part},
                     {"maker", r.maker},
                     {"grade", r.grade},
                     {"composition", r.composition},
                     {"shape", r.shape},
                     {"od_m", r.od},
                     {"id_m", r.id},
                     {"height_m", r.height},
                     {"effective_length_m", r.length},
                     {"effective_area_m2", r.area},
                     {"effective_volume_m3", r.volume},
                     {"has_curve", r.hasCurve},
                     {"no_curve", r.hasCurve ? Json() : Json(r.noCurve)},
                     {"price", r.price < 0 ? Json() : Json(r.price)},
                     {"currency", "USD"},
                     {"price_date", r.priceDate},
                     {"distributor", r.distributor},
                     {"datasheet", r.datasheet}});
  }
  Json doc = {{"source", v.source}, {"count", v.rows.size()}, {"rings", rings}};
  if (corrections) {
    Json rows = Json::array();
    for (const LibraryCorrection& c : v.corrections)
      rows.push_back({{"grade", c.grade}, {"field", c.field}, {"value", c.value}, {"reason", c.reason}});
    doc["corrections"] = rows;
  }
  out << doc.dump(2) << "\n";
}

void PrintCsv(std::ostream& out, const LibraryView& v) {
  out << "part,maker,grade,composition,shape,od_m,id_m,height_m,effective_length_m,effective_area_m2,"
         "effective_volume_m3,has_curve,price,currency,price_date,distributor\n";
  for (const LibraryRow& r : v.rows) {
    out << Cell(r.part) << ',' << Cell(r.maker) << ',' << Cell(r.grade) << ',' << r.composition << ','
        << Cell(r.shape) << ',' << num::DoubleText(r.od) << ',' << num::DoubleText(r.id) << ','
        << num::DoubleText(r.height) << ',' << num::DoubleText(r.length) << ',' << num::DoubleText(r.area)
        << ',' << num::DoubleText(r.volume) << ',' << (r.hasCurve ? "yes" : "no") << ','
        << (r.price < 0 ? std::string() : num::DoubleText(r.price)) << ",USD," << Cell(r.priceDate) << ','
        << Cell(r.distributor) << '\n';
  }
}

void PrintText(std::ostream& out, const LibraryView& v, bool corrections) {
  out << "Part                   Maker       Grade  OD (mm)  ID (mm)  HT (mm)  le (mm)  Ae (mm2)  Curve  "
         "Price (USD)\n";
  for (const LibraryRow& r : v.rows) {
    auto pad = [](const std::string& s, std::size_t w) {
      return s.size() < w ? s + std::string(w - s.size(), ' ') : s + ' ';
    };
    auto right = [](const std::string& s, std::size_t w) {
      return s.size() < w ? std::string(w - s.size(), ' ') + s : ' ' + s;
    };
    out << pad(r.part, 23) << pad(r.maker, 12) << pad(r.grade, 5) << right(Mm(r.od), 8) << right(Mm(r.id), 9)
        << right(Mm(r.height), 9) << right(num::FormatDouble(r.length * 1e3, "0.00"), 9)
        << right(num::FormatDouble(r.area * 1e6, "0.00"), 10) << "  " << pad(r.hasCurve ? "yes" : "no", 5)
        << right(Price(r), 12) << "\n";
  }
  out << "\n" << v.rows.size() << " rings. " << v.source << "\n";
  if (corrections) {
    out << "\nCorrections to the database:\n";
    for (const LibraryCorrection& c : v.corrections)
      out << "  " << c.grade << " " << c.field << " -> " << c.value << ": " << c.reason << "\n";
  }
}

}  // namespace

void RegisterLibraryCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "library", "List the stocked ferrite rings one can buy, with their size, grade and listed price");
  cmd->footer(
      "Every stocked toroid in a ferrite grade of the MAS database, smallest first. le and Ae follow from "
      "the ring's size by IEC 60205's ring formulas. A grade without a trustworthy complex-permeability "
      "curve is listed with \"Curve: no\"; --json says why. --corrections lists where the database was "
      "overruled and why.");
  auto a = std::make_shared<LibraryArgs>();
  cmd->add_option("--maker", a->entry.maker, "Only this maker's rings (e.g. TDK)");
  cmd->add_option("--grade", a->entry.grade, "Only rings in this grade (e.g. N30)");
  cmd->add_option("--min-od", a->entry.minOd, "Smallest outer diameter, a length with its unit (e.g. 20mm)");
  cmd->add_option("--max-od", a->entry.maxOd, "Largest outer diameter, a length with its unit (e.g. 1.5in)");
  cmd->add_flag("--corrections", a->corrections, "Also list the corrections made to the database");
  CLI::Option* json = cmd->add_flag("--json", a->json, "Print one JSON object");
  cmd->add_flag("--csv", a->csv, "Print comma-separated values, one ring a line")->excludes(json);
  commands.actions.emplace_back(cmd, [a](std::ostream& out, std::ostream& err) {
    const LibraryView v = LibraryViewOf(a->entry);
    if (!v.problem.empty()) return Fail(err, v.problem, kExitUsage);
    if (a->json) {
      PrintJson(out, v, a->corrections);
    } else if (a->csv) {
      PrintCsv(out, v);
    } else {
      PrintText(out, v, a->corrections);
    }
    if (v.rows.empty()) err << "vtq-cli: no ring matches the filter.\n";
    return kExitOk;
  });
}

}  // namespace vtq::cli
