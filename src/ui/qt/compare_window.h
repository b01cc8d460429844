// Every core offered in the material, evaluated with the window's inputs, in one
// sortable table beside the design window, as the window model's view gives it. A
// double-click (or Enter) applies a core.
#pragma once

#include <QWidget>
#include <functional>

#include "ui/model/analysis_views.h"

class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace vtq::qt {

class CompareWindow : public QWidget {
 public:
  // apply runs when the user double-clicks a core, with its catalogue row (1 to 24).
  explicit CompareWindow(std::function<void(int row)> apply, QWidget* parent = nullptr);

  // Shows the table anew, keeping the user's sort column and order.
  void Show(const CoreTableView& view);

  QTableView* table() const { return table_; }
  QLabel* note() const { return note_; }
  // The catalogue row shown in a row of the view as sorted now.
  int RowAt(int viewRow) const;
  // Every column's width side by side, at the window's height.
  QSize WantedSize() const;

 private:
  std::function<void(int)> apply_;
  QLabel* intro_;
  QTableView* table_;
  QLabel* note_;
  QStandardItemModel* items_;
  QSortFilterProxyModel* sorted_;
  bool sized_ = false;
};

}  // namespace vtq::qt
