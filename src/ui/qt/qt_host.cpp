#include "ui/qt/qt_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include "reports/qt/page_painter.h"
#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/help_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/printing_qt.h"

namespace vtq::qt {

QString DialogText(std::string_view text) {
  QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return q;
}

namespace {

// Some desktop styles put pictures on dialog buttons; these dialogs show words only.
void PlainButtons(QWidget& dialog) {
  for (auto* button : dialog.findChildren<QAbstractButton*>()) button->setIcon(QIcon());
}

}  // namespace

QtHost::~QtHost() = default;

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
  QMessageBox box(window_);
  box.setObjectName(QStringLiteral("MsgBox"));
  box.setWindowTitle(DialogText(title));
  // Plain text keeps the runs of blanks some messages use to line up their lines.
  box.setTextFormat(Qt::PlainText);
  box.setText(DialogText(text));
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
    QRect frame = window_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
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
  if (!help_) help_ = new HelpWindow(window_);
  return help_->Open(QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size())));
}

std::optional<std::string> QtHost::ChooseFile(FileDialogPurpose purpose, const FileDialogSettings& settings) {
  switch (purpose) {
    case FileDialogPurpose::ExportPdf:
      return ChoosePdfFile(window_, lastPdfFolder_, settings.FileName);
    case FileDialogPurpose::ExportSpice:
      return ChooseSpiceFile(window_, settings.FileName);
    case FileDialogPurpose::Save:
    case FileDialogPurpose::Open:
      break;
  }
  return ChooseDesignFile(window_, lastDesignFile_, purpose, settings);
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

}  // namespace vtq::qt
