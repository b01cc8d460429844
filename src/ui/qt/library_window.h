// View > Core Library: the stocked rings one can buy, filtered and searched, in a table
// sorted by any column; a ring picked from it is designed on for the design window's
// requirement, and the impedance and emission windows then show that choke. Every figure
// comes from the window model; this only asks for the filter and shows the model's view.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "ui/model/ring_view.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QTableWidget;

namespace vtq::qt {

class LibraryWindow : public QWidget {
 public:
  struct Commands {
    std::function<void(const LibraryEntry&)> change;  // the filter edited
    std::function<void(const std::string&)> pick;     // a ring's part number
    std::function<void()> unpick;                     // back to the design window's core
  };
  LibraryWindow(QWidget* parent, const LibraryEntry& entry, Commands commands);
  // Shows the list anew, keeping the user's sort column and order.
  void Show(const LibraryWindowView& view);
  QTableView* table() const { return table_; }

 private:
  LibraryEntry Entry() const;
  void PickCurrent();

  Commands commands_;
  QLineEdit *search_, *minOd_, *maxOd_;
  QComboBox *maker_, *grade_;
  QLabel *count_, *problem_, *design_, *source_;
  QTableView* table_;
  QStandardItemModel* items_;
  QSortFilterProxyModel* sorted_;
  QPushButton *pick_, *unpick_;
  QTableWidget* steps_;
};

}  // namespace vtq::qt
