// The Y-capacitor budget: the capacitance from the lines to earth that the touch or
// protective-conductor current limit of the equipment's safety standard allows at the
// highest mains voltage and frequency.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vtq::safety {

// A limit of a safety standard for a common kind of equipment.
struct TouchCurrentCase {
  std::string_view key;     // the word typed after --equipment
  std::string_view name;    // what the limit is for, in words
  double limit;             // A rms
  std::string_view source;  // standard, edition, clause or table
};
std::span<const TouchCurrentCase> TouchCurrentCases();
// The case of `key`; none when no case has it.
const TouchCurrentCase* TouchCurrentCaseOf(std::string_view key);

struct YBudget {
  std::string problem;    // an input out of range, said; empty otherwise
  double maxTotal = 0;    // F, all the Y capacitors together
  double maxPerLine = 0;  // F, each line's, the lines' capacitors equal
  std::string worstCase;  // the fault that drives the most current, in words
};
// Worst case: one line earthed (single phase: the neutral open, so the neutral's capacitor
// hangs on the line through the load). Every Y capacitor then returns to earth from a
// potential whose phasors add to `lines` times the line-to-neutral voltage, so the earth
// current is 2 pi f V_LN times the total capacitance.
YBudget YBudgetOf(double limit, double lineToNeutral, double frequency, int lines);

}  // namespace vtq::safety
