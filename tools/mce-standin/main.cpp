// mce-standin: a stand-in for the platform's mode-control service, for
// tests and for trying the runtime by hand on a machine without one.
//
// It owns the service name "com.nokia.mce" on the bus it is given, emits
// the display-status signal when told, and reports every blanking-pause
// request it receives.
//
//   dbus-daemon --session --fork --print-address=1 --print-pid=3 3>bus.pid
//   mce-standin --bus <that address>       (default: $DBUS_SYSTEM_BUS_ADDRESS)
//
// Commands, one a line on standard input:
//   status TEXT      emits display_status_ind with TEXT ("on", "off", ...)
//                    from /com/nokia/mce/signal, interface com.nokia.mce.signal
//   status-int N     the same signal with an int32 argument instead (a
//                    signature the runtime must ignore)
//   quit
// Reports, one a line on standard output:
//   ready                                   the name is owned
//   sent TEXT                               a signal went out
//   req_display_blanking_pause <ms>         a request arrived on
//                                           /com/nokia/mce/request, interface
//                                           com.nokia.mce.request; <ms> is the
//                                           wall clock in ms since the epoch
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDateTime>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

namespace {

const char kService[] = "com.nokia.mce";

void report(const QByteArray& line) {
  std::fwrite(line.constData(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Answers every call under /com/nokia/mce/request; only the blanking-pause
// request of its interface is reported.
class RequestObject : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return QString(); }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() == QLatin1String("com.nokia.mce.request") &&
        message.member() == QLatin1String("req_display_blanking_pause") && message.arguments().isEmpty()) {
      report("req_display_blanking_pause " + QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    }
    if (!message.isReplyRequired()) return true;
    return connection.send(message.createReply());
  }
};

void emitStatus(QDBusConnection& bus, const QVariant& value) {
  QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/com/nokia/mce/signal"),
                                                   QStringLiteral("com.nokia.mce.signal"),
                                                   QStringLiteral("display_status_ind"));
  signal << value;
  bus.send(signal);
  report("sent " + value.toString().toUtf8());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString address = QString::fromLocal8Bit(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"));
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); ++i)
    if (args[i] == QLatin1String("--bus")) address = args[i + 1];
  if (address.isEmpty()) {
    std::fputs("usage: mce-standin --bus ADDRESS (or set DBUS_SYSTEM_BUS_ADDRESS)\n", stderr);
    return 2;
  }
  QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("mce-standin"));
  RequestObject requests;
  if (!bus.isConnected() || !bus.registerService(QLatin1String(kService)) ||
      !bus.registerVirtualObject(QStringLiteral("/com/nokia/mce/request"), &requests)) {
    std::fprintf(stderr, "mce-standin: cannot serve %s on %s\n", kService, address.toLocal8Bit().constData());
    return 1;
  }

  QByteArray pending;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) return QCoreApplication::quit();
    pending.append(buffer, static_cast<int>(n));
    int end;
    while ((end = pending.indexOf('\n')) >= 0) {
      const QByteArray line = pending.left(end).trimmed();
      pending.remove(0, end + 1);
      if (line.startsWith("status ")) emitStatus(bus, QString::fromUtf8(line.mid(7)));
      else if (line.startsWith("status-int ")) emitStatus(bus, line.mid(11).toInt());
      else if (line == "quit") QCoreApplication::quit();
      else if (!line.isEmpty()) std::fprintf(stderr, "mce-standin: unknown command '%s'\n", line.constData());
    }
  });
  report("ready");
  return app.exec();
}
