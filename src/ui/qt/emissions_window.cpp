#include "ui/qt/emissions_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/qt/appearance.h"
#include "ui/qt/impedance_plot.h"
#include "ui/qt/qtext.h"

namespace vtq::qt {
namespace {

void Select(QComboBox* box, const std::string& key) {
  const int at = box->findData(Q(key));
  if (at >= 0) box->setCurrentIndex(at);
}

}  // namespace

EmissionsWindow::EmissionsWindow(QWidget* parent, const EmissionsEntry& entry, Commands commands)
    : QWidget(parent, Qt::Window), commands_(std::move(commands)), shown_(entry) {
  setObjectName(QStringLiteral("EmissionsWindow"));
  setWindowTitle(Q(kEmissionsTitle));
  QWidget* content = ScrollingContent(this);
  auto* form = new QFormLayout;
  standard_ = new QComboBox(this);
  standard_->setObjectName(QStringLiteral("EmissionsStandard"));
  for (const EmissionStandard& line : EmissionStandards()) standard_->addItem(Q(line.name), Q(line.key));
  Select(standard_, entry.standard);
  form->addRow(QStringLiteral("&Limits"), standard_);
  network_ = new QComboBox(this);
  network_->setObjectName(QStringLiteral("EmissionsNetwork"));
  network_->addItem(QString::fromUtf8("V-network, 50 \u00b5H / 50 \u03a9"), QStringLiteral("cispr16"));
  network_->addItem(QString::fromUtf8("50 \u03a9 per line"), QStringLiteral("50ohm"));
  Select(network_, entry.network);
  form->addRow(QStringLiteral("&Network"), network_);
  const struct {
    const char *name, *label, *tip;
    std::string EmissionsEntry::*text;
  } kBoxes[] = {
      {"EmissionsSwing", "Switched &voltage (V)", "The switched node's swing, e.g. 325",
       &EmissionsEntry::swing},
      {"EmissionsFrequency", "Switching &frequency (Hz)", "e.g. 100k", &EmissionsEntry::frequency},
      {"EmissionsDuty", "&Duty cycle", "Of the period at half amplitude, 0 to 1", &EmissionsEntry::duty},
      {"EmissionsRise", "&Rise time (s)", "Each edge, 0 to 100 %, e.g. 50n", &EmissionsEntry::rise},
      {"EmissionsParasitic", "&Parasitic capacitance (F)", "Switched node to protective earth, e.g. 20p",
       &EmissionsEntry::parasitic},
      {"EmissionsRipple", "Ripple curren&t (A p-p)", "The converter's input ripple current",
       &EmissionsEntry::ripple},
      {"EmissionsCy", "&Y capacitor (F)", "Each line to earth, e.g. 2.2n", &EmissionsEntry::cy},
      {"EmissionsCx", "&X capacitor (F)", "Across the lines, e.g. 330n", &EmissionsEntry::cx},
      {"EmissionsMargin", "Required &margin (dB)", "Below the limit, to pass", &EmissionsEntry::margin},
  };
  for (const auto& b : kBoxes) {
    auto* edit = new QLineEdit(Q(entry.*b.text), this);
    edit->setObjectName(QString::fromLatin1(b.name));
    edit->setToolTip(QString::fromUtf8(b.tip));
    form->addRow(QString::fromUtf8(b.label), edit);
    boxes_.push_back({edit, b.text});
    QObject::connect(edit, &QLineEdit::textEdited, this, [this] { commands_.change(Entry()); });
  }
  rippleShape_ = new QComboBox(this);
  rippleShape_->setObjectName(QStringLiteral("EmissionsRippleShape"));
  rippleShape_->addItem(QStringLiteral("Trapezoid"), QStringLiteral("trapezoid"));
  rippleShape_->addItem(QStringLiteral("Triangle"), QStringLiteral("triangle"));
  Select(rippleShape_, entry.rippleShape);
  form->addRow(QStringLiteral("Ripple s&hape"), rippleShape_);
  // Each box and list is announced by its label, not by the value it holds.
  for (int row = 0; row < form->rowCount(); ++row) {
    auto* label = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget());
    QWidget* field = form->itemAt(row, QFormLayout::FieldRole)->widget();
    label->setBuddy(field);
    field->setAccessibleName(label->text().remove(QLatin1Char('&')));
  }
  for (QComboBox* box : {standard_, network_, rippleShape_}) {
    QObject::connect(box, &QComboBox::activated, this, [this] { commands_.change(Entry()); });
  }
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("EmissionsProblem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #c02020"));
  findCore_ = new QPushButton(QStringLiteral("Find &Core"), this);
  findCore_->setObjectName(QStringLiteral("EmissionsFindCore"));
  findCore_->setToolTip(QStringLiteral("The smallest core of the material whose design passes, shown here"));
  applyCore_ = new QPushButton(QStringLiteral("&Apply Core"), this);
  applyCore_->setObjectName(QStringLiteral("EmissionsApplyCore"));
  applyCore_->setToolTip(QStringLiteral("Make the core Find Core found the design (its inputs change)"));
  applyCore_->setEnabled(false);
  save_ = new QPushButton(QStringLiteral("&Save Plot..."), this);
  save_->setObjectName(QStringLiteral("EmissionsSave"));
  QObject::connect(findCore_, &QPushButton::clicked, this, [this] { commands_.findCore(); });
  QObject::connect(applyCore_, &QPushButton::clicked, this, [this] { commands_.applyCore(); });
  QObject::connect(save_, &QPushButton::clicked, this, [this] { commands_.save(); });
  measured_ = new QPushButton(QStringLiteral("Measured Ch&oke..."), this);
  measured_->setObjectName(QStringLiteral("EmissionsMeasured"));
  measured_->setToolTip(
      QStringLiteral("Check a measured choke instead of the model: a Touchstone file (.s1p, .s2p, .s4p) or "
                     "an impedance table"));
  QObject::connect(measured_, &QPushButton::clicked, this, [this] {
    if (commands_.measured) commands_.measured();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(findCore_);
  buttons->addWidget(applyCore_);
  buttons->addWidget(save_);
  buttons->addWidget(measured_);
  auto* inputs = new QVBoxLayout;
  inputs->addLayout(form);
  inputs->addWidget(problem_);
  inputs->addLayout(buttons);
  inputs->addStretch(1);

  plot_ = new ImpedancePlot(this);
  plot_->setObjectName(QStringLiteral("EmissionsPlot"));
  plot_->setAccessibleName(QStringLiteral("Conducted emissions plot"));
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("EmissionsCaption"));
  caption_->setWordWrap(true);
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("EmissionsSearch"));
  summary_->setWordWrap(true);
  tried_ = new QTableWidget(this);
  tried_->setObjectName(QStringLiteral("EmissionsTried"));
  tried_->setAccessibleName(QStringLiteral("Cores tried by Find Core"));
  tried_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tried_->verticalHeader()->hide();
  tried_->setMaximumHeight(180);
  auto* right = new QVBoxLayout;
  right->addWidget(plot_, 1);
  right->addWidget(caption_);
  right->addWidget(summary_);
  right->addWidget(tried_);
  auto* layout = new QHBoxLayout(content);
  layout->addLayout(inputs);
  layout->addLayout(right, 1);
}

