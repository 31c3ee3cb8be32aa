// mcbrun: runs an application directory without a window.
#include "HeadlessRun.h"
#include "RunOptions.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  RunOptions options;
  QString error;
  if (!RunOptions::parse(app.arguments(), options, error)) {
    std::fprintf(stderr, "mcbrun: %s\n%s", error.toLocal8Bit().constData(), RunOptions::usage());
    return 2;
  }
  if (options.help) {
    std::fputs(RunOptions::usage(), stdout);
    return 0;
  }
  return runHeadless(options);
}
