// mcbrun: runs an application directory without a window (drawing goes
// to an offscreen backing pixmap).
#include "HeadlessRun.h"
#include "HostMessages.h"
#include "RunOptions.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
  // A GUI application (the drawing groups need one) with no display.
  installHostMessageFilter();
  preferOffscreenPlatform();
  QGuiApplication app(argc, argv);
  RunOptions options;
  QString error;
  if (!RunOptions::parse(app.arguments(), options, error)) {
    const QString usage = QString::fromLatin1(RunOptions::usage());
    std::fprintf(stderr, "mcbrun: %s\n%sTry 'mcbrun --help' for more.\n", error.toLocal8Bit().constData(),
                 usage.left(usage.indexOf(QLatin1Char('\n')) + 1).toLatin1().constData());
    return 2;
  }
  if (options.help) return std::fputs(RunOptions::usage(), stdout) < 0 ? 1 : 0;
  if (options.version) return std::printf("mcbrun %s\n", MCB_VERSION) < 0 ? 1 : 0;
  return runHeadless(options);
}
