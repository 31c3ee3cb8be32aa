// mcb: the runtime executable. Runs the application directory's image in
// a full-screen window until the application ends.
#include "EntryGuard.h"
#include "Errors.h"
#include "EventRecorder.h"
#include "HostMessages.h"
#include "MainView.h"
#include "QtClientApplication.h"
#include "WindowOptions.h"
#include "X11Properties.h"

#include <QDBusConnection>
#include <QDir>
#include <cstdio>
#include <memory>

namespace {

bool subscribeDisplayStatus(MainView& view) {
  return QDBusConnection::systemBus().connect(
      QStringLiteral("com.nokia.mce"), QStringLiteral("/com/nokia/mce/signal"), QStringLiteral("com.nokia.mce.signal"),
      QStringLiteral("display_status_ind"), QStringLiteral("s"), &view, SLOT(displaySignal(QString)));
}

// Everything start-up builds after the application object; any error
// escaping the image ends here.
int run(const WindowOptions& options) {
  // The recorder outlives the view that writes to it.
  std::unique_ptr<EventRecorder> recorder;
  std::unique_ptr<MainView> view;
  auto* app = static_cast<QtClientApplication*>(QCoreApplication::instance());
  int status = 0;
  try {
    view.reset(new MainView(CAppsString::fromQString(QString::fromLocal8Bit(options.directory)), options.windowed));
    if (!options.title.isNull()) view->setWindowTitle(options.title);
    if (!options.recordFile.isEmpty()) {
      recorder.reset(new EventRecorder(*view));
      QString error;
      if (!recorder->open(options.recordFile, error)) {
        std::fprintf(stderr, "mcb: cannot write '%s': %s\n", options.recordFile.toLocal8Bit().constData(),
                     error.toLocal8Bit().constData());
        return 1;
      }
      view->setRecorder(recorder.get());
    }
    if (!subscribeDisplayStatus(*view)) std::fputs("FATAL: Failed to connect to dbus\n", stderr);
    app->setMainView(view.get());
    view->setVisible(true);
    if (!view->start()) {
      status = 1;
    } else if (view->guard().running()) {
      status = QCoreApplication::exec();
      // A run the guard ended reports its own status, whatever the loop said.
      if (!view->guard().running()) status = view->guard().status();
    } else {
      status = view->guard().status();
    }
  } catch (const ErrorHandlingException&) {
    EntryGuard::printFatal(currentErrorText());
    status = 1;
  }
  app->setMainView(nullptr);
  view.reset();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  installHostMessageFilter();
  WindowOptions options;
  int status = 0;
  if (!WindowOptions::parse(argc, argv, QDir::currentPath().toLocal8Bit(), options, status)) return status;
  hostmem::setLimit(options.memoryLimit);
  // The toolkit aborts when it finds no X server; a plain message is kinder.
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if ((platform.isEmpty() || platform == "xcb") && !x11::canConnect()) {
    std::fprintf(stderr, "mcb: cannot open the X display '%s'\n", qgetenv("DISPLAY").constData());
    return 1;
  }
  // Frames are painted by the raster engine; the GL integration would only
  // load the GL drivers.
  if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION")) qputenv("QT_XCB_GL_INTEGRATION", "none");
  QtClientApplication app(argc, argv);
  return run(options);
}
