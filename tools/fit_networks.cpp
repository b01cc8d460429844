// vtq-fit-networks: fits the model of every shipped grade and prints fitted_networks.cpp,
// the table the program keeps so every build prints the same circuit elements. Run by
// scripts/fit-networks after a change to the data or the fit; each grade's worst miss
// goes to standard error.
#include <cstdio>
#include <string>

#include "analysis/ferrite.h"

int main() {
  using namespace vtq::analysis;
  std::printf(
      "// The model networks of the shipped grades as FitNetwork (material_model.cpp) fits them,\n"
      "// kept so every build prints the same circuit elements. Written by scripts/fit-networks\n"
      "// (tools/fit_networks.cpp); a test compares this table with a fresh fit.\n"
      "#include \"analysis/ferrite.h\"\n\n"
      "namespace vtq::analysis {\n\n"
      "// clang-format off\n"
      "extern const std::vector<FittedNetwork> kFittedNetworks;\n"
      "const std::vector<FittedNetwork> kFittedNetworks{\n");
  for (const char* letter : {"D", "P", "N", "S", "R"}) {
    const auto grade = GradeOf(letter);
    if (!grade) return 1;
    const CoreNetwork net = FitNetwork(*grade);
    std::fprintf(stderr,
                 "%s %s: %zu tanks, worst %.2f %% at %.4g Hz, |mu| %.2f %% at %.4g Hz, phase %.2f deg at "
                 "%.4g Hz, one curve %.1f %% at %.4g Hz\n",
                 letter, grade->name.c_str(), net.tanks.size(), net.worstDeviation * 100,
                 net.worstDeviationAt, net.worstMagnitudeDeviation * 100, net.worstMagnitudeAt,
                 net.worstPhaseDeviation, net.worstPhaseAt, net.worstSingleDeviation * 100,
                 net.worstSingleAt);
    std::printf("    {\"%s\", {{\n", grade->name.c_str());
    for (const Tank& t : net.tanks) std::printf("        {%.17g, %.17g, %.17g},\n", t.l, t.r, t.c);
    std::printf("    }}},\n");
  }
  std::printf("};\n// clang-format on\n\n}  // namespace vtq::analysis\n");
  return 0;
}
