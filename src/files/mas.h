// Designs in the Magnetic Agnostic Structure (MAS), the JSON that open-source magnetics
// tools exchange: the requirements of a common-mode choke, the choke (core and two
// windings) and what it reaches. Values in SI units: henries, ohms, metres, watts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"

namespace vtq::mas {

// The ambient the temperature rise is added to, and the mains frequency of the line
// current: the design states neither, and the format asks for both. Degrees C, Hz.
inline constexpr double kAmbient = 25, kLineFrequency = 60;

// The design the window shows as one MAS document, or the reason there is none to write
// (a requirement too large for any core, a calculation that never reached a winding).
struct Written {
  std::string text;
  std::string problem;
};
Written WriteDesign(const DesignWindow& w);

// The requirements of a MAS document as the window's inputs: the design mode and the texts
// of its boxes, and the material where the document's core names one of ours (else 0).
struct Requirements {
  DesignModeOption mode = DesignModeOption::Impedance;
  std::string main, current, frequency;
  Integer material = 0;
  std::string problem;  // why the document gives no requirements; the rest is then unset
};
Requirements ReadRequirements(std::string_view text);

// The mains the windings of a ring sit on, as the insulation between them was worked out:
// the entries as typed ("II", "2", "IIIb") and the line-to-neutral voltage, V rms.
struct RingInsulation {
  std::string category, pollution, group;
  double mainsVoltage = 0;
};

// A choke wound on a ring, n windings of one round copper wire, in SI units: metres,
// henries, ohms, amperes, degrees C. What the window's requirement asked stays in the window.
struct RingChoke {
  std::string part, maker;  // the stocked part and its maker; empty for a ring of the user's size
  std::string shape;        // the standard shape's name of a stocked ring, empty otherwise
  std::string grade, gradeMaker;
  double od = 0, id = 0, height = 0, chamfer = 0;
  double requiredInductance = 0;  // 0 when the turns were given
  int turns = 0, gauge = 0;
  double bareDiameter = 0, insulatedDiameter = 0;
  double inductance = 0, resistance = 0, leakage = 0, rise = 0, ambient = 25;
  std::vector<double> currents;  // rms, one a winding (the neutral's the sum of the lines')
  std::optional<RingInsulation> insulation;
};
// The ring's choke as one MAS document, the requirement's inputs those of the window.
Written WriteRingDesign(const DesignWindow& w, const RingChoke& choke);

// A ring read back from a MAS document: what it takes to wind the same choke again.
struct RingRead {
  // Whether the document's core is a ring to wind on (a toroid whose material is none of
  // the catalogue's); false: a catalogue design, read by ReadRequirements alone.
  bool ring = false;
  std::string problem;  // why the ring cannot be read; the rest is then unset
  std::string part;     // the maker's reference, empty when none is given
  std::string grade;
  std::optional<double> od, id, height;  // m, each where the shape gives it
  double chamfer = 0;
  int windings = 0, turns = 0, gauge = 0;  // gauge 0: the wire names none
  double ambient = 25;
  std::optional<RingInsulation> insulation;
};
RingRead ReadRing(std::string_view text);

}  // namespace vtq::mas
