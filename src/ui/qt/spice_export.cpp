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

std::string ChooseFile(QWidget* parent, std::string_view title, std::string_view filters,
                       const std::string& suggestedName) {
  QFileDialog dialog(parent, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(
      QString::fromUtf8(filters.data(), static_cast<qsizetype>(filters.size())).split(QStringLiteral(";;")));
  // A name typed without a suffix takes the one of the chosen filter: "(*.svg)" -> "svg".
  auto suffixOf = [](const QString& filter) {
    const qsizetype dot = filter.indexOf(QStringLiteral("*."));
    return dot < 0 ? QString() : filter.mid(dot + 2, filter.indexOf(QLatin1Char(')'), dot) - dot - 2);
  };
  dialog.setDefaultSuffix(suffixOf(dialog.nameFilters().first()));
  QObject::connect(&dialog, &QFileDialog::filterSelected,
                   [&](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
  dialog.setDirectory(QDir::home());
  dialog.selectFile(QString::fromStdString(suggestedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

std::optional<std::string> ChooseSpiceFile(QWidget* parent, const std::string& suggestedName) {
  std::string path =
      ChooseFile(parent, kSpiceExportTitle, "SPICE Models (*.lib *.cir *.sub);;All Files (*)", suggestedName);
  if (path.empty()) return std::nullopt;
  return path;
}

}  // namespace vtq::qt
