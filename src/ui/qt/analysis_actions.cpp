#include "ui/qt/analysis_actions.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTimer>

#include "ui/qt/appearance.h"
#include "ui/qt/compare_window.h"
#include "ui/qt/emissions_window.h"
#include "ui/qt/file_dialog_qt.h"
#include "ui/qt/impedance_plot.h"
#include "ui/qt/library_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/safety_window.h"

namespace vtq::qt {
namespace {

void Present(QWidget* w) {
  w->show();
  w->raise();
  w->activateWindow();
}

bool Shown(const MainWindow& window, const char* name) {
  const auto* w = window.findChild<QWidget*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
  return w && w->isVisible();
}

}  // namespace

AnalysisActions::AnalysisActions(MainWindow& window) : QObject(&window), window_(window) {
  for (const char* name : {"ViewMnu", "mnuImpedance", "mnuEmissions", "mnuLibrary", "mnuSafety",
                           "ExportSpiceMnu", "ExportTouchstoneMnu"})
    window.ConnectCommand(name);

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
  if (pending_ || (!Shown(window_, "CompareWindow") && !Shown(window_, "ImpedanceWindow") &&
                   !Shown(window_, "EmissionsWindow") && !Shown(window_, "LibraryWindow") &&
                   !Shown(window_, "SafetyWindow"))) {
    return;
  }
  pending_ = true;
  QTimer::singleShot(0, this, [this] {
    pending_ = false;
    window_.model().FollowDesign();
  });
}

AnalysisActions* InstallAnalysis(MainWindow& window) {
  return new AnalysisActions(window);
}

void ShowCoreTable(MainWindow* window, const CoreTableView& view, bool raise) {
  if (!window) return;
  auto* table = dynamic_cast<CompareWindow*>(
      window->findChild<QWidget*>(QStringLiteral("CompareWindow"), Qt::FindDirectChildrenOnly));
  if (!table && !raise) return;
  if (!table) {
    // Made when first asked for: most starts of the program never show it.
    table = new CompareWindow(
        [window](int row) { window->Run([window, row] { window->model().CompareTable_DblClick(row); }); },
        window);
    table->Show(view);
    MakeCompanion(table, *window, table->WantedSize());
  }
  table->Show(view);
  if (raise) Present(table);
}

void ShowImpedance(MainWindow* window, const ImpedanceView& view, bool raise) {
  if (!window) return;
  auto* plot = dynamic_cast<ImpedanceWindow*>(
      window->findChild<QWidget*>(QStringLiteral("ImpedanceWindow"), Qt::FindDirectChildrenOnly));
  if (!plot && !raise) return;
  if (!plot) {
    plot = new ImpedanceWindow(
        window,
        [window] {
          window->Run([window] { window->model().ImpedanceSave_Click(); });
          ShowFileStatus(*window);
        },
        [window](int celsius) {
          window->Run([window, celsius] { window->model().ImpedanceTemperature_Change(celsius); });
        },
        [window] {
          window->Run([window] { window->model().ImpedanceMaterial_Click(); });
          ShowFileStatus(*window);
        },
        [window] {
          window->Run([window] { window->model().ImpedanceMeasured_Click(); });
          ShowFileStatus(*window);
        },
        [window] {
          window->Run([window] { window->model().ImpedanceMeasuredClear_Click(); });
          ShowFileStatus(*window);
        });
    plot->Show(view);
    MakeCompanion(plot, *window);
  }
  plot->Show(view);
  if (raise) Present(plot);
}

void ShowEmissions(MainWindow* window, const EmissionsView& view, const CoreSearchView& search, bool raise) {
  if (!window) return;
  auto* emissions = dynamic_cast<EmissionsWindow*>(
      window->findChild<QWidget*>(QStringLiteral("EmissionsWindow"), Qt::FindDirectChildrenOnly));
  if (!emissions && !raise) return;
  if (!emissions) {
    EmissionsWindow::Commands commands;
    commands.change = [window](const EmissionsEntry& entry) {
      window->Run([window, entry] { window->model().Emissions_Change(entry); });
    };
    commands.findCore = [window] { window->Run([window] { window->model().EmissionsFindCore_Click(); }); };
    commands.applyCore = [window] { window->Run([window] { window->model().EmissionsApplyCore_Click(); }); };
    commands.save = [window] {
      window->Run([window] { window->model().EmissionsSave_Click(); });
      ShowFileStatus(*window);
    };
    commands.measured = [window] {
      window->Run([window] { window->model().ImpedanceMeasured_Click(); });
      ShowFileStatus(*window);
    };
    emissions = new EmissionsWindow(window, window->model().emissionsEntry, std::move(commands));
    emissions->Show(view, search);
    MakeCompanion(emissions, *window);  // at the size of what it shows
  }
  emissions->Show(view, search);
  if (raise) Present(emissions);
}

void ShowLibrary(MainWindow* window, const LibraryWindowView& view, bool raise) {
  if (!window) return;
  auto* library = dynamic_cast<LibraryWindow*>(
      window->findChild<QWidget*>(QStringLiteral("LibraryWindow"), Qt::FindDirectChildrenOnly));
  if (!library && !raise) return;
  if (!library) {
    LibraryWindow::Commands commands;
    commands.change = [window](const LibraryEntry& entry) {
      window->Run([window, entry] { window->model().Library_Change(entry); });
    };
    commands.pick = [window](const std::string& part) {
      window->Run([window, part] { window->model().Library_Pick(part); });
    };
    commands.unpick = [window] { window->Run([window] { window->model().LibraryUnpick_Click(); }); };
    library = new LibraryWindow(window, window->model().libraryEntry, std::move(commands));
    library->Show(view);
    MakeCompanion(library, *window, QSize(1000, 720));
  }
  library->Show(view);
  if (raise) Present(library);
}

void ShowSafety(MainWindow* window, const SafetyWindowView& view, bool raise) {
  if (!window) return;
  auto* safety = dynamic_cast<SafetyWindow*>(
      window->findChild<QWidget*>(QStringLiteral("SafetyWindow"), Qt::FindDirectChildrenOnly));
  if (!safety && !raise) return;
  if (!safety) {
    SafetyWindow::Commands commands;
    commands.change = [window](const SafetyEntry& entry) {
      window->Run([window, entry] { window->model().Safety_Change(entry); });
    };
    commands.save = [window] {
      window->Run([window] { window->model().SafetySave_Click(); });
      ShowFileStatus(*window);
    };
    safety = new SafetyWindow(window, window->model().safetyEntry, std::move(commands));
    safety->Show(view);
    MakeCompanion(safety, *window, QSize(820, 620));
  }
  safety->Show(view);
  if (raise) Present(safety);
}

}  // namespace vtq::qt
