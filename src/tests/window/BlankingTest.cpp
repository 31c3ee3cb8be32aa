// The blanking-pause controller against the mode-control stand-in on a
// private bus: one request at once however often the pause is asked for,
// then one every 9 s, none after the pause ends.
#include "ScreenBlankingController.h"
#include "WindowFixture.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <QTimer>

using windowtest::WindowWorld;

namespace {

void runFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

qint64 requestTime(const QByteArray& line) {
  const QByteArray prefix = "req_display_blanking_pause ";
  EXPECT_TRUE(line.startsWith(prefix)) << line.constData();
  return line.mid(prefix.size()).toLongLong();
}

}  // namespace

TEST_F(WindowWorld, BlankingPauseRequestsEveryNineSeconds) {
  static int argc = 1;
  static char name[] = "window_tests";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  // The process's system bus is this test's private one.
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", env.value("DBUS_SYSTEM_BUS_ADDRESS").toLocal8Bit());
  // Connected before the clock matters: the first request should not wait
  // for the connection to be made.
  ASSERT_TRUE(QDBusConnection::systemBus().isConnected());
  runFor(100);
  ScreenBlankingController& controller = ScreenBlankingController::instance();

  controller.setPaused(true);
  controller.setPaused(true);
  EXPECT_TRUE(controller.paused());
  runFor(9500);
  controller.setPaused(false);
  EXPECT_FALSE(controller.paused());
  const qint64 first = requestTime(mce.next(2000));
  const qint64 second = requestTime(mce.next(2000));
  // The stand-in stamps arrivals, so delivery delays blur the period a little.
  EXPECT_GE(second - first, 8500);
  EXPECT_LE(second - first, 10500);  // a busy machine may fire late, never early
  runFor(200);
  EXPECT_TRUE(mce.next(300).isNull()) << "a request after the pause ended";

  // Ended and asked again: a request at once.
  controller.setPaused(true);
  runFor(300);
  controller.setPaused(false);
  EXPECT_TRUE(mce.next(2000).startsWith("req_display_blanking_pause "));
  EXPECT_TRUE(mce.next(300).isNull());
}
