// The runtime executable against real servers: keys and pointer through
// the X server, the window manager's current-window report and the display
// status from the stand-ins, the failure texts and exit statuses.
#include "WindowFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using windowtest::Child;
using windowtest::WindowWorld;

namespace {

const QString kEvents = QStringLiteral(WINDOW_TESTS_DIR "/events.asm");

class Runtime : public WindowWorld {
 protected:
  void SetUp() override {
    WindowWorld::SetUp();
    if (HasFatalFailure()) return;
    assemble(kEvents);
    if (HasFatalFailure()) return;
    startRuntime();
    if (HasFatalFailure()) return;
    ASSERT_EQ(nextLog(), "LOG: started");
  }
  // A press and release of the space bar, seen by the image: every event
  // caused before it has been handled by then.
  void sync() {
    key("space");
    EXPECT_EQ(nextLog(), "LOG: pressed 32 65  ");
    EXPECT_EQ(nextLog(), "LOG: released 32 65  ");
  }
};

TEST_F(Runtime, KeysArriveThroughTheKeyTable) {
  key("a");
  EXPECT_EQ(nextLog(), "LOG: pressed 65 38 a");
  EXPECT_EQ(nextLog(), "LOG: released 65 38 a");
  key("Return");
  EXPECT_EQ(nextLog(), "LOG: pressed 16777217 36 \r");
  EXPECT_EQ(nextLog(), "LOG: released 16777217 36 \r");
  key("KP_Enter");
  EXPECT_EQ(nextLog(), "LOG: pressed 16777216 104 \r");
  EXPECT_EQ(nextLog(), "LOG: released 16777216 104 \r");
  key("Escape");
  EXPECT_EQ(nextLog(), "LOG: pressed 16777216 9 \x1b");
  EXPECT_EQ(nextLog(), "LOG: released 16777216 9 \x1b");
  key("BackSpace");
  EXPECT_EQ(nextLog(), "LOG: pressed 16777218 22 \b");
  EXPECT_EQ(nextLog(), "LOG: released 16777218 22 \b");
  key("Left");
  EXPECT_EQ(nextLog(), "LOG: pressed 16777219 113 ");
  EXPECT_EQ(nextLog(), "LOG: released 16777219 113 ");
}

TEST_F(Runtime, PointerKindsAtWindowCoordinates) {
  ASSERT_TRUE(x("xdotool", {"mousemove", "--window", window, "10", "20", "mousedown", "1", "mousemove", "--window",
                            window, "30", "40", "mouseup", "1"}));
  EXPECT_EQ(nextLog(), "LOG: pointer 0 10 20");
  EXPECT_EQ(nextLog(), "LOG: pointer 6 30 40");
  EXPECT_EQ(nextLog(), "LOG: pointer 1 30 40");
  // No button held: the move reaches nobody.
  ASSERT_TRUE(x("xdotool", {"mousemove", "--window", window, "50", "60"}));
  sync();
}

TEST_F(Runtime, CurrentWindowReportsGiveOneEventPerChange) {
  current("current " + window.toLatin1());
  EXPECT_EQ(nextLog(), "LOG: foreground");
  current("current all");  // all ones is this window too: no change
  current("current 0x1234");
  EXPECT_EQ(nextLog(), "LOG: background");
  current("current 0x1235");
  current("current all");
  EXPECT_EQ(nextLog(), "LOG: foreground");
  // Another type, another format, no item: the report is not read.
  current("raw CARDINAL 32 4660");
  current("raw WINDOW 16 4660");
  current("raw WINDOW 32");
  sync();
  current("current 0x1234");
  EXPECT_EQ(nextLog(), "LOG: background");
}

TEST_F(Runtime, DisplayStatusFromTheModeControlService) {
  current("current " + window.toLatin1());
  EXPECT_EQ(nextLog(), "LOG: foreground");
  status("status off");
  EXPECT_EQ(nextLog(), "LOG: background");
  status("status off");  // no change
  status("status OFF");  // not exactly "off": on
  EXPECT_EQ(nextLog(), "LOG: foreground");
  status("status off");
  EXPECT_EQ(nextLog(), "LOG: background");
  status("status on");
  EXPECT_EQ(nextLog(), "LOG: foreground");

  // Another signature, or the same signal from a connection that does not
  // own the service name, changes nothing.
  status("status-int 0");
  ASSERT_TRUE(x("dbus-send", {"--address=" + env.value("DBUS_SYSTEM_BUS_ADDRESS"), "--type=signal",
                              "/com/nokia/mce/signal", "com.nokia.mce.signal.display_status_ind", "string:off"}));
  sync();
  // Display off and the window not current: one background event.
  status("status off");
  EXPECT_EQ(nextLog(), "LOG: background");
  current("current 0x1234");
  sync();
  status("status on");
  sync();
}

TEST_F(Runtime, AnErrorEscapingTheImageIsFatal) {
  key("F");
  EXPECT_EQ(nextLog(), "LOG: pressed 16777216 50 ");  // the shift key
  EXPECT_EQ(nextLog(), "LOG: pressed 70 41 F");
  EXPECT_EQ(nextLog(), "FATAL: RuntimeException: Invalid address");
  EXPECT_EQ(runtime.waitExit(), 1);
}

TEST_F(Runtime, ATerminationRequestEndsInOrder) {
  key("q");
  EXPECT_EQ(nextLog(), "LOG: pressed 81 24 q");
  EXPECT_EQ(runtime.waitExit(), 0);
}

TEST_F(Runtime, ExitEndsAtOnce) {
  key("x");
  EXPECT_EQ(nextLog(), "LOG: pressed 88 53 x");
  EXPECT_EQ(runtime.waitExit(), 0);
}

TEST_F(WindowWorld, TheWindowCoversABareScreen) {
  assemble(kEvents);
  startRuntime();
  QByteArray out;
  ASSERT_TRUE(x("xdotool", {"getwindowgeometry", window}, &out));
  EXPECT_TRUE(out.contains("Position: 0,0")) << out.constData();
  EXPECT_TRUE(out.contains("Geometry: 800x480")) << out.constData();
  // The marking for the compositor was written to the root window.
  ASSERT_TRUE(x("xwininfo", {"-root"}, &out));
  const QByteArray root = out.mid(out.indexOf("Window id: ") + 11).split(' ').first();
  EXPECT_EQ(wm.nextStarting("non-composited"), "non-composited " + root + " 1 INTEGER 32");
}

TEST_F(WindowWorld, FailuresAndTheirStatuses) {
  // No image: the full path, status 1.
  runtime.setWorkingDirectory(app);
  ASSERT_TRUE(runtime.start(MCB_PATH, {}, env, true));
  EXPECT_EQ(runtime.waitExit(), 1);
  EXPECT_TRUE(runtime.all().endsWith("Failed to open '" + app.toUtf8() + "/index.mcb'\n")) << runtime.all().constData();

  // An image the loader refuses: the fixed message, then what is wrong and where.
  {
    QFile bad(app + "/index.mcb");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("\x02" "ab\xff\xff\x00\x02", 7));
  }
  Child refused;
  refused.setWorkingDirectory(app);
  ASSERT_TRUE(refused.start(MCB_PATH, {}, env, true));
  EXPECT_EQ(refused.waitExit(), 1);
  EXPECT_EQ(refused.all(), "FATAL: RuntimeException: OPEN BYTECODE EXCEPTION\n  " + app.toUtf8() +
                               "/index.mcb: bad magic at byte 6: 0x02, expected 0x01\n");
  QFile::remove(app + "/index.mcb");

