#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>

#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/main_window.h"

namespace vtq::qt {
namespace {

struct QuietHost : WindowHost {
  std::string InputBox(std::string_view, std::string_view, std::string_view answer) override {
    return std::string(answer);
  }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override {}
  void Beep() override {}
};

struct GivenPath : FileDialog {
  std::optional<std::string> Show(FileDialogPurpose, const FileDialogSettings&) override {
    return path.empty() ? std::nullopt : std::optional(path);
  }
  std::string path;  // empty: the user cancels
};

// The path the dialog would hand back for a name typed into it.
QString Typed(FileDialogPurpose purpose, const FileDialogSettings& settings, const QString& folder) {
  QFileDialog dialog;
  Configure(dialog, purpose, settings);
  dialog.setDirectory(folder);
  dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("coil"));
  return QFileInfo(dialog.selectedFiles().value(0)).fileName();
}

TEST(FileDialogQt, ShowsTheSettingsOfTheCommands) {
  EXPECT_EQ(NameFilters(kDesignFileFilter),
            QStringList({QStringLiteral("All Files (*.*)"), QStringLiteral("CMN Inductor Files (*.vtq)")}));
  EXPECT_EQ(NameFilters("Text|*.txt;*.log"), QStringList({QStringLiteral("Text (*.txt *.log)")}));

  QuietHost host;
  GivenPath none;
  MainWindow window(host);
  WindowModel& m = window.model();
  m.UseFileDialog(&none);
  m.LoadMnu_Click();  // cancelled: the settings as Open leaves them before any Save
  QTemporaryDir folder;
  EXPECT_EQ(Typed(FileDialogPurpose::Open, m.cmnDialog1, folder.path()), QStringLiteral("coil"));
  QFileDialog open;
  Configure(open, FileDialogPurpose::Open, m.cmnDialog1);
  EXPECT_EQ(open.selectedNameFilter(), QStringLiteral("CMN Inductor Files (*.vtq)"));
  EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);

  m.SaveDesignMnu_Click();  // cancelled too, but the settings stay as Save set them
  QFileDialog save;
  Configure(save, FileDialogPurpose::Save, m.cmnDialog1);
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(save.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(Typed(FileDialogPurpose::Save, m.cmnDialog1, folder.path()), QStringLiteral("coil.vtq"));
  // The default suffix Save left carries over to Open.
  EXPECT_EQ(Typed(FileDialogPurpose::Open, m.cmnDialog1, folder.path()), QStringLiteral("coil.vtq"));
}

TEST(FileDialogQt, TheStatusBarSaysWhatTheFileCommandsDid) {
  QuietHost host;
  GivenPath dialog;
  MainWindow window(host);
  ConnectDesignFiles(window, dialog);
  window.Load(".");
  QTemporaryDir folder;
  QAction* save = window.findChild<QAction*>(QStringLiteral("SaveDesignMnu"));
  ASSERT_NE(save, nullptr);
  EXPECT_TRUE(save->isEnabled());

  dialog.path = folder.filePath(QStringLiteral("gone/d.vtq")).toStdString();
  save->trigger();
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
            "Could not save " + dialog.path + ": the file or its folder does not exist");

  dialog.path = folder.filePath(QStringLiteral("d.vtq")).toStdString();
  window.model().VoltageInput_Click();
  save->trigger();
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), "Saved design to " + dialog.path);

  // Opened as when named on the command line: the window shows the voltage design again.
  window.model().InductanceInput_Click();
  OpenDesignFile(window, QString::fromStdString(dialog.path));
  EXPECT_EQ(window.model().inputs().Mode, DesignModeOption::Voltage);
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("MainInput"))->text(), QStringLiteral("117"));
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), "Opened " + dialog.path);
}

}  // namespace
}  // namespace vtq::qt

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
