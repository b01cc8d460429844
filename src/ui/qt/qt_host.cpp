#include "ui/qt/qt_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>

#include "reports/qt/page_painter.h"
#include "ui/qt/analysis_actions.h"
#include "ui/qt/appearance.h"
#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/help_window.h"
#include "ui/qt/impedance_plot.h"
#include "ui/qt/main_window.h"
#include "ui/qt/printing_qt.h"

namespace vtq::qt {

QString DialogText(std::string_view text) {
  QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return q;
}

namespace {

const QString kRecentKey = QStringLiteral("designs/recent");
const QString kFolderKey = QStringLiteral("designs/folder");

// Some desktop styles put pictures on dialog buttons; these dialogs show words only.
void PlainButtons(QWidget& dialog) {
  for (auto* button : dialog.findChildren<QAbstractButton*>()) button->setIcon(QIcon());
}

}  // namespace

QtHost::QtHost(QString settingsFile) : settingsFile_(std::move(settingsFile)) {}

QtHost::~QtHost() = default;

QSettings& QtHost::Settings() const {
  if (!settings_) {
    // The program's own settings take the organisation and application names it sets.
    settings_ = settingsFile_.isEmpty() ? std::make_unique<QSettings>()
                                        : std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
  }
  return *settings_;
}

std::vector<std::string> QtHost::RecentDesigns() const {
  std::vector<std::string> paths;
  for (const QString& path : Settings().value(kRecentKey).toStringList()) {
    paths.push_back(QFile::encodeName(path).toStdString());
  }
  return paths;
}

void QtHost::SetRecentDesigns(const std::vector<std::string>& paths) {
  QStringList list;
  for (const std::string& path : paths) list << QFile::decodeName(QByteArray::fromStdString(path));
  Settings().setValue(kRecentKey, list);
}

QWidget* QtHost::DialogParent() const {
  // A view's own command (Save Plot..., Measured Material...) asks over that view: parented
  // to the design window, the dialog would bring it in front of the plot it is about.
  QWidget* active = QApplication::activeWindow();
  if (window_ && active && active != window_ && active->parentWidget() == window_) return active;
  return window_;
}

HelpWindow* QtHost::helpWindow() const {
  return help_;
}

std::string QtHost::InputBox(std::string_view prompt, std::string_view title,
                             std::string_view defaultAnswer) {
  // The window shows what has been computed so far while the question is open.
  if (window_) window_->Refresh();
  QInputDialog dialog(window_);
  dialog.setObjectName(QStringLiteral("InputBox"));
  dialog.setWindowTitle(DialogText(title));
  dialog.setLabelText(DialogText(prompt));
  dialog.setTextValue(DialogText(defaultAnswer));
  dialog.setInputMode(QInputDialog::TextInput);
  PlainButtons(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.textValue().toStdString();
}

int QtHost::MsgBox(std::string_view text, std::string_view title) {
  if (window_) window_->Refresh();
  QMessageBox box(DialogParent());
  box.setObjectName(QStringLiteral("MsgBox"));
  box.setWindowTitle(DialogText(title));
  // Plain text keeps the runs of blanks some messages use to line up their lines.
  box.setTextFormat(Qt::PlainText);
  box.setText(DialogText(text));
  // Text that can be selected is laid out as a text document, again for every width the
  // box tries: for the disclaimer, 12 % of the instructions to the program's first
  // picture. Plain text draws the same pixels.
  box.setTextInteractionFlags(Qt::NoTextInteraction);
  box.setIcon(QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  PlainButtons(box);
  box.exec();
  return 1;
}

void QtHost::SetFocus(std::string_view control) {
  if (!window_) return;
  const QString name = QString::fromUtf8(control.data(), static_cast<qsizetype>(control.size()));
  if (auto* w = window_->findChild<QWidget*>(name)) w->setFocus(Qt::OtherFocusReason);
}

void QtHost::ShowWindow() {
  if (!window_) return;
  // Centred on the screen the window will open on.
  QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    window_->FitInto(ScreenRoom(*window_));
    QRect frame = window_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    // On a screen smaller than the window (a scale factor of 2 on a small laptop) the title
    // bar and the menus stay on it; the bottom is what goes past the edge.
    window_->move(OnScreen(frame.topLeft(), frame.size(), screen->availableGeometry()));
  }
  window_->show();
}

void QtHost::Beep() {
  QApplication::beep();
}

void QtHost::Unload() {
  if (help_) help_->close();
  if (window_) window_->close();
}

bool QtHost::ShowHelp(std::string_view page) {
  if (!help_) {
    help_ = new HelpWindow(window_);
    if (window_) MakeCompanion(help_, *window_);
  }
  return help_->Open(QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size())));
}