  // --auto: /opt/<base name of the program>; the longest name that fits is
  // 4091 characters, one more is refused before anything else happens.
  auto startedAs = [&](const QByteArray& name) {
    Child c;
    EXPECT_TRUE(c.start("bash", {"-c", "exec -a \"$0\" " MCB_PATH " --auto", "/usr/bin/" + name}, env, true));
    const int status = c.waitExit(60000);
    return std::make_pair(status, c.all());
  };
  const auto fits = startedAs(QByteArray(4091, 'm'));
  EXPECT_EQ(fits.first, 1);
  EXPECT_TRUE(fits.second.endsWith("Failed to open '/opt/" + QByteArray(4091, 'm') + "/index.mcb'\n"));
  const auto tooLong = startedAs(QByteArray(4092, 'm'));
  EXPECT_EQ(tooLong.first, 1);
  EXPECT_EQ(tooLong.second, QByteArray(4092, 'm') + ": VM basename too long\n");

  // --help needs no display; an unknown option is reported and ignored.
  Child help;
  QProcessEnvironment bare = env;
  bare.remove("DISPLAY");
  help.start(MCB_PATH, {"--help"}, bare);
  EXPECT_TRUE(help.next().startsWith("usage: mcb "));
  EXPECT_EQ(help.waitExit(), 0);
  runtime.start(MCB_PATH, {"--frobnicate"}, env, true);
  EXPECT_EQ(runtime.waitExit(), 1);
  EXPECT_TRUE(runtime.all().contains("unrecognized option '--frobnicate'")) << runtime.all().constData();
  EXPECT_TRUE(runtime.all().contains("Failed to open")) << runtime.all().constData();
}

// The same image under the default limit and under a small one given on
// the command line; a limit that cannot be read stops the run before it.
TEST_F(WindowWorld, TheHostMemoryLimitComesFromTheCommandLine) {
  assemble(QStringLiteral(WINDOW_TESTS_DIR "/memory.asm"));
  runtime.setWorkingDirectory(app);
  ASSERT_TRUE(runtime.start(MCB_PATH, {}, env, true));
  EXPECT_EQ(nextLog(), "LOG: built");
  EXPECT_EQ(runtime.waitExit(), 0);

  Child limited;
  limited.setWorkingDirectory(app);
  ASSERT_TRUE(limited.start(MCB_PATH, {"--memory-limit", "1000000"}, env, true));
  EXPECT_EQ(limited.next(), "LOG: InvalidArgumentException: Host memory limit reached");
  EXPECT_EQ(limited.waitExit(), 0);

  Child bad;
  bad.setWorkingDirectory(app);
  ASSERT_TRUE(bad.start(MCB_PATH, {"--memory-limit", "1M"}, env, true));
  EXPECT_EQ(bad.waitExit(), 1);
  EXPECT_EQ(bad.all(), "mcb: --memory-limit needs a non-negative number, not '1M'\n");
}

TEST_F(WindowWorld, WithoutTheBusTheRunGoesOn) {
  assemble(kEvents);
  env.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + root.path() + "/no-bus");
  QProcess p;
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(app);
  p.start(MCB_PATH, {"--title", "mcbtest"});
  ASSERT_TRUE(p.waitForStarted());
  QByteArray out;
  ASSERT_TRUE(x("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^mcbtest$"}, &out));
  ASSERT_TRUE(x("xdotool", {"windowfocus", "--sync", QString::fromLatin1(out.split(char(10)).first())}));
  ASSERT_TRUE(x("xdotool", {"key", "x"}));
  ASSERT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_EQ(p.readAllStandardError(), "FATAL: Failed to connect to dbus\nLOG: started\nLOG: pressed 88 53 x\n");
}

}  // namespace
