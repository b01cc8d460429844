// Design inputs as the user types them, and the window they make.
#pragma once

#include <string>

#include "engine/design.h"
#include "support/scripted_host.h"

namespace vtq::test {

inline constexpr auto kInductance = DesignModeOption::Inductance;
inline constexpr auto kImpedance = DesignModeOption::Impedance;
inline constexpr auto kVoltage = DesignModeOption::Voltage;

using Inputs = DesignEntry;

// The inputs typed, nothing calculated yet.
inline DesignWindow WindowWith(const Inputs& in) {
  DesignWindow w;
  w.inputs.Mode = in.mode;
  w.inputs.MainInput = in.main;
  w.inputs.Current = in.current;
  w.inputs.SecondInput = in.frequency;
  w.inputs.txtCD = in.density;
  w.inputs.Material = in.material;
  w.inputs.English = in.english;
  return w;
}

// The automatic design of the inputs, then the list pick if one is given.
inline DesignWindow Designed(const Inputs& in) {
  DesignWindow w = WindowWith(in);
  ScriptedHost quiet;
  CalculateDesign(w, quiet);
  if (in.core) {
    w.state.ListCore = *in.core;
    EvaluateCore(w.state.ListCore, w, quiet);
  }
  return w;
}

// The output boxes in the window's order, " | " between them: one line a reviewer
// reads against the window.
inline std::string BoxTexts(const OutputBoxes& o) {
  std::string all;
  for (const auto& box : kOutputBoxFields) all += (all.empty() ? "" : " | ") + o.*box.text;
  return all;
}

}  // namespace vtq::test
