#include "ui/model/window_model.h"

#include "engine/catalogue.h"

namespace vtq {

std::string WindowModel::DesignNote() const {
  std::string note;
  for (const std::string& warning : DesignWarnings(window)) note += (note.empty() ? "" : "  ") + warning;
  return note;
}
namespace {

constexpr ModeCaption kModeCaptions[] = {
    {"Voltage (Vrms)", "Line Input Voltage", "117"},
    {"Impendance (Ohms)", "Desired impedance of inductor at the specified Cut-Off frequency", "50"},
    {"Inductance (mH)", "Desired inductance of each winding on core", "1"},
};

}  // namespace

const ModeCaption& CaptionOfMode(DesignModeOption mode) {
  return kModeCaptions[static_cast<int>(mode)];
}

std::string DisclaimerText() {
  std::string text =
      "The design  generated  by  this software is  believed\r"
      "to  be  accurate.   However,   KESTRALON  will  not  be\r"
      "held  liable  for  any  errors in  judgement  made  by\r"
      "the operator or for the design achieved.  The design\r"
      "parameters, core size calculations, wire calculations\r"
      "and all other information are a function of the circuity\r"
      "under  consideration.  Any  further  design  questions\r"
      "should be directed to:\r"
      "\r"
      "   The KESTRALON Application Engineering Group at\r";
  text += std::string(31, ' ');
  text += kMakerPhone;
  text += '\r';
  text += std::string(25, ' ');
  text += kMakerEmail;
  return text;
}

void WindowModel::Form_Load(std::string_view programFolder) {
  host_.ShowWindow();
  // The catalogue is compiled-in data: there is nothing to fill at start-up.
  host_.Beep();
  host_.MsgBox(DisclaimerText(), kDisclaimerTitle);
  // The help document's contents page beside the program; not looked for until asked.
  HelpFile = std::string(programFolder) + "/help/contents.html";
  CalculateButton_Click();
}

void WindowModel::CalculateButton_Click() {
  CalculateDesign(window, host_);
}

void WindowModel::SelectMode(DesignModeOption mode) {
  ModeClick(mode);
}
void WindowModel::InductanceInput_Click() {
  ModeClick(DesignModeOption::Inductance);
}
void WindowModel::ImpedanceInput_Click() {
  ModeClick(DesignModeOption::Impedance);
}
void WindowModel::VoltageInput_Click() {
  ModeClick(DesignModeOption::Voltage);
}

void WindowModel::ModeClick(DesignModeOption mode) {
  DesignState& s = window.state;
  InputControls& in = window.inputs;
  in.Mode = mode;
  const ModeCaption& c = CaptionOfMode(mode);
  lblMainInputCaption = c.caption;
  lblMainInputToolTip = c.tooltip;
  if (s.Loading == 0) in.MainInput = c.defaultText;
  const bool inductance = mode == DesignModeOption::Inductance;
  SecondInputEnabled = !inductance;
  if (!inductance && s.Loading == 0) in.SecondInput = "10000";
  s.DesignMode = StoredDesignMode(mode);
  if (s.Loading == 0) CalculateButton_Click();
}

void WindowModel::MaterialClick(int materialIndex) {
  DesignState& s = window.state;
  window.inputs.Material = static_cast<Integer>(materialIndex);
  s.MaterialIndex = static_cast<Integer>(materialIndex);
  if (s.Loading == 0 && !lstCoresVisible) CalculateButton_Click();
  s.MaterialLetter = std::string(1, Materials[static_cast<std::size_t>(materialIndex)].Letter);
  if (lstCoresVisible) cmdSelCore_Click();
}

void WindowModel::Metric_Click() {
  window.inputs.English = false;
  window.state.UnitFactor = 25.4f;
  if (window.state.Loading == 0) CalculateButton_Click();
}

void WindowModel::English_Click() {
  window.inputs.English = true;
  if (window.state.Loading == 0) CalculateButton_Click();
  window.state.UnitFactor = 1.0f;
}

void WindowModel::cmdSelCore_Click() {
  lstCores.clear();
  for (int row : OfferedRows(window.state.MaterialIndex)) {
    lstCores.push_back(CoreListEntry(row, window.state.MaterialLetter));
  }
  lstCoresVisible = true;
}

void WindowModel::lstCores_Click(int index) {
  PickCore(static_cast<Integer>(index + 1));
  lstCoresVisible = false;
}

void WindowModel::PickCore(Integer row) {
  window.state.ListCore = row;
  EvaluateCore(window.state.ListCore, window, host_);
}

void WindowModel::ApplyDesign(const DesignEntry& e, int parts) {
  // Loading stays up through the calculation too, whichever way it ends (an exception
  // included: the command line's host refuses input prompts by throwing).
  struct LoadingFlag {
    explicit LoadingFlag(Integer& flag) : flag_(flag), before_(flag) { flag_ = 1; }
    ~LoadingFlag() { flag_ = before_; }
    LoadingFlag(const LoadingFlag&) = delete;
    LoadingFlag& operator=(const LoadingFlag&) = delete;
    Integer& flag_;
    Integer before_;
  } loading(window.state.Loading);
  InputControls& in = window.inputs;
  if (parts >= 1) ModeClick(e.mode);
  if (parts >= 2) in.txtCD = e.density;
  if (parts >= 3) MaterialClick(e.material);
  if (parts >= 4) in.MainInput = e.main;
  if (parts >= 5) in.Current = e.current;
  if (parts >= 6) in.SecondInput = e.frequency;
  if (parts >= 7) e.english ? English_Click() : Metric_Click();
  if (parts < kDesignEntryParts) return;
  if (e.core) {
    PickCore(*e.core);
  } else {
    CalculateButton_Click();
  }
}

}  // namespace vtq
