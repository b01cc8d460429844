#include "ui/qt/safety_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/qt/qtext.h"

namespace vtq::qt {
namespace {

QComboBox* Choices(QWidget* parent, const char* name, std::initializer_list<const char*> words,
                   const std::string& chosen) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  for (const char* word : words) box->addItem(QString::fromLatin1(word), QString::fromLatin1(word));
  const int at = box->findData(Q(chosen));
  box->setCurrentIndex(at >= 0 ? at : 0);
  return box;
}

QLineEdit* Box(QWidget* parent, const char* name, const std::string& text, const char* hint) {
  auto* edit = new QLineEdit(Q(text), parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setPlaceholderText(QString::fromLatin1(hint));
  return edit;
}

}  // namespace

SafetyWindow::SafetyWindow(QWidget* parent, const SafetyEntry& entry, Commands commands)
    : QWidget(parent, Qt::Window), commands_(std::move(commands)) {
  setObjectName(QStringLiteral("SafetyWindow"));
  setWindowTitle(Q(std::string(kSafetyTitle)));
  windings_ = Choices(this, "SafetyWindings", {"2", "3", "4"}, std::to_string(entry.windings));
  windings_->setItemText(0, QStringLiteral("2: line and neutral"));
  windings_->setItemText(1, QStringLiteral("3: three phases"));
  windings_->setItemText(2, QStringLiteral("4: three phases and neutral"));
  voltage_ = Box(this, "SafetyMainsVoltage", entry.mainsVoltage, "e.g. 230 (line to neutral, rms)");
  frequency_ = Box(this, "SafetyMainsFrequency", entry.mainsFrequency, "e.g. 60 Hz");
  category_ = Choices(this, "SafetyCategory", {"I", "II", "III", "IV"}, entry.category);
  pollution_ = Choices(this, "SafetyPollution", {"1", "2", "3", "4"}, entry.pollution);
  group_ = Choices(this, "SafetyGroup", {"I", "II", "IIIa", "IIIb"}, entry.group);
  divider_ = Box(this, "SafetyDivider", entry.divider, "none; e.g. 1 mm");
  equipment_ = new QComboBox(this);
  equipment_->setObjectName(QStringLiteral("SafetyEquipment"));
  equipment_->addItem(QStringLiteral("None"), QString());
  for (const TouchCurrentRow& row : TouchCurrentTable()) {
    equipment_->addItem(Q(row.name), Q(row.key));
    equipment_->setItemData(equipment_->count() - 1, Q(row.source), Qt::ToolTipRole);
  }
  equipment_->setCurrentIndex(std::max(0, equipment_->findData(Q(entry.equipment))));
  touch_ = Box(this, "SafetyTouchCurrent", entry.touchCurrent, "the equipment's; or e.g. 0.25mA");

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Windings"), windings_);
  form->addRow(QStringLiteral("Mains &voltage (V)"), voltage_);
  form->addRow(QStringLiteral("Mains &frequency (Hz)"), frequency_);
  form->addRow(QStringLiteral("&Overvoltage category"), category_);
  form->addRow(QStringLiteral("&Pollution degree"), pollution_);
  form->addRow(QStringLiteral("Material &group"), group_);
  form->addRow(QStringLiteral("&Divider"), divider_);
  form->addRow(QStringLiteral("&Equipment"), equipment_);
  form->addRow(QStringLiteral("&Touch current (A)"), touch_);
  // Each box and list is announced by its label, not by the value it holds.
  for (int row = 0; row < form->rowCount(); ++row) {
    auto* label = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget());
    QWidget* field = form->itemAt(row, QFormLayout::FieldRole)->widget();
    label->setBuddy(field);
    field->setAccessibleName(label->text().remove(QLatin1Char('&')));
  }
  for (QLineEdit* edit : {voltage_, frequency_, divider_, touch_}) {
    QObject::connect(edit, &QLineEdit::textEdited, this, [this] { commands_.change(Entry()); });
  }
  for (QComboBox* box : {windings_, category_, pollution_, group_, equipment_}) {
    QObject::connect(box, &QComboBox::activated, this, [this] { commands_.change(Entry()); });
  }

  of_ = new QLabel(this);
  of_->setObjectName(QStringLiteral("SafetyOf"));
  of_->setWordWrap(true);
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("SafetyProblem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #c02020"));
  save_ = new QPushButton(QStringLiteral("&Save..."), this);
  save_->setObjectName(QStringLiteral("SafetySave"));
  save_->setToolTip(QStringLiteral("Save the distances between the windings as comma-separated values"));
  QObject::connect(save_, &QPushButton::clicked, this, [this] { commands_.save(); });

  QFont plain = font();
  plain.setBold(false);  // the design window's font, which every child takes, is bold
  gaps_ = new QTableWidget(this);
  gaps_->setObjectName(QStringLiteral("SafetyGaps"));
  gaps_->setAccessibleName(QStringLiteral("Distances between the windings"));
  gaps_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gaps_->verticalHeader()->hide();
  gaps_->horizontalHeader()->setStretchLastSection(true);
  gaps_->setFont(plain);
  lines_ = new QPlainTextEdit(this);
  lines_->setObjectName(QStringLiteral("SafetyLines"));
  lines_->setAccessibleName(QStringLiteral("The insulation and the budget, worked out"));
  lines_->setReadOnly(true);
  lines_->setFont(plain);

  auto* side = new QVBoxLayout;
  side->addWidget(of_);
  side->addWidget(problem_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(save_);
  buttons->addStretch(1);
  side->addLayout(buttons);
  side->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(form);
  top->addLayout(side, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(gaps_, 1);
  layout->addWidget(lines_, 2);
}

SafetyEntry SafetyWindow::Entry() const {
  SafetyEntry e;
  e.windings = windings_->currentData().toString().toInt();
  e.mainsVoltage = voltage_->text().toStdString();
  e.mainsFrequency = frequency_->text().toStdString();
  e.category = category_->currentData().toString().toStdString();
  e.pollution = pollution_->currentData().toString().toStdString();
  e.group = group_->currentData().toString().toStdString();
  e.divider = divider_->text().toStdString();
  e.equipment = equipment_->currentData().toString().toStdString();
  e.touchCurrent = touch_->text().toStdString();
  return e;
}

void SafetyWindow::Show(const SafetyWindowView& v) {
  of_->setText(Q(v.of));
  problem_->setText(Q(v.problem));
  problem_->setVisible(!v.problem.empty());
  save_->setEnabled(v.problem.empty() && !v.gaps.empty());
  gaps_->clear();
  gaps_->setColumnCount(static_cast<int>(v.headings.size()));
  gaps_->setRowCount(static_cast<int>(v.gaps.size()));
  QStringList headings;
  for (const std::string& h : v.headings) headings << Q(h);
  gaps_->setHorizontalHeaderLabels(headings);
  for (std::size_t r = 0; r < v.gaps.size(); ++r) {
    for (std::size_t c = 0; c < v.gaps[r].size(); ++c) {
      auto* item = new QTableWidgetItem(Q(v.gaps[r][c]));
      if (c > 0 && c + 1 < v.gaps[r].size()) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      gaps_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  gaps_->resizeColumnsToContents();
  QString text;
  for (const std::string& line : v.view.lines) text += Q(line) + QLatin1Char('\n');
  if (lines_->toPlainText() != text) lines_->setPlainText(text);
}

}  // namespace vtq::qt
