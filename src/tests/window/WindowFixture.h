#pragma once
// The window tests' world: a private X server (Xvfb on a display number it
// picks), a private bus standing in for the system bus, the two platform
// stand-ins and the runtime under test. Each is a child process of its own,
// stopped by its pid when the test ends.
#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace windowtest {

// A child process whose output is read line by line.
class Child {
 public:
  Child() {}
  ~Child() { stop(); }

  // stderr: read standard error (the runtime's channel) instead of output.
  bool start(const QString& program, const QStringList& args, const QProcessEnvironment& env, bool stderrLines = false);
  // Stops the process by its pid (terminate, then kill); returns the exit status.
  int stop();
  // Waits for the process to end by itself; -1 on timeout.
  int waitExit(int ms = 30000);
  void setWorkingDirectory(const QString& directory) { iDirectory = directory; }
  qint64 pid() const { return iProcess ? iProcess->processId() : 0; }

  // The next unread line, or a null array after ms without one.
  QByteArray next(int ms = 10000);
  // Skips lines until one starts with prefix; returns it (null on timeout).
  QByteArray nextStarting(const QByteArray& prefix, int ms = 10000);
  void send(const QByteArray& line);
  // Everything read so far (for failure messages).
  const QByteArray& all() const { return iAll; }

 private:
  bool fill(int ms);

  QString iDirectory;
  std::unique_ptr<QProcess> iProcess;
  bool iStderr = false;
  QByteArray iBuffer, iAll;
  int iExit = -1;
};

class WindowWorld : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Assembles a source into the application directory's index.mcb.
  void assemble(const QString& source);
  // Starts the runtime (title "mcbtest") and waits for its window.
  void startRuntime(const QStringList& extra = {});
  // The runtime's next "LOG: " or "FATAL: " line.
  QByteArray nextLog(int ms = 10000);
  // Runs a tool of the X server's display (xdotool ...); true on status 0.
  bool x(const QString& program, const QStringList& args, QByteArray* out = nullptr);
  // The screen as it is now.
  QImage screenshot();
  // A press and release of a key (an xdotool key name).
  void key(const char* name);
  // Sets the window manager's current-window report and waits until the server has it.
  void current(const QByteArray& command);
  // Makes the mode-control stand-in send a display status.
  void status(const QByteArray& command);

  QProcessEnvironment env;
  QTemporaryDir root;
  QString app;
  QByteArray display;
  QString window;  // the runtime's window id, decimal
  Child xserver, bus, mce, wm, runtime;
};

}  // namespace windowtest
