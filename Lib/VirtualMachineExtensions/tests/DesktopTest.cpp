// The desktop switch on a private bus: the exit-to-task-view signal sent by
// opcode 1 arrives at a listener subscribed to it.
#include "ExtensionTestSupport.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

class Listener : public QObject {
  Q_OBJECT
 public:
  int received = 0;
 public slots:
  void exitAppView() { ++received; }
};

// dbus-daemon on a private address, stopped by its pid.
class PrivateBus {
 public:
  PrivateBus() {
    FILE* p = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    char line[512];
    if (p && fgets(line, sizeof line, p)) address = QString::fromUtf8(line).trimmed();
    if (p && fgets(line, sizeof line, p)) pid = atoi(line);
    if (p) pclose(p);
  }
  ~PrivateBus() {
    if (pid > 0) kill(pid, SIGTERM);
  }
  QString address;
  int pid = 0;
};

}  // namespace

TEST(Desktop, ExitToTaskViewSignalReachesTheBus) {
  int argc = 1;
  char name[] = "desktop_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  PrivateBus bus;
  ASSERT_FALSE(bus.address.isEmpty());
  ASSERT_GT(bus.pid, 0);
  Listener listener;
  {
    QDBusConnection c = QDBusConnection::connectToBus(bus.address, QStringLiteral("listener"));
    ASSERT_TRUE(c.isConnected());
    ASSERT_TRUE(c.connect(QString(), QStringLiteral("/lofasz"), QStringLiteral("com.nokia.hildon_desktop"),
                          QStringLiteral("exit_app_view"), &listener, SLOT(exitAppView())));
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.address.toUtf8().constData(), 1);
    ExtensionRun r(mainWith("  EXTENSION_CALL 37, 1\n  EXTENSION_CALL 37, 1"));
    const RunResult res = r.run();
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(res.error, "");
    QElapsedTimer t;
    t.start();
    while (listener.received < 2 && t.elapsed() < 10000) app.processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(listener.received, 2);
  }
  QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
}

#include "DesktopTest.moc"
