#include "ui/qt/help_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace vtq::qt {

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent), browser_(new QTextBrowser(this)) {
  // A window of its own, but tied to the design window: it never keeps the program alive.
  setWindowFlag(Qt::Window);
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Common Mode Inductor Design Help"));
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  // Running text reads better in a regular weight at a larger size than the window's
  // bold 8.25 points.
  QFont text = browser_->font();
  text.setBold(false);
  text.setPointSizeF(10);
  browser_->setFont(text);
  setCentralWidget(browser_);

  QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
  bar->setMovable(false);
  QAction* back = bar->addAction(QStringLiteral("< Back"), browser_, &QTextBrowser::backward);
  QAction* forward = bar->addAction(QStringLiteral("Forward >"), browser_, &QTextBrowser::forward);
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  bar->addSeparator();
  bar->addAction(QStringLiteral("Contents"), this, [this] { OpenSibling(QStringLiteral("contents.html")); });
  bar->addAction(QStringLiteral("Index"), this, [this] { OpenSibling(QStringLiteral("index.html")); });
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Common Mode Inductor Design Help")
                                   : title + QStringLiteral(" - Common Mode Inductor Design Help"));
  });
  resize(640, 560);
}

bool HelpWindow::Open(const QString& page) {
  const QFileInfo file(page);
  if (!file.isFile() || !file.isReadable()) return false;
  browser_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
  show();
  raise();
  activateWindow();
  return true;
}

void HelpWindow::OpenSibling(const QString& fileName) {
  const QFileInfo current(browser_->source().toLocalFile());
  browser_->setSource(QUrl::fromLocalFile(current.absoluteDir().filePath(fileName)));
}

}  // namespace vtq::qt
