// Designs for the analysis tests: inputs as the user types them, one calculation.
#pragma once

#include <string>
#include <utility>

#include "analysis/silent_dialogs.h"
#include "engine/design.h"

namespace vtq::testing {

struct Inputs {
  Inputs(DesignModeOption m, std::string mainText, std::string currentText = "2",
         std::string frequencyText = "10000", int materialIndex = 3, bool inches = true, int row = 0)
      : mode(m),
        main(std::move(mainText)),
        current(std::move(currentText)),
        frequency(std::move(frequencyText)),
        material(materialIndex),
        english(inches),
        core(row) {}
  DesignModeOption mode;
  std::string main, current, frequency;
  int material;  // 1 to 5 = D, P, N, S, R
  bool english;
  int core;  // a list pick after the automatic design, 0 for none
};

inline DesignWindow Designed(const Inputs& in) {
  DesignWindow w;
  w.inputs.Mode = in.mode;
  w.inputs.MainInput = in.main;
  w.inputs.Current = in.current;
  w.inputs.SecondInput = in.frequency;
  w.inputs.Material = static_cast<Integer>(in.material);
  w.inputs.English = in.english;
  analysis::SilentDialogs quiet;
  CalculateDesign(w, quiet);
  if (in.core != 0) {
    w.state.ListCore = static_cast<Integer>(in.core);
    EvaluateCore(w.state.ListCore, w, quiet);
  }
  return w;
}

inline constexpr auto kImpedance = DesignModeOption::Impedance;
inline constexpr auto kVoltage = DesignModeOption::Voltage;
inline constexpr auto kInductance = DesignModeOption::Inductance;

}  // namespace vtq::testing
