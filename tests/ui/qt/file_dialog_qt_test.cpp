#include <gtest/gtest.h>
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>

#include "support/scripted_host.h"
#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_host.h"

namespace vtq::qt {
namespace {

// The name of the file the dialog would hand back for "coil" typed into it.
QString Typed(FileDialogPurpose purpose, const FileDialogSettings& settings, const QString& folder) {
  QFileDialog dialog;
  Configure(dialog, purpose, settings);
  dialog.setDirectory(folder);
  dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("coil"));
  return QFileInfo(dialog.selectedFiles().value(0)).fileName();
}

TEST(FileDialogQt, ShowsTheSettingsOfTheCommands) {
  test::ScriptedHost host;
  WindowModel m(host);  // without a dialog both commands end as cancelled, settings made
  QTemporaryDir folder;
  m.LoadMnu_Click();
  EXPECT_EQ(Typed(FileDialogPurpose::Open, m.cmnDialog1, folder.path()), QStringLiteral("coil"));
  m.SaveDesignMnu_Click();
  QFileDialog save;
  Configure(save, FileDialogPurpose::Save, m.cmnDialog1);
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(save.nameFilters(),
            QStringList({QStringLiteral("VTQ designs (*.vtq)"), QStringLiteral("All files (*)")}));
  EXPECT_EQ(save.selectedNameFilter(), QStringLiteral("VTQ designs (*.vtq)"));
  EXPECT_FALSE(save.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(Typed(FileDialogPurpose::Save, m.cmnDialog1, folder.path()), QStringLiteral("coil.vtq"));
  // The default suffix Save left carries over to Open.
  EXPECT_EQ(Typed(FileDialogPurpose::Open, m.cmnDialog1, folder.path()), QStringLiteral("coil.vtq"));
}

TEST(FileDialogQt, TheStatusBarSaysWhatTheFileCommandsDid) {
  test::ScriptedHost host;
  MainWindow window(host);
  ConnectDesignFiles(window);
  window.Load(".");
  QTemporaryDir folder;
  const std::string path = folder.filePath(QStringLiteral("d.vtq")).toStdString();
  auto* save = window.findChild<QAction*>(QStringLiteral("SaveDesignMnu"));
  ASSERT_TRUE(save && save->isEnabled());
  window.model().VoltageInput_Click();
  host.paths = {path};
  save->trigger();
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), "Saved design to " + path);

  // Opened as when named on the command line: the window shows the voltage design again.
  window.model().InductanceInput_Click();
  OpenDesignFile(window, QString::fromStdString(path));
  EXPECT_EQ(window.model().inputs().Mode, DesignModeOption::Voltage);
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("MainInput"))->text(), QStringLiteral("117"));
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), "Opened " + path);
}

TEST(FileDialogQt, RecentDesignsOutliveTheProgramAndFillTheirMenu) {
  QTemporaryDir folder;  // settings of their own, never the user's
  const QString settings = folder.filePath(QStringLiteral("vtq.conf"));
  QtHost(settings).SetRecentDesigns({"/designs/a.vtq", "/R&D/b.vtq"});
  QtHost host(settings);  // the next run
  MainWindow window(host);
  ConnectDesignFiles(window);
  emit window.Menu("FileMnu")->aboutToShow();
  const QList<QAction*> items = window.Menu("mnuRecent")->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[1]->text(), QStringLiteral("&2 /R&&D/b.vtq"));
}

}  // namespace
}  // namespace vtq::qt
