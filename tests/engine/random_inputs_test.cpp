// Thousands of random texts typed into the inputs, random answers to the prompts, then
// a calculation: nothing crashes, and no calculation starts on an invalid input.
#include <gtest/gtest.h>

#include <random>

#include "engine/design.h"
#include "engine/validate.h"
#include "support/random_text.h"
#include "support/scripted_host.h"

namespace vtq {
namespace {

using test::Positive;
using test::RandomText;

TEST(RandomInputs, NoCrashAndNoCalculationOnAnInvalidInput) {
  std::mt19937 rng(20261205);
  std::uniform_int_distribution<int> mode(0, 2), material(1, 5), coin(0, 1);
  std::uniform_int_distribution<int> row(-40, 40);
  DesignWindow w;
  for (int round = 0; round < 5000; ++round) {
    w.inputs.MainInput = RandomText(rng);
    w.inputs.Current = RandomText(rng);
    w.inputs.SecondInput = RandomText(rng);
    w.inputs.txtCD = RandomText(rng);
    w.inputs.Mode = static_cast<DesignModeOption>(mode(rng));
    w.inputs.Material = static_cast<Integer>(material(rng));
    w.inputs.English = coin(rng) == 1;
    // Answers at random, then gives in to the default after a few tries (as users do).
    test::ScriptedHost user;
    user.answer = [&](const test::Prompt& p) {
      return user.prompts.size() > 8 ? p.defaultAnswer : RandomText(rng);
    };
    if (coin(rng) == 1) {
      CalculateDesign(w, user);
    } else {
      Integer r = static_cast<Integer>(row(rng));
      EvaluateCore(r, w, user);
    }
    // The check ran before the calculation read anything: every used input is valid now.
    ASSERT_TRUE(Positive(w.inputs.MainInput)) << w.inputs.MainInput;
    ASSERT_TRUE(Positive(w.inputs.Current)) << w.inputs.Current;
    ASSERT_TRUE(Positive(w.inputs.txtCD)) << w.inputs.txtCD;
    if (w.inputs.Mode != DesignModeOption::Inductance) {
      ASSERT_TRUE(Positive(w.inputs.SecondInput));
    }
    // What the calculation read is what the boxes hold now (for the strict conversions).
    if (auto cd = num::ParseStrict(w.inputs.txtCD); cd && std::abs(*cd) <= 3.4e38) {
      ASSERT_EQ(w.state.CurrentDensity, static_cast<Single>(*cd));
    }
    ASSERT_TRUE(w.state.UnitFactor == 1.0f || w.state.UnitFactor == 25.4f);
    ASSERT_GE(w.state.MaterialIndex, 1);
    ASSERT_LE(w.state.MaterialIndex, 5);
    ASSERT_EQ(w.state.MaterialLetter[0], "?DPNSR"[w.state.MaterialIndex]);
  }
}

}  // namespace
}  // namespace vtq
