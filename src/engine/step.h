// The skip-on-failure rule of the calculations: each step that assigns one value stands
// on its own. A step that fails (StepFailed from a checked conversion or operation)
// is abandoned, its target keeps the value it had, and the calculation goes on.
#pragma once

#include "engine/numbers.h"

namespace vtq {

template <class Assign>
inline void Step(Assign&& assign) noexcept {
  try {
    assign();
  } catch (const StepFailed&) {
  }
}

}  // namespace vtq
