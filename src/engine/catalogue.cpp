#include "engine/catalogue.h"

#include <functional>

namespace vtq {

// clang-format off
const std::array<CoreEntry, kCoreCount> CoreTable{{
    //  CoreNumber OD     ID     HT      D      P      N      S      R     Path   Cross  AreaProd Turn
    {"80101", 0.375, 0.187, 0.125, {657, 1314, 2196, 4392, 6590},       2.07, 0.07,  0.012, 0.037},
    {"80102", 0.375, 0.187, 0.188, {990, 1980, 3308, 6616, 9920},       2.07, 0.107, 0.019, 0.052},
    {"80103", 0.5,   0.312, 0.125, {447, 894, 1488, 2976, 4464},        3.12, 0.072, 0.035, 0.038},
    {"80104", 0.52,  0.29,  0.156, {667, 1334, 2295, 4590, 6885},       3.06, 0.109, 0.046, 0.049},
    {"80105", 0.5,   0.281, 0.188, {815, 1630, 2715, 5430, 8145},       2.95, 0.126, 0.05,  0.054},
    {"80106", 0.5,   0.312, 0.2,   {715, 1430, 2380, 4760, 7140},       3.12, 0.117, 0.058, 0.054},
    {"80107", 0.5,   0.281, 0.25,  {1083, 2166, 3612, 7224, 10836},     2.95, 0.169, 0.064, 0.06},
    {"80108", 0.5,   0.312, 0.25,  {891, 1782, 2968, 5936, 8904},       3.12, 0.146, 0.072, 0.059},
    {"80109", 0.625, 0.35,  0.185, {825, 1650, 2760, 5520, 8280},       3.68, 0.153, 0.094, 0.058},
    {"80110", 0.87,  0.54,  0.25,  {906, 1812, 3020, 6040, 9060},       5.42, 0.25,  0.37,  0.071},
    {"80111", 0.87,  0.54,  0.312, {1125, 2250, 3700, 7400, 11100},     5.42, 0.315, 0.466, 0.087},
    {"80112", 1,     0.61,  0.312, {1174, 2348, 3913, 7825, 11700},     6.17, 0.374, 0.707, 0.094},
    {"80113", 0.87,  0.54,  0.5,   {1812, 3624, 6040, 12080, 18120},    5.42, 0.511, 0.756, 0.122},
    {"80114", 1.142, 0.748, 0.295, {951, 1902, 3170, 6340, 9510},       7.32, 0.358, 1.02,  0.087},
    {"80115", 1.142, 0.748, 0.6,   {1934, 3868, 6447, 12894, 19300},    7.32, 0.74,  2.1,   0.146},
    {"80116", 1.417, 0.906, 0.394, {0, 2726, 4543, 9085, 0},            8.97, 0.628, 2.61,  0.119},
    {"80117", 1.5,   0.75,  0.5,   {0, 5020, 8365, 16700, 0},           8.3,  1.15,  3.27,  0.16},
    {"80118", 1.417, 0.906, 0.59,  {0, 4040, 6736, 13400, 0},           8.97, 0.946, 3.93,  0.155},
    {"80119", 1.932, 1.332, 0.625, {0, 3540, 5900, 11800, 0},           12.7, 1.16,  10.4,  0.162},
    {"80120", 1.932, 1.252, 0.75,  {0, 4460, 7435, 14870, 0},           12.3, 1.46,  11.6,  0.198},
    {"80121", 2.4,   1.4,   0.5,   {0, 4107, 6845, 13690, 0},           14.5, 1.56,  15.5,  0.184},
    {"80122", 1.932, 1.332, 1.25,  {0, 7080, 11800, 23600, 0},          12.7, 2.36,  21.2,  0.276},
    {"80123", 2.9,   1.53,  0.5,   {0, 4880, 8140, 16280, 0},           16.5, 2.12,  25.2,  0.237},
    {"80124", 3.375, 2.187, 0.5,   {0, 3310, 5520, 11040, 0},           21.5, 1.87,  45.2,  0.219},
}};

const std::array<Material, kMaterialCount + 1> Materials{{
    {'?', 0, "", ""},
    {'D', 1500, "Dmat", "D   1500\u00b5"},
    {'P', 3000, "Pmat", "P   3000\u00b5"},
    {'N', 5000, "Nmat", "N    5000\u00b5"},
    {'S', 10000, "Smat", "S  10000\u00b5"},
    {'R', 15000, "Rmat", "R   15000\u00b5"},
}};
// clang-format on

const CoreEntry& CoreAt(int entry) {
  if (entry < 1 || entry > kCoreCount) throw StepFailed{};
  return CoreTable[static_cast<std::size_t>(entry - 1)];
}

double FieldValue(const CoreEntry& e, int field) {
  switch (field) {
    case 1:
      return *num::ParseStrict(e.CoreNumber);
    case 2:
      return e.OD;
    case 3:
      return e.ID;
    case 4:
      return e.HT;
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
      return e.AL[static_cast<std::size_t>(field - 5)];
    case 10:
      return e.PathLength;
    case 11:
      return e.CrossSection;
    case 12:
      return e.CoreAreaProduct;
    case 13:
      return e.TurnLength;
    default:
      throw StepFailed{};
  }
}

namespace {

std::string MakeFieldText(const CoreEntry& e, int field) {
  if (field == 1) return std::string(e.CoreNumber);
  if (field >= 5 && field <= 9) return num::IntegerText(e.AL[static_cast<std::size_t>(field - 5)]);
  return num::DoubleText(FieldValue(e, field));
}

}  // namespace

const std::string& EntryText(int entry, int field) {
  // The catalogue's texts never change: each is made once.
  static const auto kTexts = [] {
    std::array<std::array<std::string, kFieldCount>, kCoreCount> texts;
    for (std::size_t row = 0; row < CoreTable.size(); ++row) {
      for (int f = 1; f <= kFieldCount; ++f)
        texts[row][static_cast<std::size_t>(f - 1)] = MakeFieldText(CoreTable[row], f);
    }
    return texts;
  }();
  CoreAt(entry);
  if (field < 1 || field > kFieldCount) throw StepFailed{};
  return kTexts[static_cast<std::size_t>(entry - 1)][static_cast<std::size_t>(field - 1)];
}

std::string FieldText(const CoreEntry& e, int field) {
  const std::less<> before;
  const CoreEntry* first = CoreTable.data();
  if (!before(&e, first) && before(&e, first + kCoreCount)) {
    return EntryText(static_cast<int>(&e - first) + 1, field);
  }
  return MakeFieldText(e, field);
}

int MaterialOfLetter(std::string_view letter) {
  for (int m = 1; m <= kMaterialCount; ++m) {
    if (letter.size() == 1 && letter[0] == Materials[static_cast<std::size_t>(m)].Letter) return m;
  }
  return 0;
}

}  // namespace vtq
