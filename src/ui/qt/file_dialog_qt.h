// The design window's file dialog on the desktop, and the File menu's Open and Save
// wired to the window with their outcome in the status bar.
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

#include "ui/model/file_dialog.h"

class QFileDialog;
class QWidget;

namespace vtq::qt {

class MainWindow;

// Qt's filters from a list of description and pattern pairs joined by vertical bars:
// "All Files (*.*)|*.*" gives "All Files (*.*)". A description that does not already end
// in its patterns gets them added in parentheses.
QStringList NameFilters(std::string_view filterList);

// Sets a dialog up as the settings ask: filters and the selected one, the default
// suffix, and the question before replacing a file (option bit 2). Qt's own dialog, so
// the suffix is added before the replace question is asked, as the user expects.
void Configure(QFileDialog& dialog, FileDialogPurpose purpose, const FileDialogSettings& settings);

class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> Show(FileDialogPurpose purpose, const FileDialogSettings& settings) override;

 private:
  QWidget* parent_;
  QString lastFile_;  // the dialog opens where the last file was chosen, with its name
};

// Gives the dialog to the window's model and connects LoadMnu and SaveDesignMnu.
void ConnectDesignFiles(MainWindow& window, FileDialog& dialog);

// Opens a file named on the program's command line, as Open does after its dialog.
void OpenDesignFile(MainWindow& window, const QString& path);

}  // namespace vtq::qt
