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

namespace vtq::qt {
namespace {

// Sorting goes by the number behind each cell, not by its text ("9" before "10").
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kRowRole = Qt::UserRole + 2;

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CompareWindow::CompareWindow(std::function<void(int)> apply, QWidget* parent)
    : QWidget(parent, Qt::Window), apply_(std::move(apply)) {
  setObjectName(QStringLiteral("CompareWindow"));
  setWindowTitle(QStringLiteral("Core Table"));
  intro_ = new QLabel(this);
  intro_->setWordWrap(true);
  items_ = new QStandardItemModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(items_);
  sorted_->setSortRole(kSortRole);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("CompareTable"));
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

void CompareWindow::Show(const analysis::Comparison& c) {
  using analysis::kCompareColumns;
  items_->clear();
  QStringList headings;
  for (const auto& col : kCompareColumns) headings << Q(col.heading);
  items_->setHorizontalHeaderLabels(headings);
  if (!c.problem.empty()) {
    intro_->setText(QStringLiteral("The cores cannot be compared until the inputs are valid."));
    note_->setText(Q(c.problem));
    return;
  }
  intro_->setText(
      QStringLiteral("Every core offered in material %1, evaluated with the current inputs as a pick "
                     "from the core list would be. Click a heading to sort; double-click a core "
                     "to apply it.")
          .arg(Q(c.materialLetter)));
  for (const auto& r : c.rows) {
    QList<QStandardItem*> cells;
    for (std::size_t i = 0; i < kCompareColumns.size(); ++i) {
      const auto& cell = r.*kCompareColumns[i].cell;
      auto* item = new QStandardItem(Q(cell.text));
      item->setData(cell.value, kSortRole);
      item->setData(r.row, kRowRole);
      // Numbers to the right so their decimal places line up.
      item->setTextAlignment(i == 0 || i + 1 == kCompareColumns.size() ? Qt::AlignLeft | Qt::AlignVCenter
                                                                       : Qt::AlignRight | Qt::AlignVCenter);
      if (r.automatic) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setToolTip(QStringLiteral("The automatic design's choice"));
      }
      if (kCompareColumns[i].cell == &analysis::CoreEvaluation::awg && r.madeThinner) {
        item->setToolTip(QStringLiteral("Wire made thinner to fit the core's window"));
      }
      cells << item;
    }
    if (r.automatic) cells[0]->setText(cells[0]->text() + QStringLiteral("  (automatic)"));
    items_->appendRow(cells);
  }
  table_->resizeColumnsToContents();
  if (!sized_) {
    // Wide enough for every column the first time there are rows, within reason.
    sized_ = true;
    int width = table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth() + 24;
    for (int i = 0; i < items_->columnCount(); ++i) width += table_->columnWidth(i);
    resize(std::min(width, 1500), height());
  }
  QString note =
      c.automaticRow != 0
          ? QStringLiteral("Bold: the automatic design's choice. ") + Q(analysis::kEvaluationNote) +
                QLatin1Char('.')
          : QStringLiteral("The automatic design takes none of these cores: %1.").arg(Q(c.automaticPart));
  note += QStringLiteral("  ") + Q(analysis::kThinnerNote) + QLatin1Char('.');
  note_->setText(note);
}

}  // namespace vtq::qt
