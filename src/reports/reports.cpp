#include "reports/reports.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <span>

#include "engine/catalogue.h"

namespace vtq::reports {
namespace {

// Every value of the report starts at this column, whatever the label's length.
constexpr int kValueColumn = 25;

// A value line: label at column 1, the value at the value column, then its suffix.
std::vector<PrintItem> ValueLine(std::string_view label, PrintItem value, std::string_view suffix = {}) {
  std::vector<PrintItem> items{Text(std::string(label)), Tab(kValueColumn), std::move(value)};
  if (!suffix.empty()) items.push_back(Text(std::string(suffix)));
  return items;
}

void Heading(LinePrinter& p, std::string_view text) {
  p.Emphasis(true);
  p.Print({Text(std::string(text))});
  p.Emphasis(false);
}

// The output lines whose value is a box text printed as it stands, with its unit.
constexpr std::array kOutputBoxLinesAfterFrequency{
    &OutputBoxes::AreaProduct, &OutputBoxes::Turns,      &OutputBoxes::WireSize, &OutputBoxes::WireLength,
    &OutputBoxes::DCres,       &OutputBoxes::txtTrise,   &OutputBoxes::txtDiffL, &OutputBoxes::txtWoundOD,
    &OutputBoxes::txtWoundID,  &OutputBoxes::txtWoundHt,
};
constexpr std::array kCoreLines{&OutputBoxes::OD, &OutputBoxes::ID, &OutputBoxes::HT, &OutputBoxes::AL,
                                &OutputBoxes::FAP};

void PrintBoxLines(LinePrinter& p, const OutputBoxes& boxes,
                   std::span<std::string OutputBoxes::*const> lines) {
  for (auto box : lines) {
    const OutputBoxCaption& c = CaptionOf(box);
    p.Print(ValueLine(c.report, Text(boxes.*box), c.reportUnit));
  }
}

// The header box's text when no mounting header fits; the line is then left out.
constexpr std::string_view kNoHeader = "None Available";

// Columns of the core table: where each starts and its two heading lines.
struct TableColumn {
  int column;
  std::string_view heading1, heading2;
};
constexpr std::array<TableColumn, 12> kTableColumns{{
    {1, " Core", "Number"},
    {10, "", "OD"},
    {19, "", "ID"},
    {28, "", "HT"},
    {37, " D AL", "Value"},
    {46, " P AL", "Value"},
    {55, " N AL", "Value"},
    {64, " S AL", "Value"},
    {73, " R AL", "Value"},
    {82, " Path", "Length"},
    {91, "Cross", "Sec."},
    {100, "Area", "Prod."},
}};

std::vector<PrintItem> HeadingLine(std::string_view TableColumn::*heading) {
  std::vector<PrintItem> items;
  for (const TableColumn& c : kTableColumns) {
    const std::string_view text = c.*heading;
    if (text.empty()) continue;
    if (c.column > 1) items.push_back(Tab(c.column));
    items.push_back(Text(std::string(text)));
  }
  return items;
}

}  // namespace

std::string DateText(const ReportDate& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", d.month, d.day, d.year);
  return buf;
}

std::optional<ReportDate> ParseDateText(std::string_view text) {
  if (text.size() != 10 || text[2] != '-' || text[5] != '-') return std::nullopt;
  auto number = [&](std::size_t at, std::size_t length) -> std::optional<int> {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  const auto month = number(0, 2), day = number(3, 2), year = number(6, 4);
  if (!month || !day || !year || *year < 1) return std::nullopt;
  const std::chrono::year_month_day ymd{std::chrono::year{*year},
                                        std::chrono::month{static_cast<unsigned>(*month)},
                                        std::chrono::day{static_cast<unsigned>(*day)}};
  if (!ymd.ok()) return std::nullopt;
  return ReportDate{*year, *month, *day};
}

ReportDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return ReportDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

Document DesignReport(const DesignWindow& window, const ReportDate& date) {
  const DesignState& s = window.state;
  const OutputBoxes& o = window.outputs;
  LinePrinter p{std::string(kDesignReportTitle)};

  p.Emphasis(true);
  p.Print({Text("     Kestralon Common Mode Filter Inductor Design   " + DateText(date))});
  p.BlankLine();
  p.Print({Text("Input Parameters:")});
  p.Emphasis(false);
  p.BlankLine();

  p.Print(ValueLine("   Current:", Number(s.CurrentValue), " Amps"));
  if (s.DesignMode == StoredDesignMode(DesignModeOption::Inductance)) {
    // The inductance as typed in the box, not the number the last calculation read.
    p.Print(ValueLine("   Inductance:", Text(window.inputs.MainInput + " mH")));
  } else {
    p.Print(ValueLine("   Cutoff Frequency:", Number(s.EnteredFrequency), " Hz"));
    if (s.DesignMode == StoredDesignMode(DesignModeOption::Voltage)) {
      p.Print(ValueLine("   Voltage:", Number(s.MainValue), " Volts"));
    } else {
      p.Print(ValueLine("   Impedance:", Number(s.ImpedanceValue), " Ohms"));
    }
  }
  p.Print(ValueLine("   Permeability:", Number(s.Permeability)));
  p.Print(ValueLine("   Current Density:", Number(s.CurrentDensity), " Amps/sq.cm"));
  p.BlankLine();

  Heading(p, "Program Output Parameters:");
  p.BlankLine();
  p.Print(ValueLine(CaptionOf(&OutputBoxes::txtPN).report, Text(o.txtPN)));
  if (o.txtHeader != kNoHeader)
    p.Print(ValueLine(CaptionOf(&OutputBoxes::txtHeader).report, Text(o.txtHeader)));
  // The inductance and the frequency as numbers of the design, not as the boxes show them:
  // the frequency reached, rounded to whole hertz; a text that is no number stays as it is.
  p.Print(ValueLine(CaptionOf(&OutputBoxes::Inductance).report, Number(s.InductanceValue), s.InductanceUnit));
  p.Print(ValueLine(CaptionOf(&OutputBoxes::FrequencyOutput).report,
                    Text(num::FormatText(s.FrequencyText, "#######") + " Hz")));
  PrintBoxLines(p, o, kOutputBoxLinesAfterFrequency);
  p.BlankLine();

  Heading(p, "Selected Core Parameters:");
  p.BlankLine();
  PrintBoxLines(p, o, kCoreLines);
  return p.EndDoc();
}

Document CoreDataTable() {
  LinePrinter p{std::string(kCoreTableTitle)};
  p.Emphasis(true);
  p.Print({Tab(15), Text("Kestralon Common Mode Filter Ferrite Core Data")});
  p.Emphasis(false);
  p.BlankLine();
  p.Print(HeadingLine(&TableColumn::heading1));
  p.Print(HeadingLine(&TableColumn::heading2));
  p.BlankLine();
  for (const CoreEntry& entry : CoreTable) {
    // Field 1 is the catalogue number as text; fields 2 to 12 print as numbers, exactly
    // as stored: inches, AL values (0 = not offered), cm, cm2, cm4. Field 13 is not printed.
    std::vector<PrintItem> items{Text(FieldText(entry, 1))};
    for (int field = 2; field <= 12; ++field) {
      items.push_back(Tab(kTableColumns[static_cast<std::size_t>(field - 1)].column));
      items.push_back(Text(PrintedNumber(FieldText(entry, field))));
    }
    p.Print(items);
    p.BlankLine();
  }
  return p.EndDoc();
}

}  // namespace vtq::reports
