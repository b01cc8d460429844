#include "engine/validate.h"

#include <gtest/gtest.h>

#include "scripted_dialogs.h"

namespace vtq {
namespace {

using testing::ScriptedDialogs;

std::string FirstLine(const std::string& prompt) {
  return prompt.substr(0, prompt.find('\r'));
}

struct Case {
  const char* name;
  DesignModeOption mode;
  InputControls in;                     // texts before the check (mode set from `mode`)
  std::vector<std::string> answers;     // typed into the prompts, in order
  std::vector<std::string> firstLines;  // expected prompts, in order
  InputControls after;                  // texts after the check (only texts compared)
};

InputControls Texts(const char* main, const char* current, const char* freq, const char* cd) {
  InputControls c;
  c.MainInput = main;
  c.Current = current;
  c.SecondInput = freq;
  c.txtCD = cd;
  return c;
}

TEST(ValidateInputs, AsksFieldByFieldInOrderUntilEveryUsedFieldIsPositive) {
  const Case cases[] = {
      {"all valid, blanks kept as typed",
       DesignModeOption::Inductance,
       Texts(" 2 ", "5", "", "400"),
       {},
       {},
       Texts(" 2 ", "5", "", "400")},
      {"inductance skips the frequency",
       DesignModeOption::Inductance,
       Texts("1", "5", "abc", "400"),
       {},
       {},
       Texts("1", "5", "abc", "400")},
      {"empty frequency in impedance mode",
       DesignModeOption::Impedance,
       Texts("50", "5", "", "400"),
       {},
       {"Cutoff Frequency field requires a numeric entry."},
       Texts("50", "5", "100000", "400")},
      {"zero current gets the range prompt and the default",
       DesignModeOption::Inductance,
       Texts("1", "0", "10000", "400"),
       {},
       {"Current field requires a numeric entry greater than zero."},
       Texts("1", "10", "10000", "400")},
      {"negative density",
       DesignModeOption::Voltage,
       Texts("230", "1", "10000", "-400"),
       {"350"},
       {"Current Density field requires a numeric entry greater than zero."},
       Texts("230", "1", "10000", "350")},
      {"voltage default 117",
       DesignModeOption::Voltage,
       Texts("x", "1", "10000", "400"),
       {},
       {"Voltage field requires a numeric entry."},
       Texts("117", "1", "10000", "400")},
      {"several bad fields in order",
       DesignModeOption::Impedance,
       Texts("", "a", "0", ""),
       {},
       {"Impedance field requires a numeric entry.", "Current field requires a numeric entry.",
        "Cutoff Frequency field requires a numeric entry greater than zero.",
        "Current Density field requires a numeric entry."},
       Texts("50", "10", "100000", "400")},
      {"cancel empties the field and asks again",
       DesignModeOption::Inductance,
       Texts("abc", "5", "1", "400"),
       {"", "-1", "", "3"},
       {"Inductance field requires a numeric entry.", "Inductance field requires a numeric entry.",
        "Inductance field requires a numeric entry greater than zero.",
        "Inductance field requires a numeric entry."},
       Texts("3", "5", "1", "400")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InputControls in = c.in;
    in.Mode = c.mode;
    ScriptedDialogs d;
    d.answers.assign(c.answers.begin(), c.answers.end());
    ValidateInputs(in, d);
    ASSERT_EQ(d.prompts.size(), c.firstLines.size());
    for (std::size_t i = 0; i < d.prompts.size(); ++i) {
      EXPECT_EQ(FirstLine(d.prompts[i].text), c.firstLines[i]);
      EXPECT_EQ(d.prompts[i].title, "Invalid Entry");
    }
    EXPECT_EQ(in.MainInput, c.after.MainInput);
    EXPECT_EQ(in.Current, c.after.Current);
    EXPECT_EQ(in.SecondInput, c.after.SecondInput);
    EXPECT_EQ(in.txtCD, c.after.txtCD);
  }
}

TEST(ValidateInputs, PromptTextsDefaultsAndTheirSecondLines) {
  struct Expect {
    DesignModeOption mode;
    std::string text, defaultAnswer;
  };
  const Expect expected[] = {
      {DesignModeOption::Inductance,
       "Inductance field requires a numeric entry.\r\rPlease enter a value for Inductance.", "1"},
      {DesignModeOption::Inductance,
       "Inductance field requires a numeric entry greater than zero.\r\rPlease enter a value for Indcutance.",
       "1"},
      {DesignModeOption::Voltage,
       "Voltage field requires a numeric entry.\r\rPlease enter a value for Voltage.", "117"},
      {DesignModeOption::Impedance,
       "Impedance field requires a numeric entry greater than zero.\r\rPlease enter a value for Impedance.",
       "50"},
  };
  for (const auto& e : expected) {
    InputControls in = Texts(e.text.find("zero") == std::string::npos ? "?" : "0", "5", "1", "400");
    in.Mode = e.mode;
    ScriptedDialogs d;
    ValidateInputs(in, d);
    ASSERT_EQ(d.prompts.size(), 1u);
    EXPECT_EQ(d.prompts[0].text, e.text);
    EXPECT_EQ(d.prompts[0].defaultAnswer, e.defaultAnswer);
  }
  InputControls in = Texts("1", "x", "1", "0");
  ScriptedDialogs d;
  ValidateInputs(in, d);
  ASSERT_EQ(d.prompts.size(), 2u);
  EXPECT_EQ(d.prompts[0].text,
            "Current field requires a numeric entry.\r\rPlease enter a value for Current.");
  EXPECT_EQ(d.prompts[0].defaultAnswer, "10");
  EXPECT_EQ(d.prompts[1].text,
            "Current Density field requires a numeric entry greater than zero.\r\r"
            "Please enter a value for Current Density.");
  EXPECT_EQ(d.prompts[1].defaultAnswer, "400");
}

}  // namespace
}  // namespace vtq
