#include "ui/qt/file_dialog_qt.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
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

std::optional<std::string> QtFileDialog::Show(FileDialogPurpose purpose, const FileDialogSettings& settings) {
  QFileDialog dialog(parent_);
  Configure(dialog, purpose, settings);
  if (lastFile_.isEmpty()) {
    dialog.setDirectory(QDir::home());
  } else {
    dialog.selectFile(lastFile_);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastFile_ = dialog.selectedFiles().first();
  return QFile::encodeName(lastFile_).toStdString();
}

void ConnectDesignFiles(MainWindow& window, FileDialog& dialog) {
  window.model().UseFileDialog(&dialog);
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
