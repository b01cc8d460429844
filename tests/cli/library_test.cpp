#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/run_cli.h"

namespace vtq::cli {
namespace {

using harness::Cli;

TEST(Library, ListsFiltersAndRefusesALengthWithoutItsUnit) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string inErr;
  };
  const Case cases[] = {
      {{"library", "--json", "--min-od", "1in", "--max-od", "40mm", "--grade", "N30"}, 0, ""},
      {{"library", "--json", "--maker", "nobody"}, 0, "no ring matches"},
      {{"library", "--max-od", "40"}, 2, "not a length with its unit"},
      {{"library", "--min-od", "-3mm"}, 2, "not a length with its unit"},
  };
  for (const Case& c : cases) {
    const auto r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args.back() << r.err;
    EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
  }
  const auto doc = nlohmann::json::parse(Cli(cases[0].args).out);
  ASSERT_FALSE(doc["rings"].empty());
  for (const auto& ring : doc["rings"]) {
    EXPECT_EQ(ring["grade"], "N30");
    EXPECT_GE(ring["od_m"].get<double>(), 0.0254);
    EXPECT_LE(ring["od_m"].get<double>(), 0.040);
    for (const char* key :
         {"part", "maker", "composition", "shape", "id_m", "height_m", "has_curve", "price"})
      EXPECT_TRUE(ring.contains(key)) << key;
    // Ae / le from the size, as a rectangle would give, within the log formula's few per cent.
    const double od = ring["od_m"], id = ring["id_m"], ht = ring["height_m"];
    EXPECT_NEAR(ring["effective_area_m2"].get<double>(), (od - id) / 2 * ht, 0.05 * (od - id) / 2 * ht);
  }
  EXPECT_EQ(doc["count"], doc["rings"].size());
  // The corrections travel with the listing when asked for, each with its reason.
  const auto text = Cli({"library", "--grade", "77", "--corrections"});
  EXPECT_NE(text.out.find("77 curve -> from:46: "), std::string::npos) << text.out;
  const auto csv = Cli({"library", "--csv", "--grade", "3E6"});
  EXPECT_EQ(csv.status, 0);
  EXPECT_NE(csv.out.find(",no,"), std::string::npos);
}

}  // namespace
}  // namespace vtq::cli
