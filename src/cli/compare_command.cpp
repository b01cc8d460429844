// vtq-cli compare: every core offered in the material, evaluated as a pick from the core
// list would evaluate it, as a table, JSON or CSV.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>

#include "analysis/compare.h"
#include "cli/cli.h"

namespace vtq::cli {
namespace {

using analysis::Comparison;
using analysis::kCompareColumns;

void PrintTable(std::ostream& out, const Comparison& c) {
  std::vector<std::size_t> width(kCompareColumns.size());
  for (std::size_t i = 0; i < kCompareColumns.size(); ++i) width[i] = kCompareColumns[i].heading.size();
  for (const auto& r : c.rows) {
    for (std::size_t i = 0; i < kCompareColumns.size(); ++i) {
      width[i] = std::max(width[i], (r.*kCompareColumns[i].cell).text.size());
    }
  }
  auto line = [&](std::string_view mark, auto&& text) {
    std::string l(mark);
    for (std::size_t i = 0; i < kCompareColumns.size(); ++i) {
      const std::string t(text(i));
      // Texts left-aligned, numbers right-aligned so their points line up.
      const bool left = i == 0 || i + 1 == kCompareColumns.size();
      const std::string pad(width[i] - t.size(), ' ');
      l += (i == 0 ? "" : "  ") + (left ? t + pad : pad + t);
    }
    while (!l.empty() && l.back() == ' ') l.pop_back();
    out << l << "\n";
  };
  line("  ", [](std::size_t i) { return kCompareColumns[i].heading; });
  for (const auto& r : c.rows) {
    line(r.automatic ? "> " : "  ", [&](std::size_t i) { return (r.*kCompareColumns[i].cell).text; });
  }
  out << "\nMaterial " << c.materialLetter << ", lengths in " << (c.english ? "inches" : "millimetres")
      << ".\n";
  if (c.automaticRow != 0) {
    out << "> the automatic design's choice\n" << analysis::kEvaluationNote << ".\n";
  } else {
    out << "The automatic design takes none of these: " << c.automaticPart << "\n";
  }
  out << analysis::kThinnerNote << "\n";
}

std::string Quoted(const std::string& text) {
  std::string q = "\"";
  for (char ch : text) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return q + "\"";
}

// The values come from 32-bit design fields: seven significant digits, no conversion noise.
std::string Number(double value) {
  return num::SingleText(static_cast<Single>(value));
}

// Numbers as values in the column's unit; part number and header as text.
void PrintCsv(std::ostream& out, const Comparison& c) {
  out << "row,automatic,wire_made_thinner";
  for (const auto& col : kCompareColumns) {
    const std::string_view unit = analysis::ColumnUnit(col, c.english);
    out << "," << col.key << (unit.empty() ? "" : "_") << unit;
  }
  out << "\n";
  for (const auto& r : c.rows) {
    out << r.row << "," << (r.automatic ? 1 : 0) << "," << (r.madeThinner ? 1 : 0);
    for (const auto& col : kCompareColumns) {
      const auto& cell = r.*col.cell;
      const bool text = col.key == "part" || col.key == "header";
      out << "," << (text ? Quoted(cell.text) : Number(cell.value));
    }
    out << "\n";
  }
}

void PrintJson(std::ostream& out, const Comparison& c) {
  using Json = nlohmann::ordered_json;
  Json columns = Json::array();
  for (const auto& col : kCompareColumns) {
    columns.push_back(
        {{"key", col.key}, {"heading", col.heading}, {"unit", analysis::ColumnUnit(col, c.english)}});
  }
  Json rows = Json::array();
  for (const auto& r : c.rows) {
    Json row = {{"row", r.row}, {"automatic", r.automatic}, {"wire_made_thinner", r.madeThinner}};
    for (const auto& col : kCompareColumns) {
      const auto& cell = r.*col.cell;
      row[std::string(col.key)] = {{"text", cell.text},
                                   {"value", num::ParseStrict(Number(cell.value)).value_or(0)}};
    }
    rows.push_back(row);
  }
  Json doc = {{"material", c.materialLetter},
              {"units", c.english ? "in" : "mm"},
              {"automatic", {{"part", c.automaticPart}, {"row", c.automaticRow}}},
              {"columns", columns},
              {"rows", rows}};
  out << doc.dump(2) << "\n";
}

}  // namespace

void RegisterCompareCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "compare", "Evaluate every core offered in the material with the design inputs, side by side");
  auto json = std::make_shared<bool>(false);
  auto csv = std::make_shared<bool>(false);
  AddDesignAction(commands, *cmd,
                  [json, csv](WindowModel& model, ShellHost&, std::ostream& out, std::ostream& err) {
                    const Comparison c = analysis::CompareCores(model.window);
                    if (!c.problem.empty()) return Fail(err, c.problem, kExitUsage);
                    if (*json) {
                      PrintJson(out, c);
                    } else if (*csv) {
                      PrintCsv(out, c);
                    } else {
                      PrintTable(out, c);
                    }
                    return kExitOk;
                  });
  CLI::Option* jsonFlag = cmd->add_flag("--json", *json, "Print one JSON object: columns and rows");
  cmd->add_flag("--csv", *csv, "Print comma-separated values, one core a line")->excludes(jsonFlag);
}

}  // namespace vtq::cli
