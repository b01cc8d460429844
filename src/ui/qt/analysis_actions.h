// The analysis commands of the design window: View > Core Table (every core side by
// side), View > Impedance Plot and File > Export SPICE Model...
#pragma once

#include <QObject>

#include "ui/qt/spice_export.h"

namespace vtq::qt {

class CompareWindow;
class ImpedanceWindow;
class MainWindow;

class AnalysisActions : public QObject {
 public:
  // Adds the menu entries and connects them; the host tells what goes wrong. Both must
  // outlive this object, which the window owns.
  AnalysisActions(MainWindow& window, WindowHost& host);

  // Null until the menu first asks for them.
  CompareWindow* compareWindow() const { return compare_; }
  ImpedanceWindow* impedanceWindow() const { return impedance_; }
  // Brings the analysis windows made so far in line with the design window.
  void Update();

 private:
  void ScheduleUpdate();

  MainWindow& window_;
  WindowHost& host_;
  CompareWindow* compare_ = nullptr;
  ImpedanceWindow* impedance_ = nullptr;
  bool pending_ = false;
};

// Installs the analysis commands on the window; the host serves their dialogs.
AnalysisActions* InstallAnalysis(MainWindow& window, WindowHost& host);

}  // namespace vtq::qt
