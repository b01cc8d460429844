#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>

#include "support/run_cli.h"

namespace vtq::cli {
namespace {

using harness::Cli;

TEST(Ring, StatusesFollowTheOneRule) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string inErr;
  };
  const Case cases[] = {
      {{"design", "--ring", "B64290L0618X830", "--main", "1", "--current", "2"}, 0, ""},
      {{"design", "--toroid", "25mm,15mm,10mm", "--grade", "N30", "--windings", "4", "--gap", "1mm", "--main",
        "0.5", "--current", "2"},
       0,
       ""},
      {{"design", "--ring", "nosuchpart"}, 2, "No stocked ring"},
      {{"design", "--toroid", "15mm,25mm,10mm", "--grade", "N30"}, 2, "no ring"},
      {{"design", "--toroid", "25,15,10", "--grade", "N30"}, 2, "lengths with their units"},
      {{"design", "--toroid", "25mm,15mm,10mm", "--grade", "nograde"}, 2, "No library grade"},
      {{"design", "--toroid", "25mm,15mm,10mm"}, 2, "library grade or a material file"},
      {{"design", "--windings", "3"}, 2, "need --ring, --toroid or --library"},
      {{"design", "--ring", "B64290L0618X830", "--windings", "5"}, 2, "windings"},
      {{"design", "--ring", "B64290L0044X830", "--main", "1", "--current", "2"}, 3, "do not fit"},
      {{"impedance", "--toroid", "40mm,24mm,15mm", "--grade", "N30", "--windings", "3", "--main", "1",
        "--current", "2"},
       0,
       ""},
      {{"spice", "--toroid", "40mm,24mm,15mm", "--grade", "N30", "--windings", "4", "--main", "0.5",
        "--current", "2"},
       0,
       ""},
      {{"design", "--mains-voltage", "264"}, 2, "needs --ring, --toroid or --library"},
      {{"design", "--ring", "B64290L0618X830", "--mains-voltage", "264", "--gap", "1mm"}, 2, "not both"},
      {{"design", "--ring", "B64290L0618X830", "--mains-voltage", "264", "--pollution-degree", "4"},
       3,
       "enclosure"},
      {{"design", "--ring", "B64290L0618X830", "--mains-voltage", "264", "--windings", "4", "--current", "2"},
       3,
       "do not fit"},
      {{"export", "--mas", "--ring", "nosuchpart"}, 2, "No stocked ring"},
      {{"export", "--mas", "--ring", "B64290L0044X830", "--main", "1", "--current", "2"}, 3, "do not fit"},
      {{"export", "--mas", "--windings", "3"}, 2, "need --ring, --toroid or --library"},
      {{"export", "--mas", "--library", "--grade", "N30", "--max-od", "12mm", "--current", "2"},
       3,
       "None of"},
      {{"design", "--maker", "TDK"}, 2, "need --library"},
      {{"design", "--library", "--ring", "B64290L0618X830"}, 2, "chooses the ring"},
      {{"design", "--library", "--grade", "N30", "--max-od", "12mm", "--current", "2"}, 3, "None of the 4"},
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01", "--cy", "2.2n",
        "--ring", "B64290L0618X830", "--main", "1", "--current", "2"},
       4,
       "Fails: B64290L0618X830 with 15 turns"},
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01", "--ring",
        "B64290L0618X830", "--find-core"},
       2,
       "has nothing to find"},
      // Find Core over the library: a ring passes; none of the small ones does (the closest
      // said); the filter leaves none; the turns are the search's own.
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01", "--cy", "2.2n",
        "--cx", "1u", "--library", "--grade", "N30", "--find-core", "--current", "2"},
       0,
       ""},
      {{"emissions", "--swing", "325",      "--fsw", "65k",         "--cp",      "5p",
        "--ripple",  "0.01",    "--cy",     "2.2n",  "--cx",        "1u",        "--library",
        "--grade",   "N30",     "--max-od", "12mm",  "--find-core", "--current", "2"},
       4,
       "No ring passes: the closest, B64290P0037X830 (N30) with 1 turn of AWG 20, fails the limit by 31.3 "
       "dB"},
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01", "--library",
        "--maker", "Nobody", "--find-core"},
       3,
       "No stocked ring is left"},
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01", "--library",
        "--turns", "5", "--find-core"},
       2,
       "chooses the turns"},
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01", "--library", "--cy",
        "max", "--find-core"},
       2,
       "touch-current limit"},
      // Three phases, and with the neutral: a complete design that fails its limit is 4.
      {{"emissions", "--swing", "650",  "--fsw",     "16k",      "--cp",           "100p",
        "--ripple",  "0.5",     "--cy", "4.7n",      "--toroid", "40mm,24mm,15mm", "--grade",
        "N30",       "--main",  "1",    "--current", "2",        "--windings",     "3"},
       4,
       "Fails: 40 x 24 x 15 mm with 12 turns"},
      {{"emissions", "--swing",    "650",  "--fsw",     "16k",      "--cp",           "100p",
        "--ripple",  "0.5",        "--cy", "4.7n",      "--toroid", "40mm,24mm,15mm", "--grade",
        "N30",       "--main",     "1",    "--current", "2",        "--windings",     "4",
        "--netlist", "--find-core"},
       2,
       "not of Find Core's"},
      {{"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01", "--ring",
        "B64290L0618X830", "--windings", "3", "--main", "1", "--current", "2"},
       3,
       "do not fit"},
  };
  for (const Case& c : cases) {
    const auto r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[2] << " " << r.err;
    EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
  }
}

