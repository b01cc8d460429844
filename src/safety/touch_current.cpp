#include "safety/touch_current.h"

#include <array>
#include <numbers>

namespace vtq::safety {
namespace {

constexpr std::array<TouchCurrentCase, 8> kCases = {{
    {"iec62368-es1", "ES1 touch current (class II equipment, accessible parts)", 0.5e-3,
     "IEC 62368-1:2018 (ed. 3.0) Table 4"},
    {"iec62368-es2", "ES2 touch current (class I equipment, protective earth open)", 5e-3,
     "IEC 62368-1:2018 (ed. 3.0) Table 4"},
    {"iec60335-class2", "Class II appliance", 0.25e-3, "IEC 60335-1:2010 (ed. 5.0) 16.2"},
    {"iec60335-class0", "Class 0, 0I and III appliance", 0.5e-3, "IEC 60335-1:2010 (ed. 5.0) 16.2"},
    {"iec60335-class1-portable", "Class I portable appliance", 0.75e-3, "IEC 60335-1:2010 (ed. 5.0) 16.2"},
    {"iec60335-class1-motor", "Class I stationary motor-operated appliance", 3.5e-3,
     "IEC 60335-1:2010 (ed. 5.0) 16.2"},
    {"iec60601-touch", "Medical touch current, normal condition", 0.1e-3, "IEC 60601-1:2005 (ed. 3.0) 8.7.3"},
    {"iec60601-touch-fault", "Medical touch current, single fault condition", 0.5e-3,
     "IEC 60601-1:2005 (ed. 3.0) 8.7.3"},
}};

}  // namespace

std::span<const TouchCurrentCase> TouchCurrentCases() {
  return kCases;
}

const TouchCurrentCase* TouchCurrentCaseOf(std::string_view key) {
  for (const TouchCurrentCase& c : kCases) {
    if (c.key == key) return &c;
  }
  return nullptr;
}

YBudget YBudgetOf(double limit, double lineToNeutral, double frequency, int lines) {
  YBudget b;
  if (!(limit > 0) || !(lineToNeutral > 0) || !(frequency > 0) || lines < 2 || lines > 4) {
    b.problem = "The current limit, the mains voltage and frequency must be above 0, the lines 2, 3 or 4.";
    return b;
  }
  b.maxTotal = limit / (2 * std::numbers::pi * frequency * lineToNeutral);
  b.maxPerLine = b.maxTotal / lines;
  b.worstCase = lines == 2 ? "neutral open: both Y capacitors fed from the line"
                           : "one line earthed: the other lines' Y capacitors driven against it";
  return b;
}

}  // namespace vtq::safety
