#include "engine/validate.h"

#include <optional>
#include <string>

namespace vtq {
namespace {

struct FieldPrompts {
  std::string_view defaultAnswer;
  std::string_view notNumeric;   // first line when the text is not a number
  std::string_view notPositive;  // first line when the number is not above zero
  std::string_view secondNumeric;
  std::string_view secondPositive;
};

// clang-format off
constexpr FieldPrompts kInductance{"1", "Inductance field requires a numeric entry.",
    "Inductance field requires a numeric entry greater than zero.",
    "Please enter a value for Inductance.", "Please enter a value for Indcutance."};
constexpr FieldPrompts kVoltage{"117", "Voltage field requires a numeric entry.",
    "Voltage field requires a numeric entry greater than zero.",
    "Please enter a value for Voltage.", "Please enter a value for Voltage."};
constexpr FieldPrompts kImpedance{"50", "Impedance field requires a numeric entry.",
    "Impedance field requires a numeric entry greater than zero.",
    "Please enter a value for Impedance.", "Please enter a value for Impedance."};
constexpr FieldPrompts kCurrent{"10", "Current field requires a numeric entry.",
    "Current field requires a numeric entry greater than zero.",
    "Please enter a value for Current.", "Please enter a value for Current."};
constexpr FieldPrompts kFrequency{"100000", "Cutoff Frequency field requires a numeric entry.",
    "Cutoff Frequency field requires a numeric entry greater than zero.",
    "Please enter a value for Cutoff Frequency.", "Please enter a value for Cutoff Frequency."};
constexpr FieldPrompts kDensity{"400", "Current Density field requires a numeric entry.",
    "Current Density field requires a numeric entry greater than zero.",
    "Please enter a value for Current Density.", "Please enter a value for Current Density."};
// clang-format on

constexpr std::string_view kTitle = "Invalid Entry";

std::string Prompt(std::string_view first, std::string_view second) {
  std::string text(first);
  text += "\r\r";
  text += second;
  return text;
}

double ValidateField(std::string& text, const FieldPrompts& p, UserDialogs& dialogs) {
  for (;;) {
    std::optional<double> value;
    while (!(value = num::ParseStrict(text))) {
      text = dialogs.InputBox(Prompt(p.notNumeric, p.secondNumeric), kTitle, p.defaultAnswer);
    }
    if (*value > 0) return *value;
    // A non-numeric answer here (a cancel among them) goes back to the numeric prompt.
    text = dialogs.InputBox(Prompt(p.notPositive, p.secondPositive), kTitle, p.defaultAnswer);
  }
}

}  // namespace

CheckedInputs ValidateInputs(InputControls& in, UserDialogs& dialogs) {
  const FieldPrompts& main = in.Mode == DesignModeOption::Inductance ? kInductance
                             : in.Mode == DesignModeOption::Voltage  ? kVoltage
                                                                     : kImpedance;
  CheckedInputs checked;
  checked.main = ValidateField(in.MainInput, main, dialogs);
  checked.current = ValidateField(in.Current, kCurrent, dialogs);
  if (in.Mode != DesignModeOption::Inductance)
    checked.frequency = ValidateField(in.SecondInput, kFrequency, dialogs);
  checked.density = ValidateField(in.txtCD, kDensity, dialogs);
  return checked;
}

}  // namespace vtq
