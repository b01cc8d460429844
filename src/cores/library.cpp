#include "cores/library.h"

#include <algorithm>
#include <cctype>

namespace vtq::cores {
namespace {

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::vector<const StockedRing*> FindRings(const RingFilter& filter) {
  std::vector<const StockedRing*> found;
  for (const StockedRing& ring : StockedRings()) {
    if (!filter.maker.empty() && !SameText(ring.maker, filter.maker)) continue;
    if (!filter.grade.empty() && !SameText(ring.grade, filter.grade)) continue;
    if (filter.minOd && ring.od < *filter.minOd) continue;
    if (filter.maxOd && ring.od > *filter.maxOd) continue;
    found.push_back(&ring);
  }
  return found;
}

const StockedRing* RingByPart(std::string_view part) {
  for (const StockedRing& ring : StockedRings())
    if (SameText(ring.part, part)) return &ring;
  return nullptr;
}

const LibraryGrade* GradeByName(std::string_view name) {
  for (const LibraryGrade& grade : LibraryGrades())
    if (grade.name == name) return &grade;
  return nullptr;
}

bool HasCurve(const StockedRing& ring) {
  const LibraryGrade* grade = GradeByName(ring.grade);
  return grade && grade->hasCurve;
}

RingSize SizeOf(const StockedRing& ring) {
  return {ring.od, ring.id, ring.height, 0};
}

}  // namespace vtq::cores
