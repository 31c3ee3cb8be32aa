#include "WindowFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <csignal>
#include <sys/types.h>

namespace windowtest {

bool Child::start(const QString& program, const QStringList& args, const QProcessEnvironment& env, bool stderrLines) {
  iStderr = stderrLines;
  iProcess.reset(new QProcess);
  iProcess->setProcessEnvironment(env);
  if (!iDirectory.isEmpty()) iProcess->setWorkingDirectory(iDirectory);
  if (stderrLines) iProcess->setStandardOutputFile(QProcess::nullDevice());
  else iProcess->setStandardErrorFile(QProcess::nullDevice());
  iProcess->start(program, args);
  return iProcess->waitForStarted(10000);
}

int Child::stop() {
  if (!iProcess) return iExit;
  if (iProcess->state() != QProcess::NotRunning) {
    ::kill(static_cast<pid_t>(iProcess->processId()), SIGTERM);
    if (!iProcess->waitForFinished(5000)) {
      ::kill(static_cast<pid_t>(iProcess->processId()), SIGKILL);
      iProcess->waitForFinished(5000);
    }
  }
  fill(0);
  iExit = iProcess->exitStatus() == QProcess::NormalExit ? iProcess->exitCode() : -1;
  iProcess.reset();
  return iExit;
}

int Child::waitExit(int ms) {
  if (!iProcess) return iExit;
  if (!iProcess->waitForFinished(ms)) return -1;
  return stop();
}

bool Child::fill(int ms) {
  if (!iProcess) return false;
  auto take = [&] {
    const QByteArray got = iStderr ? iProcess->readAllStandardError() : iProcess->readAllStandardOutput();
    iBuffer += got;
    iAll += got;
    return !got.isEmpty();
  };
  if (take()) return true;
  if (ms <= 0 || iProcess->state() == QProcess::NotRunning) return false;
  // waitForReadyRead watches only the read channel that is current.
  iProcess->setReadChannel(iStderr ? QProcess::StandardError : QProcess::StandardOutput);
  iProcess->waitForReadyRead(ms);
  return take();
}

QByteArray Child::next(int ms) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    const int end = iBuffer.indexOf('\n');
    if (end >= 0) {
      const QByteArray line = iBuffer.left(end);
      iBuffer.remove(0, end + 1);
      return line;
    }
    const qint64 left = ms - clock.elapsed();
    if (left <= 0) return QByteArray();
    if (!fill(static_cast<int>(left)) && (!iProcess || iProcess->state() == QProcess::NotRunning)) {
      // The process is gone: a last line without its line feed still counts.
      const QByteArray rest = iBuffer;
      iBuffer.clear();
      return rest.isEmpty() ? QByteArray() : rest;
    }
  }
}

QByteArray Child::nextStarting(const QByteArray& prefix, int ms) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    const qint64 left = ms - clock.elapsed();
    if (left <= 0) return QByteArray();
    const QByteArray line = next(static_cast<int>(left));
    if (line.isNull() || line.startsWith(prefix)) return line;
  }
}

void Child::send(const QByteArray& line) {
  if (!iProcess) return;
  iProcess->write(line + '\n');
  iProcess->waitForBytesWritten(5000);
}

void WindowWorld::SetUp() {
  ASSERT_TRUE(root.isValid());
  app = root.path() + "/app";
  QDir().mkpath(app);
  const QString runtimeDir = root.path() + "/run";
  QDir().mkpath(runtimeDir);
  QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");
  env.insert("XDG_RUNTIME_DIR", runtimeDir);

  ASSERT_TRUE(xserver.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x480x24", "-nolisten", "tcp", "-noreset"}, env));
  display = ":" + xserver.next(20000).trimmed();
  ASSERT_GT(display.size(), 1) << "Xvfb gave no display number";
  env.insert("DISPLAY", display);

  ASSERT_TRUE(bus.start("dbus-daemon",
                        {"--session", "--nofork", "--print-address=1", "--address=unix:tmpdir=" + root.path()}, env));
  const QByteArray address = bus.next(20000).trimmed();
  ASSERT_FALSE(address.isEmpty()) << "the bus gave no address";
  env.insert("DBUS_SYSTEM_BUS_ADDRESS", address);

  ASSERT_TRUE(mce.start(TOOLS_DIR "/mce-standin", {}, env));
  ASSERT_EQ(mce.next(), "ready");
  ASSERT_TRUE(wm.start(TOOLS_DIR "/wm-standin", {}, env));
  ASSERT_EQ(wm.next(), "ready");
}

void WindowWorld::TearDown() {
  if (HasFailure()) std::fprintf(stderr, "runtime output:\n%s\n", runtime.all().constData());
  runtime.stop();
  wm.stop();
  mce.stop();
  bus.stop();
  xserver.stop();
}

void WindowWorld::assemble(const QString& source) {
  QProcess p;
  p.start(MCBASM_PATH, {"-I", EXAMPLES_LIB, source, "-o", app + "/index.mcb"});
  ASSERT_TRUE(p.waitForFinished(30000));
  ASSERT_EQ(p.exitCode(), 0) << p.readAll().constData();
}

void WindowWorld::startRuntime(const QStringList& extra) {
  runtime.setWorkingDirectory(app);
  ASSERT_TRUE(runtime.start(MCB_PATH, QStringList{"--title", "mcbtest"} + extra, env, true));
  QByteArray out;
  ASSERT_TRUE(x("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^mcbtest$"}, &out));
  window = QString::fromLatin1(out.split('\n').first().trimmed());
  ASSERT_FALSE(window.isEmpty());
  ASSERT_TRUE(x("xdotool", {"windowfocus", "--sync", window}));
}

QByteArray WindowWorld::nextLog(int ms) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    const qint64 left = ms - clock.elapsed();
    if (left <= 0) return QByteArray();
    const QByteArray line = runtime.next(static_cast<int>(left));
    if (line.isNull() || line.startsWith("LOG: ") || line.startsWith("FATAL: ")) return line;
  }
}

bool WindowWorld::x(const QString& program, const QStringList& args, QByteArray* out) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(program, args);
  if (!p.waitForFinished(20000)) {
    p.kill();
    p.waitForFinished();
    return false;
  }
  if (out) *out = p.readAllStandardOutput();
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void WindowWorld::key(const char* name) { ASSERT_TRUE(x("xdotool", {"key", name})); }

void WindowWorld::current(const QByteArray& command) {
  wm.send(command);
  ASSERT_EQ(wm.nextStarting("set"), "set");
}

void WindowWorld::status(const QByteArray& command) {
  mce.send(command);
  ASSERT_TRUE(mce.nextStarting("sent").startsWith("sent"));
}

QImage WindowWorld::screenshot() {
  Display* d = XOpenDisplay(display.constData());
  if (!d) return QImage();
  XSync(d, False);
  const int w = DisplayWidth(d, DefaultScreen(d)), h = DisplayHeight(d, DefaultScreen(d));
  XImage* image = XGetImage(d, DefaultRootWindow(d), 0, 0, w, h, AllPlanes, ZPixmap);
  QImage shot(w, h, QImage::Format_RGB32);
  for (int y = 0; image && y < h; ++y)
    for (int xx = 0; xx < w; ++xx) shot.setPixel(xx, y, static_cast<QRgb>(XGetPixel(image, xx, y)) | 0xFF000000u);
  if (image) XDestroyImage(image);
  XCloseDisplay(d);
  return shot;
}

}  // namespace windowtest
