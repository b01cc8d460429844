// The two calculations of the design window: the automatic design (Calculate) and the
// evaluation of one chosen core, sharing one routine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/design_state.h"
#include "engine/dialogs.h"

namespace vtq {

// Everything a calculation reads and writes, owned by the window.
struct DesignWindow {
  DesignState state;
  InputControls inputs;
  OutputBoxes outputs;
};

// Calculate: input checks, requirement, core choice by area product (or a stack of
// the largest core), then the winding on it.
void CalculateDesign(DesignWindow& w, UserDialogs& dialogs);

// The winding on catalogue entry Row (1 to 24; any other row leaves every output that
// reads the catalogue as it was), with the wire made thinner where it does not fit.
void EvaluateCore(Integer& Row, DesignWindow& w, UserDialogs& dialogs);

// The pattern a self-formatting box (OD, ID, HT, WireLength, Inductance, Turns,
// WireSize) applies to any text written into it, for the current length unit; null
// for any other box, which takes its text as it is.
const num::Pattern* SelfFormatPattern(std::string OutputBoxes::*box, bool english);

// Mounting header for a wound part of outside diameter x and height h, inches.
std::string_view MountingHeaderFor(Single x, Single h);

// Core list entry text, "QN-80101-KX (OD = 0.375)", for one catalogue row.
std::string CoreListEntry(int row, std::string_view materialLetter);

// The rows offered in a material (AL field 4 + materialIndex above 0), in entry order.
std::vector<int> OfferedRows(int materialIndex);

}  // namespace vtq
