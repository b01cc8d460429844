#include "ui/qt/file_dialog_qt.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>

#include "ui/qt/main_window.h"

namespace vtq::qt {
namespace {

// A success fades after a while; a failure stays until the next message, so a save that
// did not happen is not mistaken for one that did.
constexpr int kSuccessShownMs = 8000;

void ShowFileStatus(MainWindow& window) {
  const WindowModel& m = window.model();
  if (m.FileStatus.empty()) return;
  window.statusBar()->showMessage(QString::fromStdString(m.FileStatus),
                                  m.LastFileError.empty() ? kSuccessShownMs : 0);
}

}  // namespace

QStringList NameFilters(std::string_view filterList) {
  const QStringList parts =
      QString::fromUtf8(filterList.data(), static_cast<qsizetype>(filterList.size())).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString& description = parts[i];
    filters << (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')'))
                    ? description
                    : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
  }
  return filters;
}

void Configure(QFileDialog& dialog, FileDialogPurpose purpose, const FileDialogSettings& settings) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const bool save = purpose == FileDialogPurpose::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Open takes a typed name as it stands and does not insist that the file exists: a
  // name that cannot be opened is reported by the command itself.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setWindowTitle(save ? QStringLiteral("Save Design") : QStringLiteral("Open Design"));
  const QStringList filters = NameFilters(settings.Filter);
  dialog.setNameFilters(filters);
  if (settings.FilterIndex >= 1 && settings.FilterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[settings.FilterIndex - 1]);
  }
  QString suffix = QString::fromStdString(settings.DefaultExt);
  if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (settings.Flags & kFileDialogOverwritePrompt) == 0);
}

std::optional<std::string> ChooseDesignFile(QWidget* parent, QString& lastFile, FileDialogPurpose purpose,
                                            const FileDialogSettings& settings) {
  QFileDialog dialog(parent);
  Configure(dialog, purpose, settings);
  if (lastFile.isEmpty()) {
    dialog.setDirectory(QDir::home());
  } else {
    dialog.selectFile(lastFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastFile = dialog.selectedFiles().first();
  return QFile::encodeName(lastFile).toStdString();
}

std::optional<std::string> ChoosePdfFile(QWidget* parent, QString& lastFolder,
                                         std::string_view suggestedName) {
  if (lastFolder.isEmpty()) lastFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QFileDialog dialog(parent, QStringLiteral("Export as PDF"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
  // Added before the overwrite question, so the question is about the file really written.
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  dialog.setDirectory(lastFolder);
  dialog.selectFile(QString::fromUtf8(suggestedName.data(), static_cast<qsizetype>(suggestedName.size())));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString path = dialog.selectedFiles().constFirst();
  lastFolder = QFileInfo(path).absolutePath();
  return path.toStdString();
}

std::optional<std::string> ChooseSpiceFile(QWidget* parent, const std::string& suggestedName) {
  QFileDialog dialog(parent, QStringLiteral("Export SPICE Model"));
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

void ConnectDesignFiles(MainWindow& window) {
  window.Connect("LoadMnu", [&window] {
    window.model().LoadMnu_Click();
    ShowFileStatus(window);
  });
  window.Connect("SaveDesignMnu", [&window] {
    window.model().SaveDesignMnu_Click();
    ShowFileStatus(window);
  });
}

void OpenDesignFile(MainWindow& window, const QString& path) {
  window.Run([&window, &path] {
    window.model().OpenDesignFile(QFile::encodeName(path).toStdString());
    ShowFileStatus(window);
  });
}

}  // namespace vtq::qt
