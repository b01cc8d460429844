#include "ui/model/controls.h"

#include "engine/catalogue.h"

namespace vtq {
namespace {

constexpr auto kFile = CommandStatus::File;
constexpr auto kPrint = CommandStatus::Print;
constexpr ControlCommand kCommands[] = {
    {"VoltageInput", &WindowModel::VoltageInput_Click},
    {"ImpedanceInput", &WindowModel::ImpedanceInput_Click},
    {"InductanceInput", &WindowModel::InductanceInput_Click},
    {"Dmat", &WindowModel::Dmat_Click},
    {"Pmat", &WindowModel::Pmat_Click},
    {"Nmat", &WindowModel::Nmat_Click},
    {"Smat", &WindowModel::Smat_Click},
    {"Rmat", &WindowModel::Rmat_Click},
    {"English", &WindowModel::English_Click},
    {"Metric", &WindowModel::Metric_Click},
    {"CalculateButton", &WindowModel::CalculateButton_Click},
    {"ExitButton", &WindowModel::ExitButton_Click},
    {"PrintButton", &WindowModel::PrintButton_Click, kPrint},
    {"cmdSelCore", &WindowModel::cmdSelCore_Click},
    {"lstCoresClose", &WindowModel::lstCores_Close},
    {"LoadMnu", &WindowModel::LoadMnu_Click, kFile},
    {"SaveDesignMnu", &WindowModel::SaveDesignMnu_Click, kFile},
    {"ImportMasMnu", &WindowModel::ImportMasMnu_Click, kFile},
    {"ExportMasMnu", &WindowModel::ExportMasMnu_Click, kFile},
    {"ExportSpiceMnu", &WindowModel::ExportSpiceMnu_Click, kFile},
    {"ExportTouchstoneMnu", &WindowModel::ExportTouchstoneMnu_Click, kFile},
    {"DesignMnu", &WindowModel::DesignMnu_Click, kPrint},
    {"TableMnu", &WindowModel::TableMnu_Click, kPrint},
    {"ExportReportMnu", &WindowModel::ExportReportMnu_Click, kPrint},
    {"ExportTableMnu", &WindowModel::ExportTableMnu_Click, kPrint},
    {"ExitMnu", &WindowModel::ExitMnu_Click},
    {"ViewMnu", &WindowModel::ViewMnu_Click},
    {"mnuImpedance", &WindowModel::mnuImpedance_Click},
    {"mnuEmissions", &WindowModel::mnuEmissions_Click},
    {"mnuLibrary", &WindowModel::mnuLibrary_Click},
    {"LibraryUnpick", &WindowModel::LibraryUnpick_Click},
    {"mnuSafety", &WindowModel::mnuSafety_Click},
    {"SafetySave", &WindowModel::SafetySave_Click, kFile},
    {"ImpedanceSave", &WindowModel::ImpedanceSave_Click, kFile},
    {"ImpedanceMaterial", &WindowModel::ImpedanceMaterial_Click, kFile},
    {"ImpedanceMeasured", &WindowModel::ImpedanceMeasured_Click, kFile},
    {"ImpedanceRemoveMeasured", &WindowModel::ImpedanceMeasuredClear_Click},
    {"EmissionsFindCore", &WindowModel::EmissionsFindCore_Click},
    {"EmissionsApplyCore", &WindowModel::EmissionsApplyCore_Click},
    {"EmissionsSave", &WindowModel::EmissionsSave_Click, kFile},
    {"mnuContents", &WindowModel::mnuContents_Click},
    {"mnuIndex", &WindowModel::mnuIndex_Click},
    {"AboutMnu", &WindowModel::AboutMnu_Click},
    {"mnuContact", &WindowModel::mnuContact_Click},
};

}  // namespace

const ControlCommand* FindCommand(std::string_view name) {
  for (const ControlCommand& c : kCommands) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

bool ClickControl(WindowModel& model, std::string_view name) {
  const ControlCommand* c = FindCommand(name);
  if (c) (model.*c->click)();
  return c != nullptr;
}

std::string OutputCaption(const layout::OutputDef& box, const OutputBoxes& outputs) {
  // The one caption that changes: the unit of the inductance follows its size.
  if (box.text == &OutputBoxes::Inductance) return box.qualifier + outputs.IndLabel;
  return box.qualifier + std::string(CaptionOf(box.text).window);
}

std::string ResultsTable(const OutputBoxes& outputs) {
  std::string table;
  for (const layout::OutputDef& box : layout::kOutputs) {
    table += OutputCaption(box, outputs) + '\t' + outputs.*box.text + '\n';
  }
  return table;
}

bool OptionSelected(const InputControls& in, std::string_view name) {
  if (name == "VoltageInput") return in.Mode == DesignModeOption::Voltage;
  if (name == "ImpedanceInput") return in.Mode == DesignModeOption::Impedance;
  if (name == "InductanceInput") return in.Mode == DesignModeOption::Inductance;
  if (name == "English") return in.English;
  if (name == "Metric") return !in.English;
  for (int m = 1; m <= kMaterialCount; ++m) {
    if (Materials[static_cast<std::size_t>(m)].OptionName == name) return in.Material == m;
  }
  return false;
}

}  // namespace vtq
