// Any bytes as a user's material file (CSV or a JSON database entry), read as Measured
// Material... reads it: nothing may crash or throw, a refusal says why, and a curve that is
// taken gives finite, usable numbers everywhere a view or the netlist looks.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "analysis/ferrite.h"
#include "files/user_file.h"

namespace {

using namespace vtq;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "material fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const files::UserText in = files::UserTextOf(std::string(reinterpret_cast<const char*>(data), size),
                                               files::UserFileKind::Material);
  if (!in.error.empty()) return 0;
  std::string error;
  const auto f = analysis::FerriteFromText(in.text, "fuzz.csv", error);
  Check(!f == !error.empty(), "a result and a reason at once, or neither");
  if (!f) {
    Check(error.size() < 300, "a reason that quotes too much");
    return 0;
  }
  Check(f->LowFrequency() >= 1, "a core with less than air's permeability");
  for (double x = 1e2; x < 1e11; x *= 2.3) {
    const std::complex<double> mu = analysis::ModelPermeability(f, x);
    Check(std::isfinite(mu.real()) && std::isfinite(mu.imag()) && mu.imag() <= 0,
          "a model permeability not finite or not passive");
  }
  for (double t : {-40.0, 25.0, 100.0, 150.0}) {
    Check(std::isfinite(f->InitialAt(t)) && f->InitialAt(t) >= 1, "an initial permeability below 1");
    Check(std::isfinite(f->SaturationAt(t)) && f->SaturationAt(t) >= 0, "a saturation not finite");
  }
  return 0;
}
