#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <numbers>
#include <random>
#include <set>
#include <string>

#include "analysis/ferrite.h"
#include "cores/library.h"
#include "cores/ring_geometry.h"

namespace vtq::cores {
namespace {

// Makers' published effective figures of rings given by their nominal size, mm.
struct Published {
  const char* ring;
  double od, id, height, le_mm, ae_mm2;
};
constexpr Published kPublished[] = {
    {"TDK R 16.0 x 9.6 x 6.3", 16.0, 9.6, 6.3, 38.52, 19.73},
    {"TDK R 20.0 x 10.0 x 7.0", 20.0, 10.0, 7.0, 43.55, 33.63},
    {"TDK R 22.1 x 13.7 x 6.35", 22.1, 13.7, 6.35, 54.15, 26.17},
    {"TDK R 34.0 x 20.5 x 12.5", 34.0, 20.5, 12.5, 82.06, 82.6},
    {"Ferroxcube TX25/15/10", 25.0, 15.0, 10.0, 60.18, 48.9},
};

TEST(RingGeometry, MatchesMakersPublishedFigures) {
  for (const Published& p : kPublished) {
    const RingFigures f = FiguresOf({p.od * 1e-3, p.id * 1e-3, p.height * 1e-3, 0});
    // The makers round to four digits.
    EXPECT_NEAR(f.length * 1e3, p.le_mm, 6e-4 * p.le_mm) << p.ring;
    EXPECT_NEAR(f.area * 1e6, p.ae_mm2, 6e-4 * p.ae_mm2) << p.ring;
    EXPECT_NEAR(f.volume, f.length * f.area, 1e-15) << p.ring;
  }
}

// The same sums taken by brute force: the cross-section's height at each radius, less the
// chamfers, integrated by the midpoint rule.
std::pair<double, double> Numerically(const RingSize& r) {
  const double r1 = r.id / 2, r2 = r.od / 2, c = r.chamfer;
  double s1 = 0, s2 = 0;
  constexpr int kSteps = 200000;
  const double dr = (r2 - r1) / kSteps;
  for (int i = 0; i < kSteps; ++i) {
    const double x = r1 + (i + 0.5) * dr;
    double h = r.height;
    if (x < r1 + c) h -= 2 * (r1 + c - x);
    if (x > r2 - c) h -= 2 * (x - (r2 - c));
    const double l = 2 * std::numbers::pi * x;
    s1 += h * dr / l;
    s2 += h * dr / (l * l);
  }
  return {s1 / s2, s1 * s1 / s2};
}

TEST(RingGeometry, ChamferAgreesWithIntegrationAndNonsenseIsNoRing) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(0, 1);
  for (int k = 0; k < 40; ++k) {
    const double od = 5e-3 + 0.1 * u(rng), id = od * (0.3 + 0.6 * u(rng)),
                 ht = (od - id) * (0.3 + 2 * u(rng));
    const RingSize ring{od, id, ht, 0.45 * std::min(ht, (od - id) / 2) * u(rng)};
    const RingFigures f = FiguresOf(ring);
    const auto [le, ae] = Numerically(ring);
    EXPECT_NEAR(f.length, le, 1e-7 * le) << k;
    EXPECT_NEAR(f.area, ae, 1e-7 * ae) << k;
  }
  for (const RingSize& bad :
       {RingSize{10e-3, 10e-3, 5e-3, 0}, RingSize{10e-3, 12e-3, 5e-3, 0}, RingSize{10e-3, 5e-3, 0, 0},
        RingSize{10e-3, 5e-3, 2e-3, 1e-3}, RingSize{10e-3, 0, 5e-3, 0}, RingSize{NAN, 5e-3, 5e-3, 0}}) {
    EXPECT_EQ(FiguresOf(bad).length, 0);
    EXPECT_EQ(InductanceFactor(FiguresOf(bad), 5000), 0);
  }
  // AL = mu0 mu Ae / le: 4 pi 1e-7 x 4300 x 26.17 mm2 / 54.15 mm.
  EXPECT_NEAR(InductanceFactor(FiguresOf({22.1e-3, 13.7e-3, 6.35e-3, 0}), 4300), 2.611e-6, 0.002e-6);
}

std::vector<nlohmann::json> Lines(const std::string& file) {
  std::ifstream in(std::string(VTQ_MAS_DIR) + "/" + file);
  std::vector<nlohmann::json> out;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) out.push_back(nlohmann::json::parse(line));
  return out;
}

