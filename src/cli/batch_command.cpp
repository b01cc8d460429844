// vtq-cli batch: many designs in one process, one option set a line in, one design a
// line out, streaming, so a script pays the process start once.
#include <CLI/CLI.hpp>
#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "engine/catalogue.h"

namespace vtq::cli {
namespace {

// Sets one design option from its text as typed; the reason when the text is not one of
// the option's values. An empty text leaves a choice at its default.
std::string SetOption(DesignArgs& a, std::string_view key, std::string value) {
  auto choice = [&](std::string& target, std::initializer_list<std::string_view> allowed) -> std::string {
    if (value.empty()) return {};
    for (std::string_view v : allowed) {
      if (value == v) {
        target = std::move(value);
        return {};
      }
    }
    return "'" + value + "' is not a value of " + std::string(key);
  };
  DesignOptions& o = a.options;
  if (key == "mode") return choice(a.mode, {"inductance", "impedance", "voltage"});
  if (key == "material") return choice(a.material, {"D", "P", "N", "S", "R"});
  if (key == "units") return choice(a.units, {"in", "mm"});
  // The four input boxes take their text as typed, checks and all.
  const std::pair<std::string_view, std::string*> texts[] = {
      {"main", &o.main}, {"current", &o.current}, {"frequency", &o.frequency}, {"density", &o.density}};
  for (const auto& [name, target] : texts) {
    if (key == name) {
      *target = std::move(value);
      return {};
    }
  }
  if (key != "core") return "unknown key '" + std::string(key) + "'";
  if (value.empty()) return {};
  const std::optional<double> row = num::ParseStrict(value);
  // The same rows as the --core option takes. Range first: converting a double outside
  // an integer's range is undefined.
  if (!row || !(*row >= 1 && *row <= kCoreCount) || *row != std::floor(*row)) {
    return "core must be a whole number from 1 to " + std::to_string(kCoreCount);
  }
  o.core = static_cast<Integer>(*row);
  return {};
}

// One JSON object: the keys of the design options, each a text or a number.
std::string ReadJsonLine(const std::string& line, DesignArgs& a) {
  const auto doc = nlohmann::json::parse(line, nullptr, false);
  if (!doc.is_object()) return "not a JSON object";
  for (const auto& [key, value] : doc.items()) {
    std::string text;
    if (value.is_string()) {
      text = value.get<std::string>();
    } else if (value.is_number()) {
      text = value.dump();
    } else if (!value.is_null()) {
      return "the value of " + key + " is neither a text nor a number";
    }
    if (std::string why = SetOption(a, key, std::move(text)); !why.empty()) return why;
  }
  return {};
}

// Splits one CSV record: fields by commas, a quoted field may hold commas and doubled
// quotes. Records do not span lines.
std::optional<std::vector<std::string>> SplitCsv(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (quoted) return std::nullopt;
  return fields;
}

class Batch {
 public:
  Batch(std::ostream& out, bool csv) : out_(out), csv_(csv) {}

  // One input line; a header when reading CSV and none came yet. Blank lines give nothing.
  void Line(std::string& line) {
    ++number_;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // files written on Windows
    if (line.find_first_not_of(" \t") == std::string::npos) return;
    if (csv_ && !header_) {
      header_ = SplitCsv(line);
      if (!header_) Refuse("the header has an unclosed quote");
      return;
    }
    DesignArgs args;
    const std::string why = csv_ ? ReadCsvLine(line, args) : ReadJsonLine(line, args);
    if (!why.empty()) return Refuse(why);
    ShellHost host;
    WindowModel model(host);
    try {
      ComputeDesign(model, host, args.Resolve());
    } catch (const PromptRequired& p) {
      return Refuse(p.firstLine);
    }
    out_ << DesignJson(model, host, -1) << '\n';
  }

  int refused = 0;

 private:
  std::string ReadCsvLine(const std::string& line, DesignArgs& a) const {
    if (!header_) return "the header has an unclosed quote";
    const auto fields = SplitCsv(line);
    if (!fields) return "an unclosed quote";
    if (fields->size() != header_->size()) {
      return std::to_string(fields->size()) + " fields under a header of " + std::to_string(header_->size());
    }
    for (std::size_t i = 0; i < fields->size(); ++i) {
      if (std::string why = SetOption(a, (*header_)[i], (*fields)[i]); !why.empty()) return why;
    }
    return {};
  }

  // In the place of the design: the line's number and why it gave none (what the window
  // would have asked for again, or what is wrong with the line).
  void Refuse(const std::string& why) {
    ++refused;
    out_ << nlohmann::ordered_json{{"line", number_}, {"error", why}}.dump(
                -1, ' ', false, nlohmann::json::error_handler_t::replace)
         << '\n';
  }

  std::ostream& out_;
  bool csv_;
  long number_ = 0;
  std::optional<std::vector<std::string>> header_;
};

}  // namespace

void RegisterBatchCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "batch", "Compute one design per input line, each printed on one line as 'design --json' prints it");
  auto path = std::make_shared<std::string>();
  auto csv = std::make_shared<bool>(false);
  cmd->add_option("FILE", *path, "Option sets, one a line (default or '-': standard input)");
  cmd->add_flag("--csv", *csv, "Read comma-separated values under a header of option names, not JSON Lines");
  commands.actions.emplace_back(cmd, [path, csv](std::ostream& out, std::ostream& err) {
    std::ifstream file;
    if (!path->empty() && *path != "-") {
      file.open(*path);
      if (!file) {
        err << "vtq-cli: cannot read " << *path << "\n";
        return kExitFailure;
      }
    }
    std::istream& in = file.is_open() ? file : std::cin;
    Batch batch(out, *csv);
    for (std::string line;;) {
      // A reader waiting on our answers gets them before we wait on more input.
      if (in.rdbuf()->in_avail() <= 0) out.flush();
      if (!std::getline(in, line)) break;
      batch.Line(line);
    }
    if (in.bad()) {
      err << "vtq-cli: reading " << (path->empty() ? "-" : *path) << " failed\n";
      return kExitFailure;
    }
    if (batch.refused > 0) {
      err << "vtq-cli: " << batch.refused << " line(s) gave no design\n";
      return kExitUsage;
    }
    return kExitOk;
  });
}

}  // namespace vtq::cli
