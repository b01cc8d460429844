// Designs in the Magnetic Agnostic Structure (MAS), the JSON that open-source magnetics
// tools exchange: the requirements of a common-mode choke, the choke (core and two
// windings) and what it reaches. Values in SI units: henries, ohms, metres, watts.
#pragma once

#include <string>
#include <string_view>

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

}  // namespace vtq::mas
