// The window's print commands over a fake printer: the report of the design as the window
// holds it, and the design left as it was.
#include <gtest/gtest.h>

#include "support/scripted_host.h"

namespace vtq {
namespace {

TEST(PrintCommands, ButtonAndMenuPrintTheSameReportOfTheDesignAsShown) {
  test::ScriptedHost host;
  host.canPrint = true;
  WindowModel model{host};
  model.Form_Load(".");
  host.messages.clear();
  // Inputs typed after the last calculation: printing neither validates nor calculates.
  model.inputs().Current = "7";
  model.inputs().MainInput = "2.2";
  const DesignWindow before = model.window;
  model.PrintButton_Click();
  model.DesignMnu_Click();
  ASSERT_EQ(host.printed.size(), 2u);
  const std::string text = reports::RenderText(host.printed[0]);
  EXPECT_EQ(text, reports::RenderText(host.printed[1]));
  EXPECT_EQ(text, reports::RenderText(reports::DesignReport(model.window, {2026, 12, 4})));
  EXPECT_EQ(host.printed[0].title, reports::kDesignReportTitle);
  EXPECT_TRUE(model.window.state == before.state && model.window.outputs == before.outputs);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(model.PrintStatus, "Design report sent to the printer Office.");
}

// The PDF a report is offered as is named after a part number only when that can stand
// in any file system's name.
TEST(PrintCommands, ReportPdfNamedAfterAPlainPartNumber) {
  const std::pair<const char*, const char*> cases[] = {{"QN-80119-KX", "QN-80119-KX Design Report.pdf"},
                                                       {"QN/80119", "Design Report.pdf"},
                                                       {"", "Design Report.pdf"}};
  for (const auto& [pn, name] : cases) {
    test::ScriptedHost host;
    host.canPrint = true;
    WindowModel model{host};
    model.window.outputs.txtPN = pn;
    model.ExportReportMnu_Click();
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].settings.FileName, name);
  }
}

// A cancelled Export ... as PDF, or a dialog that answers with no name: nothing is
// written, nothing said, and the status line keeps nothing.
TEST(PrintCommands, CancelledExportWritesNothing) {
  const std::optional<std::string> answers[] = {std::nullopt, ""};
  for (const std::optional<std::string>& answer : answers) {
    test::ScriptedHost host;
    host.canPrint = true;
    WindowModel model{host};
    if (answer) host.paths = {*answer};
    model.PrintStatus = "Design report sent to the printer Office.";
    model.ExportReportMnu_Click();
    EXPECT_EQ(host.events, std::vector<std::string>{"file"});
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(model.PrintStatus, "");
  }
}

}  // namespace
}  // namespace vtq
