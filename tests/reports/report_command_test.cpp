// vtq-cli report and table: the same pages as the window prints, as text or PDF.
#include <gtest/gtest.h>

#include "cli/cli.h"
#include "cli/run_cli.h"
#include "reports/reports.h"

namespace vtq::cli {
namespace {

using harness::Cli;
using harness::Result;

TEST(ReportCommand, PrintsTheReportOfTheDesignAsText) {
  const Result r =
      Cli({"report", "--mode", "voltage", "--main", "120", "--current", "2", "--date", "02-29-2028"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  ShellHost host;
  WindowModel model(host);
  DesignArgs args;
  args.mode = "voltage";
  args.options.main = "120";
  args.options.current = "2";
  ComputeDesign(model, host, args.Resolve());
  EXPECT_EQ(r.out, reports::RenderText(reports::DesignReport(model.window, {2028, 2, 29})));
  EXPECT_NE(r.out.find("   Voltage:              120  Volts\n"), std::string::npos);
}

TEST(ReportCommand, BadDateOrUnwritablePdfSayWhy) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {{"report", "--date", "02-30-2026"}, kExitUsage, "MM-DD-YYYY"},
      {{"report", "--current", "abc"}, kExitUsage, "vtq-cli: "},
      {{"table", "--pdf", "/nonexistent-folder/t.pdf"},
       kExitFailure,
       "cannot write /nonexistent-folder/t.pdf"},
  };
  for (const Case& c : cases) {
    const Result r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1];
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << c.args[1];
  }
}

}  // namespace
}  // namespace vtq::cli
