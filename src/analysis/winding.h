// The winding the window shows, in SI units, for the analyses that go beyond the window:
// the impedance curve and the circuit-simulator model.
#pragma once

#include <memory>
#include <string>

#include "analysis/ferrite.h"
#include "engine/design.h"

namespace vtq::analysis {

struct Winding {
  std::string partNumber;        // as the part-number box shows it, "(2x) " prefix included
  double inductance = 0;         // H, one winding, reached with whole turns
  double resistance = 0;         // ohm, DC, one winding
  double leakage = 0;            // H, estimated differential (leakage) inductance of one winding
  int turns = 0;                 // per winding
  double permeability = 0;       // initial permeability of the material
  double coreArea = 0;           // m2, the catalogue's cross-section times the stack count
  double insulatedDiameter = 0;  // m, the diameter the wire-fit rule uses
  double bareDiameter = 0;       // m, the copper of the gauge
  double coreOD = 0;             // m, the bare core
  double coreID = 0;             // m
  double coreHeight = 0;         // m, of the stack
  double ringHeight = 0;         // m, of one ring of the stack: the section that resonates
  std::string inductanceText, resistanceText, leakageText;  // the same in plain numbers: "9.472e-04"
  // A ring's own figures; the catalogue's winding leaves them at their defaults.
  std::shared_ptr<const Ferrite> grade;  // the ring's material; null: the window's material letter's grade
  double effectiveLength = 0;            // m, le; 0: the catalogue's path length stands
  double effectiveArea = 0;              // m2, Ae
  int windings = 2;                      // windings on the ring, each `turns` over `sector`
  double sector = 0;                     // rad each winding covers; 0: turns touching at the inner diameter
};

struct WindingResult {
  std::string problem;  // empty when the window holds a designed winding
  Winding winding;
};

// The winding of the window's last calculation. A calculation that stopped before the
// winding (too large, core not offered in the material) leaves stale winding fields
// behind, so those cases, and a window never calculated, report a problem instead.
WindingResult DesignedWinding(const DesignWindow& window);

}  // namespace vtq::analysis
