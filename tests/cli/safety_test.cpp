#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "support/run_cli.h"

namespace vtq::cli {
namespace {

using harness::Cli;

TEST(Safety, StatusesAndWhy) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string inErr;
  } cases[] = {
      {{"safety", "--mains-voltage", "230"}, 0, ""},
      {{"safety", "--list-equipment"}, 0, ""},
      {{"safety"}, 2, "--mains-voltage is required"},
      {{"safety", "--mains-voltage", "abc"}, 2, "Mains voltage"},
      {{"safety", "--mains-voltage", "1100"}, 2, "tables end at 1000 V"},
      {{"safety", "--mains-voltage", "230", "--divider", "1"}, 2, "with its unit"},
      {{"safety", "--mains-voltage", "230", "--pollution-degree", "5"}, 2, "--pollution-degree"},
      {{"safety", "--mains-voltage", "230", "--equipment", "toaster"}, 2, "--equipment"},
      {{"safety", "--mains-voltage", "230", "--touch-current", "1m"}, 2, "highest mains frequency"},
      {{"safety", "--mains-voltage", "230", "--mode", "impedance", "--main", "100000", "--current", "50"},
       3,
       "did not complete"},
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "1p", "--ripple", "0.001", "--touch-current",
        "1m"},
       2,
       "need --mains-voltage"},
  };
  for (const auto& c : cases) {
    const auto r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args.back() << r.err;
    EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
  }
}

// 230 V, category II, pollution degree 3, group I: 2500 V and 1.5 mm; 230 V on Table F.5
// at pollution degree 3, group I: 2.5 + 30/50 of (3.2 - 2.5) = 2.92 mm.
TEST(Safety, JsonCarriesTheTablesFigures) {
  const auto r = Cli({"safety", "--mains-voltage", "230", "--pollution-degree", "3", "--material-group", "I",
                      "--json", "--equipment", "iec60335-class1-motor", "--mains-frequency", "50"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto doc = nlohmann::json::parse(r.out);
  const auto& gap = doc["insulation"]["gaps"][0];
  EXPECT_EQ(doc["insulation"]["impulse_voltage_v"], 2500);
  EXPECT_NEAR(gap["required_clearance_m"].get<double>(), 1.5e-3, 1e-15);
  EXPECT_NEAR(gap["required_creepage_m"].get<double>(), 2.92e-3, 1e-15);
  EXPECT_GE(gap["achieved_creepage_m"].get<double>(), 2.92e-3 - 1e-15);
  EXPECT_GE(gap["achieved_clearance_m"].get<double>(), 1.5e-3 - 1e-15);
  // 3.5 mA / (2 pi 50 Hz 230 V) = 48.44 nF in all, half a line; a third a line with three
  // windings, on the design window's core and through the emission check of a ring alike.
  EXPECT_NEAR(doc["y_budget"]["max_total_f"].get<double>(), 48.4385e-9, 1e-13);
  EXPECT_NEAR(doc["y_budget"]["max_per_line_f"].get<double>(), 24.2192e-9, 1e-13);
  const std::vector<std::string> budget = {"--mains-voltage",
                                           "230",
                                           "--mains-frequency",
                                           "50",
                                           "--equipment",
                                           "iec60335-class1-motor",
                                           "--windings",
                                           "3",
                                           "--json"};
  std::vector<std::string> safety = {"safety"},
                           ring = {"emissions", "--library", "--swing",  "565", "--fsw", "16k",
                                   "--cp",      "100p",      "--ripple", "2",   "--cy",  "1n"};
  safety.insert(safety.end(), budget.begin(), budget.end());
  ring.insert(ring.end(), budget.begin(), budget.end());
  for (const auto& args : {safety, ring}) {
    const auto three = Cli(args);
    ASSERT_TRUE(three.status == 0 || three.status == 4) << args[0] << three.err;
    EXPECT_NEAR(nlohmann::json::parse(three.out)["y_budget"]["max_per_line_f"].get<double>(), 16.1462e-9,
                1e-13)
        << args[0];
  }
}

// The budget joins the emissions check only when asked for; nothing else it prints changes.
TEST(Safety, EmissionsBudgetAndWarning) {
  const std::vector<std::string> check = {"emissions", "--swing", "325",  "--fsw", "65k",  "--cp", "10p",
                                          "--ripple",  "0.02",    "--cy", "4.7n",  "--cx", "1u"};
  std::vector<std::string> budget = check;
  for (const char* a :
       {"--mains-voltage", "264", "--mains-frequency", "60", "--equipment", "iec60335-class2"})
    budget.emplace_back(a);
  const auto plain = Cli(check), withBudget = Cli(budget);
  EXPECT_EQ(withBudget.out.substr(0, plain.out.size()), plain.out);
  EXPECT_EQ(withBudget.out.find("Y budget: at most 1.26 nF a line", plain.out.size()), plain.out.size());
  EXPECT_NE(withBudget.err.find("warning: The Y capacitors (4.7 nF a line) exceed"), std::string::npos);
  EXPECT_EQ(plain.err.find("Y capacitors"), std::string::npos);
  auto json = [](std::vector<std::string> args) {
    args.emplace_back("--json");
    return nlohmann::json::parse(Cli(args).out);
  };
  EXPECT_FALSE(json(check).contains("y_budget"));
  const auto doc = json(budget);
  // 0.25 mA / (2 pi 60 Hz 264 V) = 2.5119 nF in all.
  EXPECT_NEAR(doc["y_budget"]["max_total_f"].get<double>(), 2.511915e-9, 1e-14);
  EXPECT_EQ(doc["y_budget"]["case"], "Class II appliance");
  EXPECT_TRUE(doc["y_budget"]["exceeded"].get<bool>());
  // "max": the budget's own Y capacitor, never a hair over it; without a budget, refused.
  std::vector<std::string> max = budget;
  std::replace(max.begin(), max.end(), std::string("4.7n"), std::string("max"));
  const auto most = json(max);
  EXPECT_NEAR(most["y_budget"]["y_capacitor_f"].get<double>(), 1.2559575e-9, 1e-15);
  EXPECT_FALSE(most["y_budget"]["exceeded"].get<bool>());
  max.resize(check.size());
  const auto refused = Cli(max);
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("'max' takes the largest Y capacitance"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace vtq::cli