EmissionsEntry EmissionsWindow::Entry() const {
  EmissionsEntry e = shown_;
  e.standard = standard_->currentData().toString().toStdString();
  e.network = network_->currentData().toString().toStdString();
  e.rippleShape = rippleShape_->currentData().toString().toStdString();
  for (const Box& b : boxes_) e.*b.text = b.edit->text().toStdString();
  return e;
}

void EmissionsWindow::Show(const EmissionsView& view, const CoreSearchView& search) {
  problem_->setText(Q(view.inputProblem));
  problem_->setVisible(!view.inputProblem.empty());
  caption_->setText(Q(view.problem.empty() ? view.caption : view.problem));
  save_->setEnabled(view.inputProblem.empty() && view.problem.empty());
  findCore_->setEnabled(view.inputProblem.empty());
  applyCore_->setEnabled(search.apply && !search.applied);
  plot_->setAccessibleDescription(caption_->text());
  plot_->SetView(view);
  summary_->setText(Q(search.summary));
  summary_->setVisible(!search.summary.empty());
  tried_->setVisible(!search.rows.empty());
  tried_->setColumnCount(static_cast<int>(search.headings.size()));
  tried_->setRowCount(static_cast<int>(search.rows.size()));
  QStringList headings;
  for (const std::string& h : search.headings) headings << Q(h);
  tried_->setHorizontalHeaderLabels(headings);
  for (std::size_t r = 0; r < search.rows.size(); ++r) {
    for (std::size_t c = 0; c < search.rows[r].size(); ++c) {
      tried_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(Q(search.rows[r][c])));
    }
  }
  tried_->resizeColumnsToContents();
}

}  // namespace vtq::qt
