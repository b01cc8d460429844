// Any bytes as a MAS document handed to import: nothing may crash or throw, and the
// requirements read are either refused with a reason or texts the window's boxes take.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
  const mas::Requirements r = mas::ReadRequirements(in.text);
  if (!r.problem.empty()) return 0;
  for (const std::string* text : {&r.main, &r.current, &r.frequency})
    Check(num::ParseStrict(*text).has_value(), "a requirement that is not a number's text");
  Check(r.material >= 0 && r.material <= kMaterialCount, "a material outside the catalogue");
  return 0;
}
