#include "ui/qt/library_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/qt/qtext.h"

namespace vtq::qt {
namespace {

// Sorting goes by the number behind each cell, not by its text ("9.5" before "10").
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kPartRole = Qt::UserRole + 2;

// Refills a filter's list, keeping the choice; the first item, "All", is the empty filter.
void Fill(QComboBox* box, const std::vector<std::string>& names, const std::string& chosen) {
  if (box->count() == static_cast<int>(names.size()) + 1) return;
  box->clear();
  box->addItem(QStringLiteral("All"), QString());
  for (const std::string& name : names) box->addItem(Q(name), Q(name));
  const int at = box->findData(Q(chosen));
  box->setCurrentIndex(at >= 0 ? at : 0);
}

}  // namespace

LibraryWindow::LibraryWindow(QWidget* parent, const LibraryEntry& entry, Commands commands)
    : QWidget(parent, Qt::Window), commands_(std::move(commands)) {
  setObjectName(QStringLiteral("LibraryWindow"));
  setWindowTitle(QStringLiteral("Core Library"));
  search_ = new QLineEdit(Q(entry.search), this);
  search_->setObjectName(QStringLiteral("LibrarySearch"));
  search_->setPlaceholderText(QStringLiteral("Part number, maker or grade"));
  search_->setClearButtonEnabled(true);
  maker_ = new QComboBox(this);
  maker_->setObjectName(QStringLiteral("LibraryMaker"));
  grade_ = new QComboBox(this);
  grade_->setObjectName(QStringLiteral("LibraryGrade"));
  minOd_ = new QLineEdit(Q(entry.minOd), this);
  minOd_->setObjectName(QStringLiteral("LibraryMinOd"));
  minOd_->setPlaceholderText(QStringLiteral("e.g. 20mm"));
  maxOd_ = new QLineEdit(Q(entry.maxOd), this);
  maxOd_->setObjectName(QStringLiteral("LibraryMaxOd"));
  maxOd_->setPlaceholderText(QStringLiteral("e.g. 1.5in"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Search"), search_);
  form->addRow(QStringLiteral("&Maker"), maker_);
  form->addRow(QStringLiteral("&Grade"), grade_);
  form->addRow(QStringLiteral("Smallest &OD"), minOd_);
  form->addRow(QStringLiteral("&Largest OD"), maxOd_);
  // Each box and list is announced by its label, not by the value it holds.
  for (int row = 0; row < form->rowCount(); ++row) {
    auto* label = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget());
    QWidget* field = form->itemAt(row, QFormLayout::FieldRole)->widget();
    label->setBuddy(field);
    field->setAccessibleName(label->text().remove(QLatin1Char('&')));
  }
  for (QLineEdit* edit : {search_, minOd_, maxOd_}) {
    QObject::connect(edit, &QLineEdit::textEdited, this, [this] { commands_.change(Entry()); });
  }
  for (QComboBox* box : {maker_, grade_}) {
    QObject::connect(box, &QComboBox::activated, this, [this] { commands_.change(Entry()); });
  }
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("LibraryCount"));
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("LibraryProblem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #c02020"));

