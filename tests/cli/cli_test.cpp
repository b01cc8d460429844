#include "cli/cli.h"
#include "run_cli.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "engine/design_state.h"

namespace vtq::cli {
namespace {

using harness::Cli;
using harness::Result;

TEST(Cli, UsageErrorsExitTwoWithAClearMessage) {
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {{}, "A subcommand is required"},
      {{"design", "--bogus"}, "--bogus"},
      {{"design", "--material", "X"}, "--material"},
      {{"design", "--mode", "power"}, "--mode"},
      {{"design", "--units", "cm"}, "--units"},
      {{"design", "--core", "abc"}, "--core"},
      {{"design", "--core", "0"}, "--core"},
      {{"design", "--core", "25"}, "--core"},
      {{"frobnicate"}, "frobnicate"},
  };
  for (const auto& c : cases) {
    Result r = Cli(c.args);
    EXPECT_EQ(r.status, kExitUsage) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(Cli, HelpAndVersion) {
  Result help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("design"), std::string::npos);
  Result version = Cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("vtq-cli ", 0), 0u);
}

TEST(Cli, AnInputTheWindowWouldAskForIsReportedNotPrompted) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"design", "--current", "abc"}, "vtq-cli: Current field requires a numeric entry.\n"},
      {{"design", "--mode", "voltage", "--frequency", "0"},
       "vtq-cli: Cutoff Frequency field requires a numeric entry greater than zero.\n"},
      {{"design", "--main", "-1"}, "vtq-cli: Inductance field requires a numeric entry greater than zero.\n"},
  };
  for (const auto& [args, err] : cases) {
    Result r = Cli(args);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.err, err);
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(Cli, JsonContractOfTheWorkedExample) {
  Result r = Cli({"design", "--current", "2", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto doc = nlohmann::json::parse(r.out);
  std::vector<std::string> keys;
  for (auto& [k, v] : doc.items()) keys.push_back(k);
  EXPECT_EQ(keys,
            (std::vector<std::string>{"focus", "messages", "outputs", "state", "txtPNLeft", "txtPNWidth"}));
  EXPECT_EQ(doc["outputs"].size(), kOutputBoxFields.size());
  EXPECT_EQ(doc["outputs"]["txtPN"], "QN-80111-KX");
  EXPECT_EQ(doc["outputs"]["IndLabel"], "Inductance (\u00b5H)");
  EXPECT_EQ(doc["outputs"]["WireLength"], "22.7 in.");
  EXPECT_EQ(doc["txtPNLeft"], 1800);
  EXPECT_EQ(doc["state"].size(), kDesignStateFields.size());
  EXPECT_EQ(doc["state"]["CoreRow"], 11);
  EXPECT_EQ(doc["state"]["InductanceUnit"], " uH");
  // Singles read back to the same 32-bit float.
  EXPECT_EQ(static_cast<float>(doc["state"]["RequiredAP"].get<double>()), 0.386f);
  EXPECT_EQ(doc["state"]["RequiredAP"].dump(), "0.386");
  EXPECT_TRUE(doc["messages"].empty());
  EXPECT_TRUE(doc["focus"].is_null());
}

TEST(Cli, MessagesAndFocusOfTheOneCalculation) {
  Result r = Cli({"design", "--material", "R", "--main", "100", "--json"});
  ASSERT_EQ(r.status, 0);
  auto doc = nlohmann::json::parse(r.out);
  ASSERT_EQ(doc["messages"].size(), 1u);  // the start-up design's messages are not reported
  EXPECT_EQ(doc["messages"][0]["title"], "Warning");
  EXPECT_EQ(doc["messages"][0]["lines"][1], "R material only available in");
  EXPECT_EQ(doc["focus"], "Smat");
  EXPECT_EQ(doc["outputs"]["txtPN"], "(3x) QR-80124-KX");

  Result eval =
      Cli({"design", "--mode", "impedance", "--main", "100", "--current", "2", "--core", "12", "--json"});
  auto e = nlohmann::json::parse(eval.out);
  ASSERT_EQ(e["messages"].size(), 1u);
  EXPECT_EQ(e["messages"][0]["title"], "Core ID Too Small");
  EXPECT_EQ(e["messages"][0]["lines"][2], "Current Density is actually 420 A/sq cm");
  EXPECT_EQ(e["state"]["DesignCore"], 12);
  EXPECT_EQ(e["state"]["DesignMode"], 2);
}

TEST(Cli, ListingShowsCaptionsAndValuesWithMessagesOnTheErrorStream) {
  Result r = Cli({"design", "--mode", "impedance", "--main", "1000", "--units", "mm"});
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Core Number                   (2x) QN-80124-KX\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Inductance (mH)               15.94\n"), std::string::npos);
  EXPECT_NE(r.out.find("Core OD                       85.7 mm\n"), std::string::npos);
  Result litz = Cli({"design", "--main", "0.000001", "--current", "1000"});
  EXPECT_EQ(litz.err.rfind("Warning: Too much current is required, you will need", 0), 0u) << litz.err;
  EXPECT_EQ(litz.out.rfind("Material ", 0), 0u) << litz.out;
}

TEST(Cli, AnyTextAndAnyRowNeverCrash) {
  std::mt19937 rng(7);
  const char* texts[] = {"",       "0",    "1e39",  "-5",    "abc",     "1e-45",
                         "3.4e38", "  7 ", "1e309", "32767", "\xff\xfe"};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(texts) - 1);
  std::uniform_int_distribution<int> row(-5, 30);
  const char* modes[] = {"inductance", "impedance", "voltage"};
  for (int i = 0; i < 300; ++i) {
    Result r = Cli({"design", "--mode", modes[i % 3], "--main", texts[pick(rng)], "--current",
                    texts[pick(rng)], "--frequency", texts[pick(rng)], "--density", texts[pick(rng)],
                    "--core", std::to_string(i % 2 ? row(rng) : i % 30), "--json"});
    ASSERT_TRUE(r.status == 0 || r.status == kExitUsage);
    if (r.status == 0) {
      EXPECT_TRUE(nlohmann::json::accept(r.out));
    }
  }
}

}  // namespace
}  // namespace vtq::cli
