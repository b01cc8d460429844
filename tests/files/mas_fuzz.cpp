// Any bytes as a MAS document handed to import: nothing may crash or throw, the
// requirements read are either refused with a reason or texts the window's boxes take, and
// a ring read is one a design can be wound on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "engine/catalogue.h"
#include "engine/numbers.h"
#include "files/mas.h"
#include "files/user_file.h"

namespace {

using namespace vtq;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "MAS fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const files::UserText in =
      files::UserTextOf(std::string(reinterpret_cast<const char*>(data), size), files::UserFileKind::Mas);
  if (!in.error.empty()) return 0;
  const mas::RingRead ring = mas::ReadRing(in.text);
  if (ring.ring && ring.problem.empty()) {
    Check(ring.windings >= 2 && ring.windings <= 4 && ring.turns >= 1 && ring.turns <= 100000,
          "a ring's windings or turns out of range");
    for (const std::optional<double>& length : {ring.od, ring.id, ring.height})
      Check(!length || (*length > 0 && *length < 1), "a ring's length that is none");
    Check(!ring.od || !ring.id || *ring.id < *ring.od, "a ring's bore not inside it");
    Check(!ring.insulation || ring.insulation->mainsVoltage > 0, "mains of no voltage");
  }
  const mas::Requirements r = mas::ReadRequirements(in.text);
  if (!r.problem.empty()) return 0;
  for (const std::string* text : {&r.main, &r.current, &r.frequency})
    Check(num::ParseStrict(*text).has_value(), "a requirement that is not a number's text");
  Check(r.material >= 0 && r.material <= kMaterialCount, "a material outside the catalogue");
  return 0;
}
