// The input checks run before every calculation.
#pragma once

#include "engine/design_state.h"
#include "engine/dialogs.h"

namespace vtq {

// Asks again, field by field (main input, current, cutoff frequency unless the mode is
// inductance, current density), until every field the mode uses holds a text that
// reads strictly as a number greater than zero. Answers replace the text as typed.
// Returns the numbers the checked texts read as (frequency 0 when it is not checked).
struct CheckedInputs {
  double main = 0, current = 0, frequency = 0, density = 0;
};
CheckedInputs ValidateInputs(InputControls& inputs, UserDialogs& dialogs);

}  // namespace vtq
