// The stocked-ring library: finding rings by maker, grade and size.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cores/library_data.h"
#include "cores/ring_geometry.h"

namespace vtq::cores {

// What the user narrows the library to; an empty text or an absent bound takes every ring.
// Maker and grade compare without regard to case.
struct RingFilter {
  std::string maker, grade;
  std::optional<double> minOd, maxOd;  // m
};

std::vector<const StockedRing*> FindRings(const RingFilter& filter);
// The ring of that part number (case ignored), or null.
const StockedRing* RingByPart(std::string_view part);
const LibraryGrade* GradeByName(std::string_view name);
// Whether the ring's grade has a complex-permeability curve to design with.
bool HasCurve(const StockedRing& ring);
RingSize SizeOf(const StockedRing& ring);

}  // namespace vtq::cores
