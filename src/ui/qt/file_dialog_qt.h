// The design window's file dialogs on the desktop, and the File menu's Open and Save
// wired to the window with their outcome in the status bar.
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

#include "ui/model/host.h"

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

// The dialog of Open and Save, modal to the parent. It opens where the last design file
// was chosen, with its name (lastFile, updated on a choice), or in the home folder.
std::optional<std::string> ChooseDesignFile(QWidget* parent, QString& lastFile, FileDialogPurpose purpose,
                                            const FileDialogSettings& settings);

// The save dialog of the PDF exports, starting at the suggested name in lastFolder (the
// documents folder at first; updated on a choice).
std::optional<std::string> ChoosePdfFile(QWidget* parent, QString& lastFolder,
                                         std::string_view suggestedName);

// The save dialog of the SPICE export, asking before it replaces a file.
std::optional<std::string> ChooseSpiceFile(QWidget* parent, const std::string& suggestedName);

// Connects LoadMnu and SaveDesignMnu to the window's model.
void ConnectDesignFiles(MainWindow& window);

// Opens a file named on the program's command line, as Open does after its dialog.
void OpenDesignFile(MainWindow& window, const QString& path);

}  // namespace vtq::qt
