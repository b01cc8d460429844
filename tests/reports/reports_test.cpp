#include "reports/reports.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/catalogue.h"

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

std::vector<std::string> Slice(const std::vector<std::string>& lines, std::size_t from, std::size_t count) {
  return {lines.begin() + static_cast<std::ptrdiff_t>(from),
          lines.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

TEST(PrintedNumber, BlankBeforeAndAfterNoZeroBeforeThePoint) {
  const std::pair<PrintItem, std::string> cases[] = {
      {Number(Single{2}), " 2 "},
      {Number(Single{0.5f}), " .5 "},
      {Number(Single{-0.5f}), "-.5 "},
      {Number(Single{0}), " 0 "},
      {Number(Single{978.48f}), " 978.48 "},
      {Number(Single{1.0f / 3.0f}), " .3333333 "},
      {Number(Single{1e10f}), " 1E+10 "},
      {Number(Integer{-32768}), "-32768 "},
      {Number(Integer{5000}), " 5000 "},
      {Number(0.012), " .012 "},
      {Number(1.0), " 1 "},
  };
  for (const auto& [item, printed] : cases) EXPECT_EQ(item.text, printed);
}

TEST(LinePrinter, TabsMoveToTheColumnOrToItOnTheNextLine) {
  LinePrinter p{"t"};
  p.Print({Text(std::string(24, 'x')), Tab(25), Text("v")});  // at column 25 already: no wrap
  p.Print({Text(std::string(25, 'x')), Tab(25), Text("v")});  // one past: wraps
  p.Print({Tab(10), Text("a"), Tab(5), Text("b")});           // back to an earlier column wraps too
  p.Emphasis(true);
  p.Print({Text("bold"), Tab(8), Text("on")});
  p.Emphasis(false);
  p.BlankLine();
  const Document doc = p.EndDoc();
  EXPECT_EQ(Lines(doc), (std::vector<std::string>{std::string(24, 'x') + "v", std::string(25, 'x'),
                                                  std::string(24, ' ') + "v", std::string(9, ' ') + "a",
                                                  "    b", "bold   on", ""}));
  EXPECT_FALSE(doc.lines[1].keepWithPrevious);
  EXPECT_TRUE(doc.lines[2].keepWithPrevious);
  EXPECT_TRUE(doc.lines[4].keepWithPrevious);
  ASSERT_EQ(doc.lines[5].runs.size(), 2u);
  EXPECT_TRUE(doc.lines[5].runs[0].emphasis && doc.lines[5].runs[1].emphasis);
  EXPECT_FALSE(doc.lines[3].runs[0].emphasis);
}

TEST(LinePrinter, CountsCharactersNotBytes) {
  LinePrinter p{"t"};
  p.Print({Text("1.5\xC2\xB5"), Tab(6), Text("x")});  // micro sign: two bytes, one cell
  EXPECT_EQ(Lines(p.EndDoc()), std::vector<std::string>{"1.5\xC2\xB5 x"});
}

struct PageCase {
  std::vector<bool> keep;  // keepWithPrevious of each line
  int perPage;
  std::vector<std::size_t> starts;
};

TEST(PageStarts, FullPagesContinueWithoutTearingAWrappedValue) {
  const PageCase cases[] = {
      {{false, false, false}, 3, {0}},
      {{false, false, false, false}, 3, {0, 3}},
      {{false, false, false, true}, 3, {0, 2}},         // label and wrapped value move together
      {{false, true, true, true, true}, 2, {0, 2, 4}},  // longer than a page: broken where full
      {{false, false, true, false, false, false}, 2, {0, 1, 3, 5}},
      {{}, 5, {0}},
  };
  for (const PageCase& c : cases) {
    Document doc;
    for (bool keep : c.keep) doc.lines.push_back(Line{{}, keep});
    EXPECT_EQ(PageStarts(doc, c.perPage), c.starts)
        << c.keep.size() << " lines, " << c.perPage << " per page";
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
  OutputBoxes& o = w.outputs;
  o.txtPN = "QN-80110-KX";
  o.txtHeader = "HB-03";
  o.AreaProduct = "0.364";
  o.Turns = "18";
  o.WireSize = "20";
  o.WireLength = "21.3 in.";
  o.DCres = "0.0181 Ohm";
  o.txtTrise = "6.1";
  o.txtDiffL = "3.75";
  o.txtWoundOD = "0.969 in.";
  o.txtWoundID = "0.441 in.";
  o.txtWoundHt = "0.349 in.";
  o.OD = "0.870 in.";
  o.ID = "0.540 in.";
  o.HT = "0.250 in.";
  o.AL = "3020";
  o.FAP = "0.37";
  return w;
}

TEST(DesignReport, WholeReportInVoltageMode) {
  const std::vector<std::string> expected{
      "     Kestralon Common Mode Filter Inductor Design   12-04-2026",
      "",
      "Input Parameters:",
      "",
      "   Current:              2  Amps",  // two blanks between the number and the word
      At25("   Cutoff Frequency:", " 10000  Hz"),
      At25("   Voltage:", " 120  Volts"),
      At25("   Permeability:", " 5000 "),
      At25("   Current Density:", " 400  Amps/sq.cm"),
      "",
      "Program Output Parameters:",
      "",
      At25("   Core Number:", "QN-80110-KX"),
      At25("   Header Number:", "HB-03"),
      At25("   Filter Inductance:", " 978.48  uH"),
      At25("   Cutoff Frequency:", "9764 Hz"),
      At25("   Req'd Area Product:", "0.364 cm4"),
      At25("   Turns per Side:", "18"),
      At25("   Wire Size (AWG):", "20"),
      At25("   Wire Length:", "21.3 in."),
      At25("   DC Resistance:", "0.0181 Ohm"),
      At25("   Temperature Rise:", "6.1 degrees C"),
      "   Est. Differential Ind.:",  // 26 characters: the value goes to column 25 below
      At25("", "3.75 uH"),
      At25("   Wound OD:", "0.969 in."),
      At25("   Wound ID:", "0.441 in."),
      At25("   Wound Ht:", "0.349 in."),
      "",
      "Selected Core Parameters:",
      "",
      At25("   Outside Diameter:", "0.870 in."),
      At25("   Inside Diameter:", "0.540 in."),
      At25("   Core Height:", "0.250 in."),
      At25("   AL Value of Core:", "3020 mh/1000 turns"),
      At25("   Core Area Product:", "0.37 cm4"),
  };
  const Document doc = DesignReport(Design(1), {2026, 12, 4});
  EXPECT_EQ(Lines(doc), expected);
  // Emphasis: the title block and the two headings, nothing else.
  std::vector<std::size_t> emphasised;
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    for (const reports::Run& r : doc.lines[i].runs) {
      if (r.emphasis) emphasised.push_back(i);
    }
  }
  EXPECT_EQ(emphasised, (std::vector<std::size_t>{0, 2, 10, 28}));
}

TEST(DesignReport, InputsSectionFollowsTheDesignMode) {
  struct Case {
    Integer mode;
    std::vector<std::string> inputs;
  };
  const Case cases[] = {
      {3,
       {"   Current:              2  Amps", At25("   Inductance:", "1.5 mH"),
        At25("   Permeability:", " 5000 "), At25("   Current Density:", " 400  Amps/sq.cm")}},
      {1,
       {"   Current:              2  Amps", At25("   Cutoff Frequency:", " 10000  Hz"),
        At25("   Voltage:", " 120  Volts"), At25("   Permeability:", " 5000 "),
        At25("   Current Density:", " 400  Amps/sq.cm")}},
      {2,
       {"   Current:              2  Amps", At25("   Cutoff Frequency:", " 10000  Hz"),
        At25("   Impedance:", " 60  Ohms"), At25("   Permeability:", " 5000 "),
        At25("   Current Density:", " 400  Amps/sq.cm")}},
  };
  for (const Case& c : cases) {
    const auto lines = Lines(DesignReport(Design(c.mode), {2026, 12, 4}));
    EXPECT_EQ(Slice(lines, 4, c.inputs.size()), c.inputs) << "mode " << c.mode;
    EXPECT_EQ(lines[4 + c.inputs.size()], "") << "mode " << c.mode;
  }
}

TEST(DesignReport, HeaderLineLeftOutOnlyForNoneAvailable) {
  const std::pair<std::string, bool> cases[] = {
      {"None Available", false}, {"N/A", true}, {"none available", true},
      {"None Available ", true}, {"", true},
  };
  for (const auto& [header, printed] : cases) {
    DesignWindow w = Design(3);
    w.outputs.txtHeader = header;
    const auto lines = Lines(DesignReport(w, {2026, 12, 4}));
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [](const std::string& l) { return l.starts_with("   Header Number:"); });
    ASSERT_EQ(line != lines.end(), printed) << "'" << header << "'";
    if (printed) {
      EXPECT_EQ(*line, header.empty() ? "   Header Number:" : At25("   Header Number:", header));
    }
    EXPECT_EQ(lines.size(), printed ? 34u : 33u) << "'" << header << "'";
  }
}

TEST(DesignReport, TooLargeDesignShowsItsBoxesAsTheyStand) {
  DesignWindow w = Design(3);
  w.outputs.txtPN = "Too Large";
  w.outputs.txtHeader = "N/A";
  w.state.FrequencyText = "N/A";  // a text that reads as no number is printed unchanged
  const auto lines = Lines(DesignReport(w, {2026, 12, 4}));
  EXPECT_EQ(Slice(lines, 11, 4),
            (std::vector<std::string>{At25("   Core Number:", "Too Large"), At25("   Header Number:", "N/A"),
                                      At25("   Filter Inductance:", " 978.48  uH"),
                                      At25("   Cutoff Frequency:", "N/A Hz")}));
}

TEST(DesignReport, NeverCalculatedPrintsZerosAndEmptyBoxes) {
  const auto lines = Lines(DesignReport(DesignWindow{}, {2026, 1, 2}));
  EXPECT_EQ(lines[0], "     Kestralon Common Mode Filter Inductor Design   01-02-2026");
  EXPECT_EQ(Slice(lines, 4, 4),
            (std::vector<std::string>{"   Current:              0  Amps", At25("   Inductance:", "1 mH"),
                                      At25("   Permeability:", " 0 "),
                                      At25("   Current Density:", " 0  Amps/sq.cm")}));
  EXPECT_EQ(Slice(lines, 11, 5),
            (std::vector<std::string>{
                "   Core Number:", "   Header Number:", At25("   Filter Inductance:", " 0 "),
                At25("   Cutoff Frequency:", " Hz"), At25("   Req'd Area Product:", " cm4")}));
}

TEST(ReportDate, TenCharactersMonthDayYear) {
  EXPECT_EQ(DateText({2026, 12, 4}), "12-04-2026");
  EXPECT_EQ(DateText({987, 1, 31}), "01-31-0987");
  const std::pair<const char*, bool> cases[] = {
      {"12-04-2026", true},  {"02-29-2024", true}, {"02-29-2026", false}, {"13-01-2026", false},
      {"00-10-2026", false}, {"12-4-2026", false}, {"12/04/2026", false}, {"12-04-26", false},
      {"1x-04-2026", false}, {"", false},          {"12-04-0000", false},
  };
  for (const auto& [text, valid] : cases) {
    const auto parsed = ParseDateText(text);
    EXPECT_EQ(parsed.has_value(), valid) << text;
    if (parsed) {
      EXPECT_EQ(DateText(*parsed), text);
    }
  }
}

// Cell at a 1-based column of a line: the text from there to the next blank after it.
std::string At(const std::string& line, int column, std::size_t length) {
  return line.substr(static_cast<std::size_t>(column - 1), length);
}

TEST(CoreDataTable, TitleHeadingsAndDoubleSpacedRows) {
  const Document doc = CoreDataTable();
  const auto lines = Lines(doc);
  ASSERT_EQ(lines.size(), 5u + 2u * kCoreCount);
  EXPECT_EQ(lines[0], std::string(14, ' ') + "Kestralon Common Mode Filter Ferrite Core Data");
  EXPECT_TRUE(doc.lines[0].runs[0].emphasis);
  EXPECT_FALSE(doc.lines[2].runs[0].emphasis);
  EXPECT_EQ(lines[2],
            " Core                                D AL     P AL     N AL     S AL     R AL     Path    Cross "
            "   Area");
  EXPECT_EQ(lines[3],
            "Number   OD       ID       HT       Value    Value    Value    Value    Value    Length   Sec.  "
            "   Prod.");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[4], "");
  for (int entry = 1; entry <= kCoreCount; ++entry) {
    const std::string& row = lines[static_cast<std::size_t>(3 + 2 * entry)];
    EXPECT_EQ(row.substr(0, 5), CoreAt(entry).CoreNumber) << entry;
    EXPECT_EQ(lines[static_cast<std::size_t>(4 + 2 * entry)], "") << entry;
    const bool offeredInDandR = entry <= 15;
    EXPECT_EQ(At(row, 37, 3) == " 0 ", !offeredInDandR) << entry;
    EXPECT_EQ(At(row, 73, 3) == " 0 ", !offeredInDandR) << entry;
  }
  EXPECT_EQ(lines[5],
            "80101     .375     .187     .125     657      1314     2196     4392     6590     2.07     "
            ".07      .012 ");
  EXPECT_EQ(At(lines[5 + 2 * 11], 10, 3), " 1 ");  // entry 12: the whole number 1, no point
  EXPECT_EQ(lines[5 + 2 * 23],
            "80124     3.375    2.187    .5       0        3310     5520     11040    0        "
            "21.5     1.87     45.2 ");
}

}  // namespace
}  // namespace vtq::reports
