// vtq-cli compare: every core offered in the material, evaluated as a pick from the core
// list would evaluate it, as a table, JSON or CSV: the window's View > Core Table, printed.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>

#include "analysis/compare.h"
#include "cli/cli.h"

namespace vtq::cli {
namespace {

// A cell's own text: the part number without the "(automatic)" the window adds to it.
const std::string& Text(const CoreTableRow& r, std::size_t column) {
  return column == 0 ? r.part : r.cells[column].text;
}

void PrintTable(std::ostream& out, const CoreTableView& v) {
  const std::size_t columns = v.headings.size();
  std::vector<std::size_t> width(columns);
  for (std::size_t i = 0; i < columns; ++i) width[i] = v.headings[i].size();
  for (const auto& r : v.rows) {
    for (std::size_t i = 0; i < columns; ++i) width[i] = std::max(width[i], Text(r, i).size());
  }
  auto line = [&](std::string_view mark, auto&& text) {
    std::string l(mark);
    for (std::size_t i = 0; i < columns; ++i) {
      const std::string& t = text(i);
      // Texts left-aligned, numbers right-aligned so their points line up.
      const std::string pad(width[i] - t.size(), ' ');
      l += (i == 0 ? "" : "  ") + (v.numeric[i] ? pad + t : t + pad);
    }
    while (!l.empty() && l.back() == ' ') l.pop_back();
    out << l << "\n";
  };
  line("  ", [&](std::size_t i) -> const std::string& { return v.headings[i]; });
  for (const auto& r : v.rows) {
    line(r.automatic ? "> " : "  ", [&](std::size_t i) -> const std::string& { return Text(r, i); });
  }
  out << "\nMaterial " << v.materialLetter << ", lengths in " << (v.english ? "inches" : "millimetres")
      << ".\n";
  if (v.automaticRow != 0) {
    out << "> the automatic design's choice\n" << analysis::kEvaluationNote << ".\n";
  } else {
    out << "The automatic design takes none of these: " << v.automaticPart << "\n";
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
void PrintCsv(std::ostream& out, const CoreTableView& v) {
  out << "row,automatic,wire_made_thinner";
  for (std::size_t i = 0; i < v.keys.size(); ++i) {
    out << "," << v.keys[i] << (v.units[i].empty() ? "" : "_") << v.units[i];
  }
  out << "\n";
  for (const auto& r : v.rows) {
    out << r.row << "," << (r.automatic ? 1 : 0) << "," << (r.madeThinner ? 1 : 0);
    for (std::size_t i = 0; i < v.keys.size(); ++i) {
      out << "," << (v.numeric[i] ? Number(r.cells[i].sortValue) : Quoted(Text(r, i)));
    }
    out << "\n";
  }
}

void PrintJson(std::ostream& out, const CoreTableView& v) {
  using Json = nlohmann::ordered_json;
  Json columns = Json::array();
  for (std::size_t i = 0; i < v.keys.size(); ++i) {
    columns.push_back({{"key", v.keys[i]}, {"heading", v.headings[i]}, {"unit", v.units[i]}});
  }
  Json rows = Json::array();
  for (const auto& r : v.rows) {
    Json row = {{"row", r.row}, {"automatic", r.automatic}, {"wire_made_thinner", r.madeThinner}};
    for (std::size_t i = 0; i < v.keys.size(); ++i) {
      row[v.keys[i]] = {{"text", Text(r, i)},
                        {"value", num::ParseStrict(Number(r.cells[i].sortValue)).value_or(0)}};
    }
    rows.push_back(row);
  }
  Json doc = {{"material", v.materialLetter},
              {"units", v.english ? "in" : "mm"},
              {"automatic", {{"part", v.automaticPart}, {"row", v.automaticRow}}},
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
                    model.ViewMnu_Click();
                    const CoreTableView& v = model.coreTable;
                    if (!v.problem.empty()) return Fail(err, v.problem, kExitUsage);
                    if (*json) {
                      PrintJson(out, v);
                    } else if (*csv) {
                      PrintCsv(out, v);
                    } else {
                      PrintTable(out, v);
                    }
                    return kExitOk;
                  });
  CLI::Option* jsonFlag = cmd->add_flag("--json", *json, "Print one JSON object: columns and rows");
  cmd->add_flag("--csv", *csv, "Print comma-separated values, one core a line")->excludes(jsonFlag);
}

}  // namespace vtq::cli
