#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "cli/cli.h"
#include "cli/run_cli.h"

namespace vtq::cli {
namespace {

using harness::Cli;
using harness::Result;
namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

TEST(CompareCommand, TableCsvAndJsonAgree) {
  const std::vector<std::string> design = {"--mode", "impedance", "--main", "100", "--current", "2"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"compare"};
    args.insert(args.end(), design.begin(), design.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return Cli(args);
  };
  const Result table = with({});
  ASSERT_EQ(table.status, kExitOk) << table.err;
  EXPECT_NE(table.out.find(
                "\n> QN-80112-KX  1.000 in.     20   20  0.0344 in.       0.518     1.57 mH     0.0242 Ohm"),
            std::string::npos)
      << table.out;

  const Result csv = with({"--csv"});
  ASSERT_EQ(csv.status, kExitOk);
  const auto lines = Lines(csv.out);
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(
      lines[0],
      "row,automatic,wire_made_thinner,part,od_in,turns,awg,wire_diameter_in,wire_area_mm2,inductance_mH,"
      "dc_resistance_ohm,cutoff_Hz,trise_C,diff_inductance_uH,wound_od_in,wound_height_in,header");
  EXPECT_EQ(lines[12].rfind("12,1,0,\"QN-80112-KX\",1,20,20,0.0343584,0.5176193", 0), 0u) << lines[12];

  const Result json = with({"--json", "--units", "mm", "--material", "D"});
  ASSERT_EQ(json.status, kExitOk);
  const auto doc = nlohmann::json::parse(json.out);
  EXPECT_EQ(doc["units"], "mm");
  ASSERT_EQ(doc["rows"].size(), 15u);  // material D stops at entry 15
  EXPECT_EQ(doc["rows"][0]["od"]["text"], "9.5 mm");
  EXPECT_DOUBLE_EQ(doc["rows"][0]["od"]["value"].get<double>(), 9.525);
}

TEST(CompareAndSpiceCommands, FailuresSaySo) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"compare", "--current", "abc"}, kExitUsage, "vtq-cli: Current field requires a numeric entry.\n"},
      {{"compare", "--json", "--csv"}, kExitUsage, "vtq-cli: --json excludes --csv\n"},
      {{"spice", "--mode", "impedance", "--main", "100000", "--current", "50"},
       kExitFailure,
       "vtq-cli: The filter requirement is too large for the catalogue: no winding was designed.\n"},
      {{"spice", "--material", "R", "--main", "40"},
       kExitFailure,
       "vtq-cli: Core QR-80124-KX is not offered in material R: no winding was designed.\n"},
  };
  for (const Case& k : cases) {
    const Result r = Cli(k.args);
    EXPECT_EQ(r.status, k.status) << k.args[0];
    EXPECT_EQ(r.err.substr(0, k.err.size()), k.err);
    EXPECT_EQ(r.out, "");
  }
}

TEST(DesignCommand, ListingShowsTheWireBesideItsGauge) {
  struct Case {
    std::vector<std::string> args;
    std::string diameter, area;
  };
  const Case cases[] = {
      {{"design", "--mode", "impedance", "--main", "100", "--current", "2", "--core", "12"},
       "0.0307 in.",
       "0.410"},                                                                           // AWG 21
      {{"design", "--units", "mm"}, "1.374 mm", "1.309"},                                  // AWG 16
      {{"design", "--mode", "impedance", "--main", "100000", "--current", "50"}, "", ""},  // too large
  };
  for (const Case& k : cases) {
    const Result r = Cli(k.args);
    ASSERT_EQ(r.status, kExitOk);
    EXPECT_NE(r.out.find("Wire Diameter                 " + k.diameter + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Wire Cross-Section (mm2)      " + k.area + "\n"), std::string::npos) << r.out;
  }
}

TEST(SpiceCommand, PrintsTheSubcircuitOfTheListPick) {
  const Result r = Cli({"spice", "--mode", "impedance", "--main", "100", "--current", "2", "--core", "12"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out.rfind("* Common-mode choke QN-80112-KX,", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\n.SUBCKT QN_80112_KX in1 out1 in2 out2\nR1 in1 a1 0.0305"), std::string::npos)
      << r.out;
}

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

// The exported model in a circuit simulator against `impedance --json`: common mode (both
// inputs driven, both outputs grounded) and differential mode (a loop in at in1, out
// through in2, the outputs joined: twice the per-line figure), 50 log points.
TEST(ImpedanceCommand, CircuitSimulatorAgrees) {
  if (Shell("command -v ngspice").empty())
    GTEST_SKIP() << "ngspice is not installed (scripts/install-deps adds it)";
  const std::vector<std::string> designs[] = {
      {"--mode", "impedance", "--main", "100", "--current", "2"},
      {"--mode", "impedance", "--main", "100", "--current", "2", "--core", "12"},  // thinner wire
      {"--mode", "impedance", "--main", "1000", "--current", "5"},                 // two stacked cores
      {"--mode", "voltage", "--main", "250", "--current", "1", "--frequency", "150000", "--material", "D"},
  };
  const fs::path dir = fs::temp_directory_path() / ("vtq-spice-" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (const auto& design : designs) {
    auto with = [&](std::vector<std::string> args) {
      args.insert(args.end(), design.begin(), design.end());
      return Cli(args);
    };
    const Result spice = with({"spice"});
    const Result json = with({"impedance", "--json", "--points", "50", "--from", "1e4", "--to", "1e8"});
    ASSERT_EQ(spice.status + json.status, 0) << spice.err << json.err;
    const auto points = nlohmann::json::parse(json.out)["points"];
    const std::size_t at = spice.out.find(".SUBCKT ") + 8;
    const std::string name = spice.out.substr(at, spice.out.find(' ', at) - at);
    std::ofstream(dir / "choke.lib") << spice.out;
    std::ofstream cir(dir / "test.cir");
    cir << "choke test\n.include " << (dir / "choke.lib").string() << "\nVcm a 0 DC 0 AC 1\nX1 a 0 a 0 "
        << name << "\nVdm b 0 DC 0 AC 1\nX2 b c 0 c " << name << "\n.control\nset numdgt=10\n";
    for (const auto& p : points) {
      const double f = p["frequency_hz"];
      cir << "ac lin 1 " << f << " " << f << "\nprint mag(1/i(vcm)) mag(1/i(vdm))/2\n";
    }
    cir << ".endc\n.end\n";
    cir.close();
    const std::string out = Shell("ngspice -b " + (dir / "test.cir").string() + " 2>&1");
    const std::regex number("mag\\(1/i\\(v[cd]m\\)\\)(/2)? = ([-+0-9.eE]+)");
    std::vector<double> values;
    for (auto it = std::sregex_iterator(out.begin(), out.end(), number); it != std::sregex_iterator(); ++it)
      values.push_back(std::stod((*it)[2]));
    ASSERT_EQ(values.size(), 2 * points.size()) << out;
    for (std::size_t i = 0; i < points.size(); ++i) {
      SCOPED_TRACE(points[i]["frequency_hz"].get<double>());
      EXPECT_NEAR(values[2 * i] / points[i]["zcm_ohm"].get<double>(), 1, 0.02);
      EXPECT_NEAR(values[2 * i + 1] / points[i]["zdm_ohm"].get<double>(), 1, 0.02);
    }
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vtq::cli
