// The help viewer: the HTML help document in a window of its own beside the design
// window, with its contents and index pages a click away.
#pragma once

#include <QMainWindow>
#include <QString>

class QTextBrowser;

namespace vtq::qt {

class HelpWindow : public QMainWindow {
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows one page of the document; false (and nothing shown) when it cannot be read.
  bool Open(const QString& page);
  QTextBrowser* browser() const { return browser_; }

 private:
  void OpenSibling(const QString& fileName);

  QTextBrowser* browser_;
};

}  // namespace vtq::qt
