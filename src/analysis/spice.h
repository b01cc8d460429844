// A circuit-simulator model of the designed choke: a subcircuit text.
#pragma once

#include <memory>
#include <string>

#include "analysis/ferrite.h"
#include "analysis/impedance.h"
#include "analysis/winding.h"

#include "engine/design.h"

namespace vtq::analysis {

struct SpiceModel {
  std::string problem;  // why there is no model; empty when there is one
  std::string name;     // subcircuit name, letters, digits and underscores only
  std::string text;     // the subcircuit, lines ending in "\n"
};

// Pins in order: in1 out1 in2 out2. Winding 1 runs in1 -> out1, winding 2 in2 -> out2,
// both dotted at their "in" pin, so currents flowing in at in1 and in2 add their flux.
// `material` replaces the grade of the window's material (a user's file).
SpiceModel SpiceSubcircuit(const DesignWindow& window,
                           const std::shared_ptr<const Ferrite>& material = nullptr);
// The same of a winding description (a ring's, two windings); `inputs` says in one line what
// it was designed for.
SpiceModel SpiceSubcircuit(const Winding& wd, const std::string& inputs,
                           const std::shared_ptr<const Ferrite>& material = nullptr);
// Of parameters already worked out, with the comment line of the inputs ("* Inputs: ...\n").
SpiceModel SpiceSubcircuit(const Winding& wd, const ChokeParameters& parameters,
                           const std::string& inputsLine);

}  // namespace vtq::analysis
