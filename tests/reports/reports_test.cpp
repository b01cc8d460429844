#include "reports/reports.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vtq::reports {
namespace {

std::vector<std::string> Lines(const Document& doc) {
  std::vector<std::string> lines;
  std::istringstream in(RenderText(doc));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A value line as the report prints it: the label, blanks up to column 25, the value.
std::string At25(std::string label, std::string_view value) {
  label.resize(24, ' ');
  return label + std::string(value);
}

TEST(LinePrinter, TabsMoveToTheColumnOrToItOnTheNextLine) {
  LinePrinter p{"t"};
  p.Print({Text(std::string(24, 'x')), Tab(25), Text("v")});  // at column 25 already: no wrap
  p.Print({Text(std::string(25, 'x')), Tab(25), Text("v")});  // one past: wraps
  p.Print(
      {Tab(10), Text("a"), Tab(5), Text("b\xC2\xB5"), Tab(8), Text("c")});  // back wraps; UTF-8 is one cell
  const Document doc = p.EndDoc();
  EXPECT_EQ(Lines(doc), (std::vector<std::string>{std::string(24, 'x') + "v", std::string(25, 'x'),
                                                  std::string(24, ' ') + "v", std::string(9, ' ') + "a",
                                                  "    b\xC2\xB5 c"}));
  EXPECT_EQ((std::vector<bool>{doc.lines[1].keepWithPrevious, doc.lines[2].keepWithPrevious,
                               doc.lines[4].keepWithPrevious}),
            (std::vector<bool>{false, true, true}));
  p.Print({Tab(30), Text("ab  ")});  // trailing blanks take no room on the page
  EXPECT_EQ(WidestCells(p.EndDoc()), 31);
}

TEST(PageStarts, FullPagesContinueWithoutTearingAWrappedValue) {
  const std::tuple<std::vector<bool>, int, std::vector<std::size_t>> cases[] = {
      {{false, false, false}, 3, {0}},
      {{false, false, false, true}, 3, {0, 2}},         // label and wrapped value move together
      {{false, true, true, true, true}, 2, {0, 2, 4}},  // longer than a page: broken where full
      {{false, false, true, false, false, false}, 2, {0, 1, 3, 5}},
      {{false, false}, 0, {0, 1}},  // a page too small for a line still takes one
  };
  for (const auto& [keep, perPage, starts] : cases) {
    Document doc;
    for (bool k : keep) doc.lines.push_back(Line{{}, k});
    EXPECT_EQ(PageStarts(doc, perPage), starts) << keep.size() << " lines, " << perPage << " per page";
  }
}

DesignWindow Design(Integer mode) {
  DesignWindow w;
  DesignState& s = w.state;
  s.DesignMode = mode;
  s.CurrentValue = 2;
  s.EnteredFrequency = 10000;
  s.MainValue = 120;
  s.ImpedanceValue = 60;
  s.Permeability = 5000;
  s.CurrentDensity = 400;
  s.InductanceValue = 978.48f;
  s.InductanceUnit = " uH";
  s.FrequencyText = "9764.3";
  w.inputs.MainInput = "1.5";
  // The output boxes in the window's order: txtPN, OD, ID, HT, AL, FAP, AreaProduct, Inductance,
  // IndLabel, Turns, WireSize, WireLength, DCres, FrequencyOutput, the wound sizes, txtHeader,
  // txtTrise, txtDiffL.
  const char* boxes[] = {"QN-80110-KX", "0.870 in.", "0.540 in.",  "0.250 in.", "3020",
                         "0.37",        "0.364",     "978.48",     "",          "18",
                         "20",          "21.3 in.",  "0.0181 Ohm", "9764 Hz",   "0.969 in.",
                         "0.441 in.",   "0.349 in.", "HB-03",      "6.1",       "3.75"};
  static_assert(std::size(boxes) == std::tuple_size_v<decltype(kOutputBoxFields)>);
  for (std::size_t i = 0; i < kOutputBoxFields.size(); ++i) w.outputs.*kOutputBoxFields[i].text = boxes[i];
  return w;
}

// The whole page is kept as vtq-cli's expected report (tests/cli/expected); here, what
// plain text cannot show: emphasis on the title block and the two headings, nothing else.
TEST(DesignReport, EmphasisOnTheTitleAndHeadingsOnly) {
  const Document doc = DesignReport(Design(1), {2026, 12, 4});
  std::vector<std::size_t> emphasised;
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const auto& runs = doc.lines[i].runs;
    if (std::any_of(runs.begin(), runs.end(), [](const auto& r) { return r.emphasis; }))
      emphasised.push_back(i);
  }
  EXPECT_EQ(emphasised, (std::vector<std::size_t>{0, 2, 10, 28}));
}

// The input lines follow the design mode; the header line is left out only for the
// exact text "None Available".
TEST(DesignReport, ModeLinesAndHeaderLine) {
  const struct {
    Integer mode;
    const char* header;
    std::vector<std::string> lines;  // the report's lines 6 and 7, and the one after the core number
  } cases[] = {
      {3,
       "None Available",
       {At25("   Inductance:", "1.5 mH"), At25("   Permeability:", " 5000 "),
        At25("   Filter Inductance:", " 978.48  uH")}},
      {2,
       "none available",
       {At25("   Cutoff Frequency:", " 10000  Hz"), At25("   Impedance:", " 60  Ohms"),
        At25("   Header Number:", "none available")}},
  };
  for (const auto& c : cases) {
    DesignWindow w = Design(c.mode);
    w.outputs.txtHeader = c.header;
    const auto all = Lines(DesignReport(w, {2026, 12, 4}));
    const auto core = std::find(all.begin(), all.end(), At25("   Core Number:", "QN-80110-KX"));
    ASSERT_GT(all.end() - core, 1);
    EXPECT_EQ((std::vector<std::string>{all[5], all[6], core[1]}), c.lines) << "mode " << c.mode;
  }
}

TEST(DesignReport, NeverCalculatedPrintsZerosAndEmptyBoxes) {
  const auto lines = Lines(DesignReport(DesignWindow{}, {2026, 1, 2}));
  EXPECT_EQ(lines[0], "     Kestralon Common Mode Filter Inductor Design   01-02-2026");
  EXPECT_EQ(lines[4], "   Current:              0  Amps");
  EXPECT_EQ(lines[12], "   Header Number:");  // an empty box is not "None Available"
}

// The whole table is kept as vtq-cli's expected output (tests/cli/expected).
TEST(CoreDataTable, EmphasisOnTheTitleOnly) {
  const Document doc = CoreDataTable();
  EXPECT_TRUE(doc.lines[0].runs[0].emphasis && !doc.lines[2].runs[0].emphasis);
}

}  // namespace
}  // namespace vtq::reports
