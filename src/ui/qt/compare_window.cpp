#include "ui/qt/compare_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt/appearance.h"
#include "ui/qt/qtext.h"

namespace vtq::qt {
namespace {

// Sorting goes by the number behind each cell, not by its text ("9" before "10").
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kRowRole = Qt::UserRole + 2;

}  // namespace

CompareWindow::CompareWindow(std::function<void(int)> apply, QWidget* parent)
    : QWidget(parent, Qt::Window), apply_(std::move(apply)) {
  setObjectName(QStringLiteral("CompareWindow"));
  setWindowTitle(Q(kCoreTableTitle));
  intro_ = new QLabel(this);
  intro_->setWordWrap(true);
  items_ = new QStandardItemModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(items_);
  sorted_->setSortRole(kSortRole);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("CompareTable"));
  table_->setAccessibleName(QStringLiteral("Cores of the material side by side"));
  // The rows in the regular weight, so that the automatic design's row stands out in bold:
  // the design window's own font, which every child takes, is bold throughout.
  QFont rows = table_->font();
  rows.setBold(false);
  table_->setFont(rows);
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(0, Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->setAlternatingRowColors(true);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("CompareNote"));
  note_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro_);
  layout->addWidget(table_, 1);
  layout->addWidget(note_);
  QObject::connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    const int row = RowAt(index.row());
    if (row > 0) apply_(row);
  });
  // Enter applies the selected core, for those who move through the table by keyboard.
  for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), table_, nullptr, nullptr, Qt::WidgetShortcut);
    QObject::connect(enter, &QShortcut::activated, this, [this] {
      const int row = table_->currentIndex().isValid() ? RowAt(table_->currentIndex().row()) : 0;
      if (row > 0) apply_(row);
    });
  }
  resize(1100, 560);
}

int CompareWindow::RowAt(int viewRow) const {
  return sorted_->index(viewRow, 0).data(kRowRole).toInt();
}

void CompareWindow::Show(const CoreTableView& v) {
  items_->clear();
  QStringList headings;
  for (const auto& heading : v.headings) headings << Q(heading);
  items_->setHorizontalHeaderLabels(headings);
  intro_->setText(Q(v.intro));
  note_->setText(Q(v.note));
  for (const auto& r : v.rows) {
    QList<QStandardItem*> cells;
    for (std::size_t i = 0; i < r.cells.size(); ++i) {
      const CoreTableCell& cell = r.cells[i];
      auto* item = new QStandardItem(Q(cell.text));
      item->setData(cell.sortValue, kSortRole);
      item->setData(r.row, kRowRole);
      const bool right = i < v.numeric.size() && v.numeric[i];
      item->setTextAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
      if (r.automatic) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
      }
      if (!cell.toolTip.empty()) item->setToolTip(Q(cell.toolTip));
      cells << item;
    }
    items_->appendRow(cells);
  }
  if (v.rows.empty()) return;
  table_->resizeColumnsToContents();
  if (!sized_) {
    // Wide enough for every column the first time there are rows, as far as the screen
    // has room; the table scrolls to the columns beyond it.
    sized_ = true;
    resize(WantedSize().boundedTo(ScreenRoom(*this)));
  }
}

QSize CompareWindow::WantedSize() const {
  const QMargins margins = layout()->contentsMargins();
  int width = table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth() + margins.left() +
              margins.right() + 4;
  for (int i = 0; i < items_->columnCount(); ++i) width += table_->columnWidth(i);
  return {width, height()};
}

}  // namespace vtq::qt
