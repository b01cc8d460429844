// The two printouts of the design window: the one-page report of the current design and
// the table of the whole core catalogue, built as line-printer documents.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "reports/page.h"

namespace vtq::reports {

struct ReportDate {
  int year = 1970, month = 1, day = 1;
};

// "MM-DD-YYYY", always ten characters: 12-04-2026 for 4 December 2026.
std::string DateText(const ReportDate& date);
// Reads "MM-DD-YYYY" (a real calendar date, year 1 to 9999); nothing for any other text.
std::optional<ReportDate> ParseDateText(std::string_view text);
// The date of the local calendar now.
ReportDate Today();

// The report of the design as the window holds it: the inputs from the design state
// (and the MainInput text), the outputs and the core data from the output boxes as they
// stand. Nothing is recalculated.
Document DesignReport(const DesignWindow& window, const ReportDate& date);

// Every catalogue entry with fields 1 to 12 as stored, double-spaced; the same table
// whatever the design.
Document CoreDataTable();

inline constexpr std::string_view kDesignReportTitle = "VTQ Design Report";
inline constexpr std::string_view kCoreTableTitle = "VTQ Table of Cores";

}  // namespace vtq::reports
