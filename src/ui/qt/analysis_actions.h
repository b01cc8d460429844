// The analysis commands of the design window: View > Core Table (every core side by
// side), View > Impedance Plot and File > Export SPICE Model..., each a window model
// command; and the two windows that show the model's views.
#pragma once

#include <QObject>

#include "ui/model/host.h"

namespace vtq::qt {

class MainWindow;

// Adds the menu entries and connects them to the window's model, and has the views of
// the open analysis windows follow every edit and calculation. Owned by the window.
class AnalysisActions : public QObject {
 public:
  explicit AnalysisActions(MainWindow& window);

 private:
  void ScheduleUpdate();

  MainWindow& window_;
  bool pending_ = false;
};

AnalysisActions* InstallAnalysis(MainWindow& window);

// A host's part of the analysis commands: shows a view in the window's analysis window of
// that kind, made when first asked for, in front when `raise`; without `raise` only an
// open window is brought up to date. The windows' own commands (a core applied, Save
// Plot...) run as model handlers through the window.
void ShowCoreTable(MainWindow* window, const CoreTableView& view, bool raise);
void ShowImpedance(MainWindow* window, const ImpedanceView& view, bool raise);
void ShowEmissions(MainWindow* window, const EmissionsView& view, const CoreSearchView& search, bool raise);
void ShowLibrary(MainWindow* window, const LibraryWindowView& view, bool raise);
void ShowSafety(MainWindow* window, const SafetyWindowView& view, bool raise);

}  // namespace vtq::qt
