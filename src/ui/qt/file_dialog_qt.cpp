#include "ui/qt/file_dialog_qt.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

#include "ui/qt/main_window.h"

namespace vtq::qt {

void ShowFileStatus(MainWindow& window) {
  // A success fades after a while; a failure stays until the next message, so a save that
  // did not happen is not mistaken for one that did.
  constexpr int kSuccessShownMs = 8000;
  const WindowModel& m = window.model();
  if (m.FileStatus.empty()) return;
  window.statusBar()->showMessage(QString::fromStdString(m.FileStatus),
                                  m.LastFileError.empty() ? kSuccessShownMs : 0);
}

void Configure(QFileDialog& dialog, FileDialogPurpose purpose, const FileDialogSettings& settings) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const bool save = purpose == FileDialogPurpose::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Open takes a typed name as it stands and does not insist that the file exists: a
  // name that cannot be opened is reported by the command itself.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setWindowTitle(save ? QStringLiteral("Save Design") : QStringLiteral("Open Design"));
  // The design files come first, and every file is "*": on Linux "*.*" would hide the
  // names without a dot. The settings' filter 1 is every file, 2 the design files.
  const QStringList filters = {QStringLiteral("VTQ designs (*.vtq)"), QStringLiteral("All files (*)")};
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters[settings.FilterIndex == 1 ? 1 : 0]);
  QString suffix = QString::fromStdString(settings.DefaultExt);
  if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (settings.Flags & kFileDialogOverwritePrompt) == 0);
}

std::optional<std::string> ChooseDesignFile(QWidget* parent, QString& lastFile, const QString& startFolder,
                                            FileDialogPurpose purpose, const FileDialogSettings& settings) {
  QFileDialog dialog(parent);
  Configure(dialog, purpose, settings);
  if (lastFile.isEmpty()) {
    dialog.setDirectory(startFolder.isEmpty() || !QDir(startFolder).exists() ? QDir::home()
                                                                             : QDir(startFolder));
  } else {
    dialog.selectFile(lastFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastFile = dialog.selectedFiles().first();
  return QFile::encodeName(lastFile).toStdString();
}

std::optional<std::string> ChoosePdfFile(QWidget* parent, QString& lastFolder,
                                         std::string_view suggestedName) {
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

std::optional<std::string> ChooseExportFile(QWidget* parent, QString& folder, const QString& title,
                                            const QStringList& filters, const QString& suffix,
                                            const std::string& suggestedName) {
  QFileDialog dialog(parent, title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(suffix);
  dialog.setDirectory(folder);
  dialog.selectFile(QString::fromStdString(suggestedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  folder = QFileInfo(dialog.selectedFiles().first()).absolutePath();
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

void ConnectDesignFiles(MainWindow& window) {
  for (const char* name : {"LoadMnu", "SaveDesignMnu", "ExportMasMnu"}) window.ConnectCommand(name);
  QMenu* file = window.Menu("FileMnu");
  QMenu* recent = window.Menu("mnuRecent");
  if (!file || !recent) return;

  // The files last opened or saved; listed afresh each time the File menu opens, as
  // another command or a run of the program may have changed them.
  QObject::connect(file, &QMenu::aboutToShow, recent, [&window, recent] {
    recent->clear();
    const std::vector<std::string> paths = window.model().RecentDesigns();
    for (std::size_t i = 0; i < paths.size(); ++i) {
      QString name = QFile::decodeName(QByteArray::fromStdString(paths[i]));
      name.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a literal ampersand, not a mnemonic
      QAction* open = recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
      QObject::connect(open, &QAction::triggered, &window, [&window, i] {
        window.Run([&window, i] { window.model().OpenRecentDesign(i); });
        ShowFileStatus(window);
      });
    }
    recent->menuAction()->setEnabled(!paths.empty());
  });
}

void OpenDesignFile(MainWindow& window, const QString& path) {
  window.Run([&window, &path] {
    window.model().OpenDesignFile(QFile::encodeName(path).toStdString());
    ShowFileStatus(window);
  });
}

}  // namespace vtq::qt
