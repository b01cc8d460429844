#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli.h"
#include "cli/run_cli.h"

namespace vtq::cli {
namespace {

using harness::Cli;
using harness::Result;

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
                "\n> QN-80112-KX  1.000 in.     20  21*  0.0307 in.       0.477     1.57 mH     0.0305 Ohm"),
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
  EXPECT_EQ(lines[12].rfind("12,1,1,\"QN-80112-KX\",1,20,21,0.03067", 0), 0u) << lines[12];

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
    EXPECT_NE(r.err.find(k.err), std::string::npos) << r.err;  // after the calculation's own messages
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
       "0.477"},
      {{"design", "--units", "mm"}, "1.374 mm", "1.483"},                                  // AWG 16
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
  EXPECT_NE(r.out.find("\n.SUBCKT QN_80112_KX in1 out1 in2 out2\nL1 in1 n1 1.5652"), std::string::npos)
      << r.out;
}

}  // namespace
}  // namespace vtq::cli
