#include "engine/validate.h"

#include <gtest/gtest.h>

#include "support/design_inputs.h"

namespace vtq {
namespace {

using Strings = std::vector<std::string>;
using namespace test;

// The four input texts in the order the checks read them.
auto Texts(const InputControls& in) {
  return std::tie(in.MainInput, in.Current, in.SecondInput, in.txtCD);
}

TEST(ValidateInputs, AsksFieldByFieldInOrderUntilEveryUsedFieldIsPositive) {
  const struct {
    const char* name;
    Inputs before;
    Strings answers;     // typed into the prompts, in order; none left: the default
    Strings firstLines;  // of the prompts, in order
    std::tuple<std::string, std::string, std::string, std::string> after;
  } cases[] = {
      // clang-format off
      {"all valid, blanks kept as typed", {kInductance, " 2 ", "5", "", "400"}, {}, {}, {" 2 ", "5", "", "400"}},
      {"inductance skips the frequency", {kInductance, "1", "5", "abc", "400"}, {}, {}, {"1", "5", "abc", "400"}},
      {"empty frequency in impedance mode", {kImpedance, "50", "5", "", "400"}, {},
       {"Cutoff Frequency field requires a numeric entry."}, {"50", "5", "100000", "400"}},
      {"zero current: the range prompt, and the default taken", {kInductance, "1", "0", "10000", "400"}, {},
       {"Current field requires a numeric entry greater than zero."}, {"1", "10", "10000", "400"}},
      {"negative density", {kVoltage, "230", "1", "10000", "-400"}, {"350"},
       {"Current Density field requires a numeric entry greater than zero."}, {"230", "1", "10000", "350"}},
      {"voltage default 117", {kVoltage, "x", "1", "10000", "400"}, {},
       {"Voltage field requires a numeric entry."}, {"117", "1", "10000", "400"}},
      {"several bad fields in order", {kImpedance, "", "a", "0", ""}, {},
       {"Impedance field requires a numeric entry.", "Current field requires a numeric entry.",
        "Cutoff Frequency field requires a numeric entry greater than zero.",
        "Current Density field requires a numeric entry."}, {"50", "10", "100000", "400"}},
      {"cancel empties the field and asks again", {kInductance, "abc", "5", "1", "400"}, {"", "-1", "", "3"},
       {"Inductance field requires a numeric entry.", "Inductance field requires a numeric entry.",
        "Inductance field requires a numeric entry greater than zero.",
        "Inductance field requires a numeric entry."}, {"3", "5", "1", "400"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InputControls in = WindowWith(c.before).inputs;
    ScriptedHost host;
    host.answers.assign(c.answers.begin(), c.answers.end());
    ValidateInputs(in, host);
    Strings firstLines;
    for (const auto& p : host.prompts) {
      firstLines.push_back(p.text.substr(0, p.text.find('\r')));
      EXPECT_EQ(p.title, "Invalid Entry");
    }
    EXPECT_EQ(firstLines, c.firstLines);
    EXPECT_EQ(Texts(in), c.after);
  }
}

// Whole prompts and their default answers (the misspelling is what the user sees).
TEST(ValidateInputs, PromptTextsAndDefaults) {
  const struct {
    Inputs before;
    const char* text;
    const char* defaultAnswer;
  } cases[] = {
      // clang-format off
      {{kInductance, "0", "5", "1", "400"},
       "Inductance field requires a numeric entry greater than zero.\r\rPlease enter a value for Indcutance.", "1"},
      {{kImpedance, "0", "5", "1", "400"},
       "Impedance field requires a numeric entry greater than zero.\r\rPlease enter a value for Impedance.", "50"},
      {{kInductance, "1", "5", "1", "0"}, "Current Density field requires a numeric entry greater than zero.\r\r"
       "Please enter a value for Current Density.", "400"},
      // clang-format on
  };
  for (const auto& c : cases) {
    InputControls in = WindowWith(c.before).inputs;
    ScriptedHost host;
    ValidateInputs(in, host);
    ASSERT_EQ(host.prompts.size(), 1u) << c.text;
    EXPECT_EQ(host.prompts[0].text, c.text);
    EXPECT_EQ(host.prompts[0].defaultAnswer, c.defaultAnswer);
  }
}

}  // namespace
}  // namespace vtq
