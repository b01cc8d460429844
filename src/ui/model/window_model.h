// The design window without its widgets: every control's state that the handlers read
// or change, and the handlers themselves. The Qt window and the command line both
// drive this model, so they compute through the same code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"
#include "engine/dialogs.h"

namespace vtq {

// What the window asks of its surroundings beyond the calculation's dialogs.
class WindowHost : public UserDialogs {
 public:
  // Centre the window on the screen and show it.
  virtual void ShowWindow() = 0;
  virtual void Beep() = 0;
};

struct ModeCaption {
  std::string_view caption, tooltip, defaultText;
};
const ModeCaption& CaptionOfMode(DesignModeOption mode);

class WindowModel {
 public:
  explicit WindowModel(WindowHost& host) : host_(host) {}

  DesignWindow window;  // design state, input boxes and option groups, output boxes
  std::string lblMainInputCaption = "Inductance (mH)";
  std::string lblMainInputToolTip = "Desired inductance of each winding on core";
  bool SecondInputEnabled = false;
  bool lstCoresVisible = false;
  std::vector<std::string> lstCores;
  std::string HelpFile;

  // Start-up: show, beep, disclaimer, help path, first automatic design.
  void Form_Load(std::string_view programFolder);
  void CalculateButton_Click();

  // A click on an option button: selects it, then runs its handler.
  void InductanceInput_Click();
  void ImpedanceInput_Click();
  void VoltageInput_Click();
  void Dmat_Click() { MaterialClick(1); }
  void Pmat_Click() { MaterialClick(2); }
  void Nmat_Click() { MaterialClick(3); }
  void Smat_Click() { MaterialClick(4); }
  void Rmat_Click() { MaterialClick(5); }
  void English_Click();
  void Metric_Click();
  void SelectMode(DesignModeOption mode);
  void SelectMaterial(int materialIndex) { MaterialClick(materialIndex); }

  // The core list: built from the material, a pick (index from 0) evaluates that core.
  void cmdSelCore_Click();
  void lstCores_Click(int index);

  DesignState& state() { return window.state; }
  InputControls& inputs() { return window.inputs; }
  OutputBoxes& outputs() { return window.outputs; }

 private:
  void ModeClick(DesignModeOption mode);
  void MaterialClick(int materialIndex);

  WindowHost& host_;
};

// The disclaimer shown at start-up, its lines joined by a carriage return.
std::string DisclaimerText();
inline constexpr std::string_view kDisclaimerTitle = "***  KESTRALON Disclaimer  ***";

}  // namespace vtq