std::optional<std::string> QtHost::ChooseFile(FileDialogPurpose purpose, const FileDialogSettings& settings) {
  // An export goes where the user last put one, or else beside the designs, as Save does.
  if (exportFolder_.isEmpty()) {
    const QString designs = Settings().value(kFolderKey).toString();
    exportFolder_ = !designs.isEmpty() && QDir(designs).exists() ? designs : QDir::homePath();
  }
  switch (purpose) {
    case FileDialogPurpose::ExportPdf:
      return ChoosePdfFile(window_, exportFolder_, settings.FileName);
    case FileDialogPurpose::ExportSpice:
      return ChooseExportFile(
          window_, exportFolder_, QStringLiteral("Export SPICE Model"),
          {QStringLiteral("SPICE Models (*.lib *.cir *.sub)"), QStringLiteral("All Files (*)")},
          QStringLiteral("lib"), settings.FileName);
    case FileDialogPurpose::ExportMas:
      return ChooseExportFile(window_, exportFolder_,
                              QString::fromUtf8(kMasExportTitle.data(), kMasExportTitle.size()),
                              {QStringLiteral("MAS designs (*.json)"), QStringLiteral("All files (*)")},
                              QStringLiteral("json"), settings.FileName);
    case FileDialogPurpose::ExportTouchstone:
      return ChooseExportFile(
          window_, exportFolder_,
          QString::fromUtf8(kTouchstoneExportTitle.data(), kTouchstoneExportTitle.size()),
          {QStringLiteral("Touchstone files (*.s4p *.s2p)"), QStringLiteral("All files (*)")},
          QString::fromStdString(settings.FileName.substr(settings.FileName.find_last_of('.') + 1)),
          settings.FileName);
    case FileDialogPurpose::ExportSafety:
      return ChooseExportFile(
          window_, exportFolder_, QString::fromUtf8(kSafetyTitle.data(), kSafetyTitle.size()),
          {QStringLiteral("Comma-separated values (*.csv)"), QStringLiteral("All files (*)")},
          QStringLiteral("csv"), settings.FileName);
    case FileDialogPurpose::OpenMeasurement:
      return ChooseMeasurementFile(window_, exportFolder_);
    case FileDialogPurpose::SavePlot:
      return ChoosePlotFile(DialogParent(), exportFolder_, settings);
    case FileDialogPurpose::OpenMaterial:
      return ChooseMaterialFile(DialogParent(), exportFolder_);
    case FileDialogPurpose::OpenMas:
      return ChooseMasFile(DialogParent(), exportFolder_);
    case FileDialogPurpose::Save:
    case FileDialogPurpose::Open:
      break;
  }
  std::optional<std::string> path =
      ChooseDesignFile(window_, lastDesignFile_, Settings().value(kFolderKey).toString(), purpose, settings);
  if (path) Settings().setValue(kFolderKey, QFileInfo(lastDesignFile_).absolutePath());
  return path;
}

PrintResult QtHost::PrintOnDefaultPrinter(const reports::Document& doc) {
  return qt::PrintOnDefaultPrinter(doc);
}

bool QtHost::OfferPdf(std::string_view text, std::string_view title) {
  return qt::OfferPdf(window_, text, title);
}

std::string QtHost::WritePdf(const reports::Document& doc, const std::string& path) {
  return reports::WritePdf(doc, QString::fromStdString(path));
}

void QtHost::ShowCoreTable(const CoreTableView& view, bool raise) {
  qt::ShowCoreTable(window_, view, raise);
}

void QtHost::ShowImpedance(const ImpedanceView& view, bool raise) {
  qt::ShowImpedance(window_, view, raise);
}

void QtHost::ShowLibrary(const LibraryWindowView& view, bool raise) {
  qt::ShowLibrary(window_, view, raise);
}

void QtHost::ShowSafety(const SafetyWindowView& view, bool raise) {
  qt::ShowSafety(window_, view, raise);
}

void QtHost::ShowEmissions(const EmissionsView& view, const CoreSearchView& search, bool raise) {
  qt::ShowEmissions(window_, view, search, raise);
}

std::string QtHost::WritePlotPicture(const PlotPicture& picture, const std::string& path,
                                     PictureFormat format) {
  return qt::WritePlotPicture(picture, path, format);
}

}  // namespace vtq::qt
