// One program start for the start-up benchmark, then exit: "bare" shows an empty Qt
// window of the design window's size; "text" the same with one line of text in the
// window's font (which pays for the font database); "design" starts the design window
// with the disclaimer answered and returns once the first design has been painted.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "ui/qt/appearance.h"
#include "ui/qt/main_window.h"

namespace {

// Answers the disclaimer at once; nothing else is asked at start-up.
class AnsweringHost : public vtq::WindowHost {
 public:
  QWidget* window = nullptr;
  std::string InputBox(std::string_view, std::string_view, std::string_view) override { return {}; }
  int MsgBox(std::string_view, std::string_view) override { return 1; }
  void SetFocus(std::string_view) override {}
  void ShowWindow() override { window->show(); }
  void Beep() override {}
};

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "design";
  QApplication app(argc, argv);
  if (std::strcmp(mode, "bare") == 0 || std::strcmp(mode, "text") == 0) {
    QWidget window;
    window.resize(697, 484);
    if (std::strcmp(mode, "text") == 0) {
      vtq::qt::LoadWindowFonts();
      auto* label = new QLabel(QStringLiteral("Kestralon Common Mode Inductor Design"), &window);
      label->setFont(vtq::qt::WindowFont());
    }
    window.show();
    QApplication::processEvents();
    window.repaint();
    return 0;
  }
  vtq::qt::LoadWindowFonts();
  QApplication::setFont(vtq::qt::WindowFont());
  AnsweringHost host;
  vtq::qt::MainWindow window(host);
  host.window = &window;
  window.Load(QApplication::applicationDirPath().toStdString());
  QApplication::processEvents();
  window.repaint();
  return window.model().outputs().txtPN.empty() ? 1 : 0;
}
