// The design window's file dialogs on the desktop, and the File menu's Open and Save
// wired to the window with their outcome in the status bar.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "ui/model/host.h"

class QFileDialog;
class QWidget;

namespace vtq::qt {

class MainWindow;

// Sets a dialog up as the settings ask: filters and the selected one, the default
// suffix, and the question before replacing a file (option bit 2). Qt's own dialog, so
// the suffix is added before the replace question is asked, as the user expects.
void Configure(QFileDialog& dialog, FileDialogPurpose purpose, const FileDialogSettings& settings);

// The dialog of Open and Save, modal to the parent. It opens where the last design file
// was chosen, with its name (lastFile, updated on a choice), else in startFolder (the
// folder remembered from an earlier run), else in the home folder.
std::optional<std::string> ChooseDesignFile(QWidget* parent, QString& lastFile, const QString& startFolder,
                                            FileDialogPurpose purpose, const FileDialogSettings& settings);

// The exports' dialogs (PDF, SPICE model, MAS design, plot) open at the suggested name in
// `folder`, the folder of the last export or design file, and remember the folder chosen.
std::optional<std::string> ChoosePdfFile(QWidget* parent, QString& folder, std::string_view suggestedName);

// The save dialog of an export (SPICE model, MAS design), asking before it replaces a
// file; a name typed without a suffix takes `suffix`.
std::optional<std::string> ChooseExportFile(QWidget* parent, QString& folder, const QString& title,
                                            const QStringList& filters, const QString& suffix,
                                            const std::string& suggestedName);

// Connects LoadMnu and SaveDesignMnu to the window's model, and adds below them File >
// Recent Designs and, with the other exports, File > Export Design as MAS....
void ConnectDesignFiles(MainWindow& window);
// The status line after a command that wrote or read a file: FileStatus of the model.
void ShowFileStatus(MainWindow& window);

// Opens a file named on the program's command line, as Open does after its dialog.
void OpenDesignFile(MainWindow& window, const QString& path);

}  // namespace vtq::qt
