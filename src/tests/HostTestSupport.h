#pragma once
// Shared pieces of the host tests: a temporary application directory, the
// one Qt application object, a host that records what it is asked, and
// native calls driven on a machine's state.
#include "CAppsString.h"
#include "ClientVM.h"
#include "Errors.h"
#include "HostServices.h"
#include "NString.h"
#include "NativeHelpers.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <string>
#include <vector>

namespace hosttest {

inline QCoreApplication& app() {
  static int argc = 1;
  static char name[] = "host_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* instance = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  (void)instance;
  return *QCoreApplication::instance();
}

// A fresh directory with the application directory "app" inside it, so
// that tests can place things outside the application's reach.
struct Sandbox {
  QTemporaryDir root;
  QString app = root.path() + "/app";
  Sandbox() { QDir().mkpath(app); }
  QString outside(const QString& name) const { return root.path() + "/" + name; }
  QString inside(const QString& name) const { return app + "/" + name; }
  CAppsString appPath() const { return CAppsString::fromQString(app); }
};

inline void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write(bytes);
}

inline QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void link(const QString& target, const QString& at) { ASSERT_TRUE(QFile::link(target, at)) << at.toStdString(); }

// Runs the event loop until something quits it; a loop nothing ends fails
// the test instead of blocking it.
inline void runLoop() {
  bool hung = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    hung = true;
    QCoreApplication::exit(0);
  });
  guard.start(20000);
  QCoreApplication::exec();
  EXPECT_FALSE(hung) << "the event loop was not ended";
}

inline int openDescriptors() { return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(); }

// Host services that keep the log and count existence queries.
class RecordingHost : public HostServices {
 public:
  using HostServices::HostServices;
  void log(const NString& message) override {
    Vec<TUint8> b;
    message.toUtf8(b);
    logs.emplace_back(reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.size()));
  }
  bool fileExists(const NString& name) override {
    ++existsQueries;
    return HostServices::fileExists(name);
  }
  std::vector<std::string> logs;
  int existsQueries = 0;
};

// Runs the body and expects it to raise code; returns the message.
template <typename F> std::string raised(TInt32 code, F body) {
  clearError();
  try {
    body();
  } catch (const ErrorHandlingException&) {
    EXPECT_EQ(currentErrorCode(), code) << currentErrorText().toStdString();
    return currentErrorText().toStdString();
  }
  ADD_FAILURE() << "no raise";
  return std::string();
}

// Native calls on a machine without an image: arguments are pushed, the
// call runs through the machine's group switch.
class NativeBench {
 public:
  explicit NativeBench(FrameworkServices* host) : vm(host) { vm.state().sp = -1; }
  VMHeap& heap() { return vm.state().heap; }
  NativeBench& push(TUint32 w) {
    vm.state().stack[++vm.state().sp] = w;
    return *this;
  }
  void call(TInt32 group, TInt32 op) { vm.nativeCall(group, op); }
  TUint32 pop() { return vm.state().stack[vm.state().sp--]; }
  TInt32 depth() const { return const_cast<ClientVM&>(vm).state().sp + 1; }
  // A rooted one-word cell, as the bytecode's reader, writer and timer objects are.
  TUint32 cell() {
    const VMAddr c = heap().allocateWords(1, GC_CODE_REF_HOLDER);
    heap().addRoot(c);
    return c;
  }
  TUint32 string(const char* text) { return native::newStringFrom(heap(), NString(text)); }
  ClientVM vm;
};

}  // namespace hosttest