// A script asking for JSON learns why a ring's check did not complete from the object itself.
TEST(Ring, IncompleteRingStillPrintsItsObject) {
  const std::vector<std::string> ring = {"--ring", "B64290L0044X830", "--main", "1", "--current",
                                         "2",      "--json"};
  for (std::vector<std::string> args :
       {std::vector<std::string>{"impedance"},
        {"emissions", "--swing", "325", "--fsw", "65k", "--cp", "5p", "--ripple", "0.01"}}) {
    args.insert(args.end(), ring.begin(), ring.end());
    const auto r = Cli(args);
    ASSERT_EQ(r.status, 3) << args[0] << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_FALSE(doc["complete"].get<bool>()) << args[0];
    EXPECT_NE(doc["problem"].get<std::string>().find("do not fit"), std::string::npos) << args[0];
  }
}

// The JSON of a design on a ring carries the figures the ring gives, and they hold together:
// L = AL N^2, AL = mu0 mu Ae / le with le and Ae of the ring's size by IEC 60205.
TEST(Ring, DesignJsonHoldsTheRingsFigures) {
  const auto r = Cli({"design", "--toroid", "25mm,15mm,10mm", "--grade", "N30", "--windings", "3", "--gap",
                      "2mm", "--turns", "12", "--current", "1", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto doc = nlohmann::json::parse(r.out);
  EXPECT_NEAR(doc["effective_length_m"].get<double>(), 60.18e-3, 0.01e-3);  // Ferroxcube's TX25/15/10
  EXPECT_NEAR(doc["effective_area_m2"].get<double>(), 48.93e-6, 0.01e-6);
  const double al = doc["al_h"];
  EXPECT_EQ(doc["turns"], 12);
  EXPECT_NEAR(doc["inductance_h"].get<double>(), al * 144, 1e-12);
  ASSERT_EQ(doc["windings"].size(), 3U);
  for (const auto& w : doc["windings"]) {
    EXPECT_EQ(w["turns"], 12);
    EXPECT_NEAR(w["sector_deg"].get<double>(), 120 - 2e-3 / 7.5e-3 * 180 / std::numbers::pi, 1e-9);
    EXPECT_GT(w["leakage_inductance_h"].get<double>(), 0);
  }
  EXPECT_TRUE(doc["required_inductance_h"].is_null());
}

// On the mains, the gap between the windings is what the insulation asks: at 264 V, overvoltage
// category II, pollution degree 2 and material group IIIb, 1.5 mm of clearance (2.5 kV
// impulse) and 2.64 mm of creepage (between 2.5 mm at 250 V and 3.2 mm at 320 V). Creepage
// binds on this bore: that arc at the bore, less the pitch of two touching turns.
TEST(Ring, MainsSetTheGapBetweenTheWindings) {
  const auto r = Cli({"design", "--ring", "B64290L0618X830", "--main", "1", "--current", "2",
                      "--mains-voltage", "264", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto doc = nlohmann::json::parse(r.out);
  const auto& insulation = doc["insulation"];
  EXPECT_EQ(insulation["between"], "L-N");
  EXPECT_DOUBLE_EQ(insulation["required_clearance_m"].get<double>(), 1.5e-3);
  EXPECT_NEAR(insulation["required_creepage_m"].get<double>(), 2.64e-3, 1e-9);
  EXPECT_EQ(insulation["binding"], "creepage");
  double wire = 0;
  for (const auto& s : doc["steps"])
    if (s["name"] == "Wire diameter") wire = s["value"];
  const double radius = doc["id_m"].get<double>() / 2, centres = radius - wire / 2;
  const double gap = 2.64e-3 / radius - 2 * std::asin(wire / (2 * centres));
  EXPECT_NEAR(insulation["gap_angle_deg"].get<double>(), gap * 180 / std::numbers::pi, 1e-6);
  for (const auto& w : doc["windings"])
    EXPECT_NEAR(w["sector_deg"].get<double>(), 180 - gap * 180 / std::numbers::pi, 1e-6);
  EXPECT_GE(insulation["achieved_clearance_m"].get<double>(), 1.5e-3);
}

// The automatic choice walks the library in its order (smallest first, or cheapest at the
// listed price) and takes the first ring whose own design completes without saturating or
// rising above 40 C: checked ring by ring against the designs on those rings alone.
TEST(Ring, LibraryTakesTheFirstRingThatMeetsTheRequirement) {
  const std::vector<std::string> need{"--main", "1",         "--current",
                                      "3",      "--density", "2000"};  // hot small rings
  auto json = [](std::vector<std::string> args) {
    const auto r = Cli(args);
    return std::pair{r.status, nlohmann::json::parse(r.out)};
  };
  auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), need.begin(), need.end());
    args.push_back("--json");
    return json(args);
  };
  const auto [status, choice] = with({"design", "--library", "--grade", "N30"});
  ASSERT_EQ(status, 0);
  const auto [listed, list] = json({"library", "--grade", "N30", "--json"});
  const auto& tried = choice["tried"];
  ASSERT_GT(tried.size(), 1U);
  ASSERT_LE(tried.size(), list["rings"].size());
  for (std::size_t k = 0; k < tried.size(); ++k) {
    const std::string part = tried[k]["part"];
    EXPECT_EQ(part, list["rings"][k]["part"]);
    const auto [alone, design] = with({"design", "--ring", part});
    double rise = 0;
    for (const auto& step : design["steps"])
      if (step["name"] == "Temperature rise") rise = step["value"];
    const bool meets = alone == 0 && !design["saturates"].get<bool>() && rise <= 40;
    EXPECT_EQ(meets, k + 1 == tried.size()) << part;
  }
  EXPECT_EQ(choice["part"], tried.back()["part"]);
  EXPECT_TRUE(tried.back()["passed_over"].is_null());
  const auto [byPrice, cheapest] = with({"design", "--library", "--grade", "N30", "--by", "price"});
  ASSERT_EQ(byPrice, 0);
  double price = 0;
  for (const auto& t : cheapest["tried"]) {
    EXPECT_GE(t["price_usd"].get<double>(), price);
    price = t["price_usd"];
  }
}

// The impedance on a ring comes from the same winding: at 1 kHz the common mode is the
// winding's inductance, |Z| = 2 pi f L.
TEST(Ring, ImpedanceFollowsTheRingsWinding) {
  const std::vector<std::string> base{"--ring", "B64290L0618X830", "--main", "1", "--current", "2"};
  auto args = [&](std::vector<std::string> head) {
    head.insert(head.end(), base.begin(), base.end());
    return head;
  };
  const auto design = nlohmann::json::parse(Cli(args({"design", "--json"})).out);
  const auto r = Cli(args({"impedance", "--json", "--from", "1000", "--to", "2000", "--points", "2"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto z = nlohmann::json::parse(r.out);
  EXPECT_EQ(z["part"], "B64290L0618X830");
  EXPECT_EQ(z["parameters"]["turns"], design["turns"]);
  const double l = design["inductance_h"];
  // The subcircuit carries the same winding: its leakage element is the impedance model's
  // air and ferrite parts in parallel, which with the copper's internal inductance make
  // the design's leakage.
  const auto spice = Cli(args({"spice"}));
  ASSERT_EQ(spice.status, 0) << spice.err;
  const std::size_t ls = spice.out.find("\nLS1 a1 b1 ");
  ASSERT_NE(ls, std::string::npos) << spice.out;
  const double la = z["parameters"]["leakage_air_h"], lf = z["parameters"]["leakage_ferrite_h"];
  const double element =
      nlohmann::json::parse(spice.out.substr(ls + 11, spice.out.find('\n', ls + 1) - ls - 11)).get<double>();
  EXPECT_NEAR(element, 1 / (1 / la + 1 / lf), 1e-13);
  EXPECT_NEAR(element, design["windings"][0]["leakage_inductance_h"].get<double>(), 0.06 * element);
  EXPECT_NEAR(z["points"][0]["zcm_ohm"].get<double>(), 2 * std::numbers::pi * 1000 * l,
              0.03 * 2 * std::numbers::pi * 1000 * l);
}

// Find Core's JSON: the rings tried in the order asked, the winner the last and the only one
// that passes, and the check after them of that ring with those turns.
TEST(Ring, FindCoreOverTheLibraryWritesTheTriedAndTheWinner) {
  const auto r =
      Cli({"emissions", "--swing", "325",         "--fsw",     "65k", "--cp",      "5p",      "--ripple",
           "0.01",      "--cy",    "2.2n",        "--cx",      "1u",  "--library", "--grade", "N30",
           "--by",      "price",   "--find-core", "--current", "2",   "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto doc = nlohmann::json::parse(r.out);
  const auto& tried = doc["search"]["tried"];
  ASSERT_GE(tried.size(), 2U);
  double price = 0;
  for (const auto& t : tried) {
    EXPECT_GE(t["price_usd"].get<double>(), price);
    price = t["price_usd"];
    EXPECT_EQ(t["passes"], &t == &tried.back());
  }
  EXPECT_EQ(doc["search"]["winner"]["part"], tried.back()["part"]);
  EXPECT_EQ(doc["search"]["winner"]["turns"], tried.back()["turns"]);
  EXPECT_EQ(doc["part"], tried.back()["part"]);
  EXPECT_TRUE(doc["passes"].get<bool>());
  EXPECT_EQ(doc["worst"]["margin_db"], tried.back()["worst_margin_db"]);
}

// Three phases, and with the neutral: Find Core's winner, checked again alone on its ring
// with its turns, gives the same levels; a duty off 0.5 gives the three-phase source every
// harmonic, even ones included.
TEST(Ring, FindCoreOfThreeAndFourWindingsAgreesWithTheCheckAlone) {
  for (const char* windings : {"3", "4"}) {
    SCOPED_TRACE(windings);
    const std::vector<std::string> source{
        "--swing",   "650",      "--fsw",      "16k",    "--duty",     "0.7",       "--cp",
        "100p",      "--ripple", "0.01",       "--cy",   "4.7n",       "--cx",      "1u",
        "--current", "2",        "--windings", windings, "--standard", "cispr11-a", "--json"};
    auto run = [&](std::vector<std::string> args) {
      args.insert(args.begin() + 1, source.begin(), source.end());
      const auto r = Cli(args);
      return std::pair{r.status, nlohmann::json::parse(r.out)};
    };
    const auto [found, search] = run({"emissions", "--library", "--grade", "N30", "--find-core"});
    ASSERT_EQ(found, 0);
    const auto& winner = search["search"]["winner"];
    const auto [alone, check] = run({"emissions", "--ring", winner["part"].get<std::string>(), "--turns",
                                     std::to_string(winner["turns"].get<int>())});
    ASSERT_EQ(alone, 0);
    EXPECT_EQ(check["standard"], "CISPR 11 group 1 class A");
    EXPECT_EQ(check["worst"], search["worst"]);
    ASSERT_EQ(check["harmonics"].size(), search["harmonics"].size());
    EXPECT_EQ(check["harmonics"][1]["harmonic"], check["harmonics"][0]["harmonic"].get<int>() + 1);
  }
}

}  // namespace
}  // namespace vtq::cli
