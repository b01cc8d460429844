// The window's print commands over a fake printer: the report of the design as the window
// holds it, and the design left as it was.
#include <gtest/gtest.h>

#include "scripted_host.h"

namespace vtq {
namespace {

// A printer that always prints, keeping the pages.
struct FakePrinting : Printing {
  std::vector<reports::Document> printed;
  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override {
    printed.push_back(doc);
    return {"Office", {}};
  }
  bool OfferPdf(std::string_view, std::string_view) override { return false; }
  std::string AskPdfFileName(std::string_view) override { return {}; }
  std::string WritePdf(const reports::Document&, const std::string&) override { return {}; }
  reports::ReportDate Today() override { return {2026, 12, 4}; }
};

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
  testing::ScriptedHost host;
  FakePrinting printing;
  WindowModel model{host};
  model.Form_Load(".");
  model.UsePrinting(&printing);
  host.messages.clear();
  // Inputs typed after the last calculation: printing neither validates nor calculates.
  model.inputs().Current = "7";
  model.inputs().MainInput = "2.2";
  const std::string before = Snapshot(model);
  model.PrintButton_Click();
  model.DesignMnu_Click();
  ASSERT_EQ(printing.printed.size(), 2u);
  const std::string text = reports::RenderText(printing.printed[0]);
  EXPECT_EQ(text, reports::RenderText(printing.printed[1]));
  EXPECT_EQ(text, reports::RenderText(reports::DesignReport(model.window, {2026, 12, 4})));
  EXPECT_EQ(printing.printed[0].title, reports::kDesignReportTitle);
  EXPECT_EQ(Snapshot(model), before);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(model.PrintStatus, "Design report sent to the printer Office.");
}

}  // namespace
}  // namespace vtq
