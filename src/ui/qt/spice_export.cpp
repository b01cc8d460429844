#include "ui/qt/spice_export.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

#include "analysis/spice.h"
#include "files/file_io.h"

namespace vtq::qt {

std::string ExportSpiceModel(const DesignWindow& window, UserDialogs& dialogs,
                             const SavePathChooser& choose) {
  const analysis::SpiceModel model = analysis::SpiceSubcircuit(window);
  if (!model.problem.empty()) {
    dialogs.MsgBox("There is no winding to export.\r" + model.problem, kSpiceExportTitle);
    return {};
  }
  const std::optional<std::string> path = choose(model.name + ".lib");
  if (!path) return {};
  files::FileReplacement file;
  if (!file.Create(*path) || !file.Write(model.text) || !file.Commit()) {
    dialogs.MsgBox("Could not write " + *path + ":\r" + file.error() + ".", kSpiceExportTitle);
    return {};
  }
  return "SPICE model of " + window.outputs.txtPN + " written to " + *path;
}

std::optional<std::string> ChooseSpiceFile(QWidget* parent, const std::string& suggestedName) {
  QFileDialog dialog(parent, QString::fromUtf8(kSpiceExportTitle.data(), kSpiceExportTitle.size()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(
      {QStringLiteral("SPICE Models (*.lib *.cir *.sub)"), QStringLiteral("All Files (*)")});
  dialog.setDefaultSuffix(QStringLiteral("lib"));
  dialog.setDirectory(QDir::home());
  dialog.selectFile(QString::fromStdString(suggestedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace vtq::qt
