// The window's print commands over a fake printer: what reaches the printer, what the
// user is told when it fails, and that the design stays as it was.
#include <gtest/gtest.h>

#include <deque>

#include "ui/model/window_model.h"

namespace vtq {
namespace {

struct QuietHost : WindowHost {
  std::vector<std::pair<std::string, std::string>> messages;  // text, title
  std::string InputBox(std::string_view, std::string_view, std::string_view answer) override {
    return std::string(answer);
  }
  int MsgBox(std::string_view text, std::string_view title) override {
    messages.emplace_back(text, title);
    return 1;
  }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
};

struct FakePrinting : Printing {
  std::string failure;       // what the printer says; empty: it prints
  bool acceptOffer = false;  // the answer to "save as PDF instead?"
  std::string pdfPath;       // the save dialog's answer; empty: cancelled
  std::string writeFailure;  // what writing the PDF says
  std::vector<reports::Document> printed;
  std::vector<std::string> offers;

  PrintResult PrintOnDefaultPrinter(const reports::Document& doc) override {
    if (failure.empty()) printed.push_back(doc);
    return {"Office", failure};
  }
  bool OfferPdf(std::string_view text, std::string_view) override {
    offers.emplace_back(text);
    return acceptOffer;
  }
  std::string AskPdfFileName(std::string_view) override { return pdfPath; }
  std::string WritePdf(const reports::Document&, const std::string&) override { return writeFailure; }
  reports::ReportDate Today() override { return {2026, 12, 4}; }
};

// Every design-state field and output box as text, to see that nothing moved.
std::string Snapshot(const WindowModel& m) {
  std::string s;
  for (const auto& f : kDesignStateFields) {
    s += std::string(f.name) + "=";
    switch (f.kind) {
      case DesignStateField::Kind::Integer:
        s += std::to_string(m.window.state.*f.integer);
        break;
      case DesignStateField::Kind::Single:
        s += num::ShortestSingle(m.window.state.*f.single);
        break;
      case DesignStateField::Kind::String:
        s += m.window.state.*f.text;
        break;
    }
    s += ";";
  }
  for (const auto& b : kOutputBoxFields) s += std::string(b.name) + "=" + m.window.outputs.*b.text + ";";
  return s;
}

class PrintCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    model.Form_Load(".");
    model.UsePrinting(&printing);
    host.messages.clear();
  }
  QuietHost host;
  FakePrinting printing;
  WindowModel model{host};
};

TEST_F(PrintCommands, ButtonAndMenuPrintTheSameReportOfTheDesignAsShown) {
  // An input typed after the last calculation: the report shows the state of that
  // calculation, except the inductance line, which shows the box as it stands.
  model.inputs().Current = "7";
  model.inputs().MainInput = "2.2";
  const std::string before = Snapshot(model);
  model.PrintButton_Click();
  model.DesignMnu_Click();
  ASSERT_EQ(printing.printed.size(), 2u);
  const std::string text = reports::RenderText(printing.printed[0]);
  EXPECT_EQ(text, reports::RenderText(printing.printed[1]));
  EXPECT_EQ(text, reports::RenderText(reports::DesignReport(model.window, {2026, 12, 4})));
  EXPECT_NE(text.find("   Current:              5  Amps\n"), std::string::npos);
  EXPECT_NE(text.find("2.2 mH\n"), std::string::npos);
  EXPECT_NE(text.find("12-04-2026"), std::string::npos);
  EXPECT_EQ(printing.printed[0].title, reports::kDesignReportTitle);
  EXPECT_EQ(Snapshot(model), before);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(model.PrintStatus, "Design report sent to the printer Office.");
}

TEST_F(PrintCommands, PdfThatCannotBeWrittenSaysWhyAndChangesNothing) {
  printing.failure = "no printer is installed";
  printing.acceptOffer = true;
  printing.pdfPath = "/nowhere/r.pdf";
  printing.writeFailure = "No such file or directory";
  const std::string before = Snapshot(model);
  model.PrintButton_Click();
  EXPECT_EQ(printing.offers.size(), 1u);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first,
            "The design report could not be saved as /nowhere/r.pdf: No such file or directory.\r\r"
            "The design is unchanged.");
  EXPECT_EQ(model.PrintStatus, "");
  EXPECT_EQ(Snapshot(model), before);
}

}  // namespace
}  // namespace vtq
