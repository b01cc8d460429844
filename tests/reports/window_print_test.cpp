// The window's print commands over a fake printer: the report of the design as the window
// holds it, and the design left as it was.
#include <gtest/gtest.h>

#include "support/scripted_host.h"

namespace vtq {
namespace {

// Every design-state field and output box as text, to see that nothing moved.
std::string Snapshot(const WindowModel& m) {
  std::string s;
  using Kind = DesignStateField::Kind;
  for (const auto& f : kDesignStateFields) {
    const DesignState& state = m.window.state;
    s += std::string(f.name) + "=" +
         (f.kind == Kind::Integer  ? std::to_string(state.*f.integer)
          : f.kind == Kind::Single ? num::ShortestSingle(state.*f.single)
                                   : state.*f.text) +
         ";";
  }
  for (const auto& b : kOutputBoxFields) s += std::string(b.name) + "=" + m.window.outputs.*b.text + ";";
  return s;
}

TEST(PrintCommands, ButtonAndMenuPrintTheSameReportOfTheDesignAsShown) {
  test::ScriptedHost host;
  host.canPrint = true;
  WindowModel model{host};
  model.Form_Load(".");
  host.messages.clear();
  // Inputs typed after the last calculation: printing neither validates nor calculates.
  model.inputs().Current = "7";
  model.inputs().MainInput = "2.2";
  const std::string before = Snapshot(model);
  model.PrintButton_Click();
  model.DesignMnu_Click();
  ASSERT_EQ(host.printed.size(), 2u);
  const std::string text = reports::RenderText(host.printed[0]);
  EXPECT_EQ(text, reports::RenderText(host.printed[1]));
  EXPECT_EQ(text, reports::RenderText(reports::DesignReport(model.window, {2026, 12, 4})));
  EXPECT_EQ(host.printed[0].title, reports::kDesignReportTitle);
  EXPECT_EQ(Snapshot(model), before);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(model.PrintStatus, "Design report sent to the printer Office.");
}

}  // namespace
}  // namespace vtq
