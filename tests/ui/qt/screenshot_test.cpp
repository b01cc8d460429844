// Starts the design window on a real X server (run under xvfb-run), lets the scripted
// host close the disclaimer, grabs what the server shows and keeps it as a PNG. Fails
// when the picture is blank or a part of the window did not paint.
#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/program.h"
#include "support/scripted_host.h"
#include "ui/qt/appearance.h"
#include "ui/qt/help_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_host.h"

namespace {

int Fail(const char* what) {
  std::fprintf(stderr, "screenshot: %s\n", what);
  return 1;
}

// Pixels in r (window coordinates) that satisfy the test.
template <typename Test>
int Count(const QImage& image, QRect r, Test test) {
  int n = 0;
  r = r.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) n += test(QColor(image.pixel(x, y))) ? 1 : 0;
  }
  return n;
}

// The title the X server holds for a window, which is what a window manager shows.
QString ServerTitle(const QWidget& w) {
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w.winId()),
                                        QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")});
  xprop.waitForFinished();
  const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
  const qsizetype quote = out.indexOf(QLatin1Char('"'));
  return quote < 0 ? out : out.mid(quote + 1).chopped(1);
}

QImage Grab(const QWidget& window) {
  const QPoint origin = window.mapToGlobal(QPoint(0, 0));
  return window.screen()
      ->grabWindow(0, origin.x(), origin.y(), window.width(), window.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

QString Beside(const char* png, const char* suffix) {
  return QString::fromLocal8Bit(png).replace(QStringLiteral(".png"), QString::fromLatin1(suffix));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail("usage: vtq_screenshot OUTPUT.png");
  QApplication app(argc, argv);
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
    std::fprintf(stderr, "screenshot: needs an X server (platform is %s)\n", qPrintable(app.platformName()));
    return 77;
  }
  if (!vtq::qt::LoadWindowFonts()) return Fail("the window's font family is not installed");
  vtq::app::ConfigureApplication();

  // The window as the program builds it, its printing and other commands plugged in (Print
  // is not greyed out), with the scripted host answering the disclaimer.
  vtq::test::ScriptedHost host;
  vtq::app::Program program(host);
  vtq::qt::MainWindow& window = program.window();
  host.onShow = [&] { window.show(); };
  program.Start(QApplication::applicationDirPath().toStdString());
  if (!QTest::qWaitForWindowExposed(&window)) return Fail("the window was never exposed");
  QTest::qWait(300);

  // What the X server shows of the window's client area and menu bar.
  QImage image = Grab(window);
  if (image.isNull()) return Fail("nothing could be grabbed");
  if (!image.save(QString::fromLocal8Bit(argv[1]))) return Fail("the PNG could not be written");
  std::printf("screenshot: %s (%dx%d)\n", argv[1], image.width(), image.height());

  const QPoint client = window.centralWidget()->mapTo(&window, QPoint(0, 0));
  auto inWindow = [&](const char* name) {
    auto* w = window.findChild<QWidget*>(QString::fromLatin1(name));
    return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
  };
  auto dark = [](const QColor& c) { return c.lightness() < 80; };
  auto grey = [](const QColor& c) { return c == QColor(0xE0, 0xE0, 0xE0); };
  auto red = [](const QColor& c) { return c.red() > 90 && c.green() < 60 && c.blue() < 60; };
  int failures = 0;
  auto expect = [&](bool ok, const char* what) {
    if (!ok) failures += Fail(what);
  };
  expect(Count(image, image.rect(), [&](const QColor& c) { return c != QColor(image.pixel(0, 0)); }) >
             image.width() * image.height() / 10,
         "the window is blank");
  expect(Count(image, inWindow("lblTitle"), dark) > 500, "the title shows no text");
  expect(Count(image, inWindow("imgvtq"), red) > 100, "the toroid's windings are not drawn");
  expect(Count(image, inWindow("txtPN"), grey) > 500, "the output boxes are not light grey");
  expect(Count(image, inWindow("txtPN"), dark) > 20, "the core number is not shown");
  expect(Count(image, inWindow("Nmat"), dark) > 40, "the material captions are not shown");
  expect(client.y() > 0, "the menu bar takes no room");
  expect(window.findChild<QWidget*>(QStringLiteral("PrintButton"))->isEnabled(), "Print is greyed out");
  expect(ServerTitle(window) == window.windowTitle(), "the server's title is not the window's caption");

  // A dark desktop palette: the boxes keep their backgrounds, so their text must stay dark.
  const QPalette light = QApplication::palette();
  QPalette darkPalette(QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a));
  darkPalette.setColor(QPalette::Text, Qt::white);
  darkPalette.setColor(QPalette::WindowText, Qt::white);
  QApplication::setPalette(darkPalette);
  QTest::qWait(200);
  const QImage darkImage = Grab(window);
  darkImage.save(Beside(argv[1], "-dark.png"));
  for (const char* box : {"txtPN", "Turns"}) {
    // Inside the box's frame, which the dark style draws dark anyway.
    expect(Count(darkImage, inWindow(box).adjusted(3, 3, -3, -3), dark) > 10,
           (QByteArray("unreadable in a dark palette: ") + box).constData());
  }
  QApplication::setPalette(light);

  // The core list open over the select button and the right of the core frame.
  QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("cmdSelCore")), Qt::LeftButton);
  QTest::qWait(200);
  QImage list = Grab(window);
  if (!list.save(Beside(argv[1], "-list.png"))) return Fail("the PNG of the core list could not be written");
  expect(Count(list, inWindow("lstCores"), dark) > 200, "the core list shows no entries");

  // The help viewer at the contents page shipped beside the program.
  vtq::qt::HelpWindow help(&window);
  if (help.Open(QApplication::applicationDirPath() + QStringLiteral("/../../src/app/help/contents.html"))) {
    expect(QTest::qWaitForWindowExposed(&help), "the help window was never exposed");
    help.grab().save(Beside(argv[1], "-help.png"));
  }

  // The disclaimer as the desktop host shows it: one line per carriage return.
  vtq::qt::QtHost desktop;
  desktop.SetWindow(&window);
  QTimer::singleShot(300, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      box->grab().save(Beside(argv[1], "-disclaimer.png"));
      expect(
          ServerTitle(*box) == QString::fromUtf8(vtq::kDisclaimerTitle.data(), vtq::kDisclaimerTitle.size()),
          "the server's title is not the disclaimer's");
      box->close();
    }
  });
  desktop.MsgBox(vtq::DisclaimerText(), vtq::kDisclaimerTitle);
  return failures == 0 ? 0 : 1;
}
