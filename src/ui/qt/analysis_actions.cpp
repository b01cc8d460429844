#include "ui/qt/analysis_actions.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>

#include "analysis/compare.h"
#include "analysis/impedance.h"
#include "ui/qt/compare_window.h"
#include "ui/qt/impedance_plot.h"
#include "ui/qt/main_window.h"

namespace vtq::qt {
namespace {

void Present(QWidget* w) {
  w->show();
  w->raise();
  w->activateWindow();
}

// The desktop's save dialog for the plot, asking before it replaces a file; a name typed
// without a suffix takes the chosen filter's. The chosen path, or "" on cancel.
std::string ChoosePlotFile(QWidget* parent, const std::string& suggestedName) {
  QFileDialog dialog(parent, QStringLiteral("Save Plot"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("PNG Image (*.png)"), QStringLiteral("SVG Drawing (*.svg)"),
                         QStringLiteral("CSV Values (*.csv)")});
  dialog.setDefaultSuffix(QStringLiteral("png"));
  QObject::connect(&dialog, &QFileDialog::filterSelected, [&](const QString& filter) {
    dialog.setDefaultSuffix(filter.section(QStringLiteral("*."), 1).chopped(1));
  });
  dialog.setDirectory(QDir::home());
  dialog.selectFile(QString::fromStdString(suggestedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace

AnalysisActions::AnalysisActions(MainWindow& window, WindowHost& host)
    : QObject(&window), window_(window), host_(host) {
  // The windows are made when first asked for: most starts of the program never show
  // them, and the table with its models would hold up the design window's opening.
  window.Connect("ViewMnu", [this] {
    if (!compare_) {
      // A double-click applies the core as a pick from the core list: same handler, same
      // message when the wire must be made thinner, and the window shows the result.
      compare_ = new CompareWindow(
          [this](int row) { window_.Run([this, row] { window_.model().lstCores_Click(row - 1); }); },
          &window_);
    }
    Update();
    Present(compare_);
  });
  window.Connect("mnuImpedance", [this] {
    if (!impedance_) {
      impedance_ = new ImpedanceWindow(
          &window_, host_, [this](const std::string& name) { return ChoosePlotFile(impedance_, name); });
    }
    Update();
    Present(impedance_);
  });
  window.Connect("ExportSpiceMnu", [this] {
    const std::string status = ExportSpiceModel(window_.model().window, host_);
    if (!status.empty()) window_.statusBar()->showMessage(QString::fromStdString(status), 8000);
  });

  // Every calculation rewrites output boxes and every edit or option click changes an
  // input: either is the moment to follow the design. Collected into one update once
  // the event that caused them is done, so a calculation is not compared 20 times.
  for (auto* edit : window.findChildren<QLineEdit*>()) {
    QObject::connect(edit, &QLineEdit::textChanged, this, [this] { ScheduleUpdate(); });
  }
  for (auto* button : window.findChildren<QAbstractButton*>()) {
    QObject::connect(button, &QAbstractButton::toggled, this, [this] { ScheduleUpdate(); });
  }
}

void AnalysisActions::ScheduleUpdate() {
  auto shown = [](const QWidget* w) { return w && w->isVisible(); };
  if (pending_ || (!shown(compare_) && !shown(impedance_))) return;
  pending_ = true;
  QTimer::singleShot(0, this, [this] {
    pending_ = false;
    Update();
  });
}

void AnalysisActions::Update() {
  const DesignWindow& w = window_.model().window;
  if (compare_) compare_->Show(analysis::CompareCores(w));
  if (impedance_) impedance_->Show(analysis::ChokeImpedance(w));
}

AnalysisActions* InstallAnalysis(MainWindow& window, WindowHost& host) {
  return new AnalysisActions(window, host);
}

}  // namespace vtq::qt