  items_ = new QStandardItemModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(items_);
  sorted_->setSortRole(kSortRole);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("LibraryTable"));
  table_->setAccessibleName(QStringLiteral("Stocked rings"));
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(3, Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->setAlternatingRowColors(true);
  QFont rows = table_->font();
  rows.setBold(false);  // the design window's font, which every child takes, is bold
  table_->setFont(rows);
  // A double-click or Enter (or the single click of a desktop set to open items so).
  QObject::connect(table_, &QTableView::activated, this, [this] { PickCurrent(); });

  pick_ = new QPushButton(QStringLiteral("&Design on Ring"), this);
  pick_->setObjectName(QStringLiteral("LibraryPick"));
  pick_->setToolTip(
      QStringLiteral("Wind the design window's requirement on the selected ring; the impedance and emission "
                     "windows then show that choke"));
  QObject::connect(pick_, &QPushButton::clicked, this, [this] { PickCurrent(); });
  unpick_ = new QPushButton(QStringLiteral("Design &Window's Core"), this);
  unpick_->setObjectName(QStringLiteral("LibraryUnpick"));
  unpick_->setToolTip(
      QStringLiteral("The impedance and emission windows show the design window's choke again"));
  QObject::connect(unpick_, &QPushButton::clicked, this, [this] { commands_.unpick(); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pick_);
  buttons->addWidget(unpick_);
  buttons->addStretch(1);

  design_ = new QLabel(this);
  design_->setObjectName(QStringLiteral("LibraryDesign"));
  design_->setWordWrap(true);
  design_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  steps_ = new QTableWidget(this);
  steps_->setObjectName(QStringLiteral("LibrarySteps"));
  steps_->setAccessibleName(QStringLiteral("The design on the ring, step by step"));
  steps_->setColumnCount(3);
  steps_->setHorizontalHeaderLabels({QStringLiteral("Step"), QStringLiteral("Value"), QStringLiteral("How")});
  steps_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  steps_->verticalHeader()->hide();
  steps_->horizontalHeader()->setStretchLastSection(true);
  steps_->setFont(rows);
  source_ = new QLabel(this);
  source_->setObjectName(QStringLiteral("LibrarySource"));
  source_->setWordWrap(true);
  source_->setFont(rows);

  auto* top = new QHBoxLayout;
  top->addLayout(form);
  auto* side = new QVBoxLayout;
  side->addWidget(count_);
  side->addWidget(problem_);
  side->addLayout(buttons);
  side->addStretch(1);
  top->addLayout(side, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table_, 3);
  layout->addWidget(design_);
  layout->addWidget(steps_, 2);
  layout->addWidget(source_);
  resize(1000, 720);
}

LibraryEntry LibraryWindow::Entry() const {
  LibraryEntry e;
  e.search = search_->text().toStdString();
  e.maker = maker_->currentData().toString().toStdString();
  e.grade = grade_->currentData().toString().toStdString();
  e.minOd = minOd_->text().toStdString();
  e.maxOd = maxOd_->text().toStdString();
  return e;
}

void LibraryWindow::PickCurrent() {
  const QModelIndex at = table_->currentIndex();
  if (!at.isValid()) return;
  commands_.pick(sorted_->index(at.row(), 0).data(kPartRole).toString().toStdString());
}

void LibraryWindow::Show(const LibraryWindowView& v) {
  Fill(maker_, v.makers, Entry().maker);
  Fill(grade_, v.grades, Entry().grade);
  count_->setText(Q(v.count));
  problem_->setText(Q(v.list.problem));
  problem_->setVisible(!v.list.problem.empty());
  source_->setText(Q(v.list.source));
  const QString selected = table_->currentIndex().isValid()
                               ? sorted_->index(table_->currentIndex().row(), 0).data(kPartRole).toString()
                               : Q(v.picked);
  items_->clear();
  QStringList headings;
  for (const std::string& h : v.headings) headings << Q(h);
  items_->setHorizontalHeaderLabels(headings);
  for (std::size_t r = 0; r < v.cells.size(); ++r) {
    QList<QStandardItem*> cells;
    const LibraryRow& row = v.list.rows[r];
    for (std::size_t c = 0; c < v.cells[r].size(); ++c) {
      const LibraryCell& cell = v.cells[r][c];
      auto* item = new QStandardItem(Q(cell.text));
      item->setData(v.numeric[c] ? QVariant(cell.sortValue) : QVariant(Q(cell.text)), kSortRole);
      item->setData(Q(row.part), kPartRole);
      item->setTextAlignment((v.numeric[c] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
      if (!row.noCurve.empty()) item->setToolTip(Q(row.noCurve));
      if (row.part == v.picked) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
      }
      cells << item;
    }
    items_->appendRow(cells);
  }
  table_->resizeColumnsToContents();
  for (int r = 0; r < sorted_->rowCount(); ++r) {
    if (sorted_->index(r, 0).data(kPartRole).toString() != selected) continue;
    table_->setCurrentIndex(sorted_->index(r, 0));
    break;
  }
  pick_->setEnabled(!v.cells.empty());
  unpick_->setEnabled(!v.picked.empty());
  design_->setText(v.picked.empty() ? QStringLiteral("The impedance and emission windows show the design "
                                                     "window's choke. Pick a ring to design on it.")
                                    : Q(v.design));
  steps_->setVisible(!v.designRows.empty());
  steps_->setRowCount(static_cast<int>(v.designRows.size()));
  for (std::size_t r = 0; r < v.designRows.size(); ++r) {
    for (std::size_t c = 0; c < v.designRows[r].size() && c < 3; ++c) {
      steps_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(Q(v.designRows[r][c])));
    }
  }
  steps_->resizeColumnToContents(0);
  steps_->resizeColumnToContents(1);
}

}  // namespace vtq::qt
