// A design and an emission case carried in a link: what the window shows survives the trip
// through the link's fields; a word the window does not offer is named and left out; and
// the plot's pixel frame makes room for a legend that needs a second row.
#include <gtest/gtest.h>

#include "support/scripted_host.h"
#include "ui/model/design_link.h"
#include "ui/model/plot_style.h"
#include "ui/model/window_model.h"

namespace vtq {
namespace {

using test::ScriptedHost;

TEST(DesignLink, AWindowOpenedFromItsLinkShowsTheSameDesign) {
  const struct {
    DesignEntry entry;
    bool emissions;
  } cases[] = {
      {{DesignModeOption::Inductance, "1", "2", "10000", "400", 3, true, std::nullopt}, false},
      {{DesignModeOption::Voltage, "230", "5", "10000", "400", 2, false, 9}, true},
      {{DesignModeOption::Impedance, "50", "3", "25000", "300", 4, true, std::nullopt}, true},
  };
  for (const auto& c : cases) {
    ScriptedHost host, otherHost;
    WindowModel shown(host), opened(otherHost);
    shown.ApplyDesign(c.entry);
    shown.emissionsEntry.swing = "400";
    shown.emissionsEntry.standard = "fcc15-a";
    const LinkFields fields = DesignLinkOf(shown, c.emissions);
    EXPECT_EQ(OpenDesignLink(opened, fields), "");
    EXPECT_EQ(opened.outputs(), shown.outputs()) << fields[0].second << " " << fields[1].second;
    EXPECT_EQ(DesignLinkOf(opened, c.emissions), fields);
    EXPECT_EQ(opened.emissionsEntry.swing, c.emissions ? "400" : ExampleEmissions().swing);
    // The emission case's view opens with it, computed for the link's entries.
    EXPECT_EQ(opened.emissions.standardName, c.emissions ? "FCC Part 15 class A" : "");
  }
}

TEST(DesignLink, AWordTheWindowDoesNotOfferIsNamedAndLeftOut) {
  ScriptedHost host;
  WindowModel model(host);
  const LinkFields fields = {{"date", "02-29-2024"}, {"mode", "current"}, {"main", "2"},
                             {"material", "Q"},      {"units", "cm"},     {"core", "25"},
                             {"lisn", "60ohm"},      {"fsw", "100k"}};
  EXPECT_EQ(OpenDesignLink(model, fields),
            "The link's mode 'current', material 'Q', units 'cm', core '25', lisn '60ohm' left out: "
            "not one the window offers");
  EXPECT_EQ(model.inputs().MainInput, "2");
  EXPECT_EQ(model.inputs().Mode, DesignModeOption::Inductance);
  EXPECT_EQ(model.emissionsEntry.frequency, "100k");
  EXPECT_EQ(model.emissionsEntry.network, "cispr16");
}

TEST(PlotFrame, ALegendTooWideForOneRowTakesASecondAndTheAreaStartsBelowIt) {
  const PlotTextSizes oneRow{13, 10, 40, 30, {50, 60}};
  PlotTextSizes twoRows = oneRow;
  twoRows.legendNames = {250, 250, 100};
  const PlotFrame a = PlotFrameOf(640, 420, oneRow), b = PlotFrameOf(640, 420, twoRows);
  EXPECT_DOUBLE_EQ(a.top, 2 * 13 + 14);
  EXPECT_DOUBLE_EQ(a.legend[1].x, 4 + kLegendText + 50 + kLegendGap);
  // 4 + 272 + 12 + 272 + 12 = 572: the third entry's 122 px would end past 640 - 4.
  EXPECT_DOUBLE_EQ(b.legend[2].x, 4);
  EXPECT_DOUBLE_EQ(b.legend[2].y, a.legend[0].y + 13);
  EXPECT_DOUBLE_EQ(b.top, a.top + 13);
  EXPECT_DOUBLE_EQ(b.bottom, a.bottom);
  EXPECT_DOUBLE_EQ(a.left, 54);
  EXPECT_DOUBLE_EQ(a.right, 640 - 15 - 10);
}

}  // namespace
}  // namespace vtq
