#include "ui/qt/spice_export.h"

#include "analysis/spice.h"
#include "files/file_io.h"

namespace vtq::qt {

std::string ExportSpiceModel(const DesignWindow& window, WindowHost& host) {
  const analysis::SpiceModel model = analysis::SpiceSubcircuit(window);
  if (!model.problem.empty()) {
    host.MsgBox("There is no winding to export.\r" + model.problem, kSpiceExportTitle);
    return {};
  }
  FileDialogSettings dialog;
  dialog.FileName = model.name + ".lib";
  const std::optional<std::string> path = host.ChooseFile(FileDialogPurpose::ExportSpice, dialog);
  if (!path) return {};
  files::FileReplacement file;
  if (!file.Create(*path) || !file.Write(model.text) || !file.Commit()) {
    host.MsgBox("Could not write " + *path + ":\r" + file.error() + ".", kSpiceExportTitle);
    return {};
  }
  return "SPICE model of " + window.outputs.txtPN + " written to " + *path;
}

}  // namespace vtq::qt