TEST(Library, HoldsEveryStockedFerriteRingOfTheDataWithItsSize) {
  std::map<std::string, nlohmann::json> shapes;
  for (const auto& s : Lines("core_shapes_toroids.ndjson")) {
    shapes[s["name"]] = s;
    for (const auto& a : s["aliases"]) shapes[a] = s;
  }
  const auto stock = Lines("cores_stock_toroids.ndjson");
  ASSERT_EQ(StockedRings().size(), stock.size());
  std::multiset<std::string> expected, got;
  for (const auto& d : stock) {
    const auto& dims = shapes.at(d["functionalDescription"]["shape"])["dimensions"];
    expected.insert(std::string(d["functionalDescription"]["material"]) + " " +
                    std::to_string(dims["A"]["nominal"].get<double>()) + " " +
                    std::to_string(dims["B"]["nominal"].get<double>()) + " " +
                    std::to_string(dims["C"]["nominal"].get<double>()));
  }
  for (const StockedRing& r : StockedRings()) {
    got.insert(std::string(r.grade) + " " + std::to_string(r.od) + " " + std::to_string(r.id) + " " +
               std::to_string(r.height));
    EXPECT_TRUE(r.composition == "MnZn" || r.composition == "NiZn") << r.part;
    EXPECT_FALSE(r.part.empty());
  }
  EXPECT_EQ(got, expected);
  // Smallest first, as the automatic choice walks them.
  for (std::size_t i = 1; i < StockedRings().size(); ++i)
    EXPECT_LE(StockedRings()[i - 1].od, StockedRings()[i].od);
}

double CurveAt(const nlohmann::json& points, double f) {
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double f0 = points[i - 1]["frequency"], f1 = points[i]["frequency"];
    if (f0 <= f && f <= f1) {
      const double t = std::log(f / f0) / std::log(f1 / f0);
      return points[i - 1]["value"].get<double>() * (1 - t) + points[i]["value"].get<double>() * t;
    }
  }
  return NAN;
}

TEST(Library, CorrectionsReachTheRingsAndTheGrades) {
  // The maker's 75 and 76 are manganese-zinc, the data file says nickel-zinc.
  for (const char* grade : {"75", "76"}) {
    const auto rings = FindRings({"", grade, {}, {}});
    ASSERT_FALSE(rings.empty());
    for (const StockedRing* r : rings) EXPECT_EQ(r->composition, "MnZn");
  }
  // 77 designs with the maker's own 77 table: mu' 2074, mu'' 946 at 1 MHz.
  const auto g77 = nlohmann::json::parse(GradeByName("77")->entry)["permeability"]["complex"];
  EXPECT_NEAR(CurveAt(g77["real"], 1e6), 2074, 1);
  EXPECT_NEAR(CurveAt(g77["imaginary"], 1e6), 946, 1);
  // A withheld curve is not offered, and says why; 3E6 never had one.
  for (const char* grade : {"43", "61", "3E6"}) {
    const LibraryGrade* g = GradeByName(grade);
    ASSERT_NE(g, nullptr) << grade;
    EXPECT_FALSE(g->hasCurve) << grade;
    EXPECT_FALSE(g->noCurve.empty()) << grade;
    EXPECT_EQ(nlohmann::json::parse(g->entry)["permeability"].count("complex"), 0u) << grade;
  }
  EXPECT_TRUE(GradeByName("N30")->hasCurve);
  EXPECT_FALSE(Corrections().empty());
}

// Every grade offered with a curve is one the material reader takes (points filed out of
// order, or one initial value instead of a curve over temperature, once stopped two makers'
// grades): a ring in it can be designed on.
TEST(Library, EveryOfferedCurveReads) {
  for (const LibraryGrade& g : LibraryGrades()) {
    if (!g.hasCurve) continue;
    std::string error;
    const auto ferrite = analysis::FerriteFromJson(g.entry, error);
    ASSERT_TRUE(ferrite) << g.name << ": " << error;
    // Each grade's causal network is fitted in a blink and follows its drawn |mu| (an N87
    // curve once sent the fit round for minutes).
    EXPECT_LT(std::abs(analysis::NetworkOf(ferrite).worstMagnitudeDeviation), 0.03) << g.name;
  }
}

TEST(Library, FiltersByMakerGradeAndSize) {
  const auto all = FindRings({});
  EXPECT_EQ(all.size(), StockedRings().size());
  const auto tdk = FindRings({"tdk", "", {}, {}});
  ASSERT_FALSE(tdk.empty());
  for (const StockedRing* r : tdk) EXPECT_EQ(r->maker, "TDK");
  const auto mid = FindRings({"", "n30", 20e-3, 40e-3});
  ASSERT_FALSE(mid.empty());
  for (const StockedRing* r : mid) {
    EXPECT_EQ(r->grade, "N30");
    EXPECT_TRUE(r->od >= 20e-3 && r->od <= 40e-3);
  }
  EXPECT_TRUE(FindRings({"nobody", "", {}, {}}).empty());
  ASSERT_NE(RingByPart(StockedRings().front().part), nullptr);
  EXPECT_EQ(RingByPart("no such part"), nullptr);
}

}  // namespace
}  // namespace vtq::cores
