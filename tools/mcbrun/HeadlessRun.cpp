#include "HeadlessRun.h"

#include "ClientVM.h"
#include "Errors.h"
#include "EventReplay.h"
#include "FramePainter.h"
#include "HostMemory.h"
#include "HostServices.h"
#include "ImageStart.h"
#include "MachineEntries.h"
#include "RunDiagnostics.h"
#include "RunOptions.h"
#include "RunTrace.h"
#include "Scheduler.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// --trace and --profile: which observer sees the run, and which code it sees.
bool watch(const RunOptions& options, ClientVM& vm, RunDiagnostics& diagnostics, std::unique_ptr<MRunObserver>& watcher) {
  if (!options.trace && !options.profile) return true;
  TInt32 from = 0, to = vm.tables().codeSize;
  if (!options.traceMethod.isEmpty() && !diagnostics.methodRange(options.traceMethod.toStdString(), from, to)) {
    std::fprintf(stderr, "mcbrun: no method '%s' to trace%s\n", options.traceMethod.toLocal8Bit().constData(),
                 diagnostics.hasMap() ? " in the map" : " (the image has no map beside it)");
    return false;
  }
  if (options.trace) watcher.reset(new RunTrace(vm, diagnostics));
  else watcher.reset(new RunProfile(vm, diagnostics));
  vm.setObserver(watcher.get());
  vm.setTraceRange(from, to);
  return true;
}

// The draw calls after main, on a backing pixmap of the screen size, and
// the screenshot after the last of them.
void drawFrames(const RunOptions& options, HostServices& host, ClientVM& vm) {
  const TInt64 frames = options.frames >= 0 ? options.frames : (options.screenshot.isEmpty() ? 0 : 1);
  if (frames == 0 && options.screenshot.isEmpty()) return;
  TInt32 width = 0, height = 0;
  host.getScreenSize(width, height);
  QPixmap backing(width, height);
  backing.fill(Qt::black);
  EntryGuard& guard = host.guard();
  for (TInt64 i = 0; i < frames && guard.running(); ++i) guard.run([&] { paintFrame(backing, vm); });
  if (!options.screenshot.isEmpty() && !backing.save(options.screenshot, "PNG"))
    guard.fail(QStringLiteral("Could not write the screenshot ") + options.screenshot);
}

}  // namespace

int runHeadless(const RunOptions& options) {
  HostServices host(CAppsString::fromQString(QDir(options.directory).absolutePath()));
  // Destroyed before the host: freeing the heap stops timers through it.
  std::unique_ptr<ClientVM> vm(new ClientVM(&host));
  host.start(vm.get());
  if (options.budget >= 0) vm->setBudget(options.budget);
  // Held while bytecode runs too, not only between the timer events.
  if (options.timeLimitMs >= 0) vm->setTimeLimit(options.timeLimitMs);
  hostmem::setLimit(options.memoryLimit);

  EntryGuard& guard = host.guard();
  bool looping = false;
  const bool replaying = !options.replayFile.isEmpty();
  // Without a window the run lasts while a timer can still call the image
  // or an extension still plays sound.
  auto busy = [&] { return host.scheduler().liveTimers() > 0 || host.extensionsActive(); };
  guard.setAfterCall([&] {
    if (options.verifyHeap) vm->heap().verify();
    if (looping && !replaying && !busy()) QCoreApplication::exit(0);
  });

  // A replay drives the timers from the recording, so they fire as often
  // and in the same order as they did in the window, and draws the frames
  // the window drew, with their clips, on a pixmap sized as the window's.
  MachineEntries entries(guard);
  QPixmap backing;
  EventReplay replay(entries, host);
  if (replaying) {
    QString error;
    if (!replay.load(options.replayFile, error)) {
      std::fprintf(stderr, "mcbrun: %s\n", error.toLocal8Bit().constData());
      return 2;
    }
    host.scheduler().setManual(true);
    replay.onTimer([&](TInt32 id) { host.scheduler().fire(id); });
    replay.onResize([&](TInt32 width, TInt32 height) {
      backing = QPixmap(width, height);
      backing.fill(Qt::black);
    });
    replay.onDraw([&](const QRegion& clip) {
      if (!backing.isNull()) guard.run([&] { paintFrame(backing, *vm, clip); });
    });
  }
  RunDiagnostics& diagnostics = *host.diagnostics();
  std::unique_ptr<MRunObserver> watcher;
  ImageStartHooks hooks;
  hooks.afterLoad = [&] { return watch(options, *vm, diagnostics, watcher); };
  if (!startImage(host, *vm, options.image, hooks)) return 1;
  entries.setVM(vm.get());
  if (guard.running() && !replaying) drawFrames(options, host, *vm);

  if (guard.running() && (replaying || busy())) {
    // Owned here, so it cannot fire into a later loop after this run is gone.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
      guard.fail(composeErrorMessage(ERR_RUNTIME, QStringLiteral("Time limit reached")));
    });
    if (options.timeLimitMs >= 0) limit.start(static_cast<int>(std::min<TInt64>(options.timeLimitMs, 0x7FFFFFFF)));
    // Sound ends without a call into the image, so it is looked at now and then.
    QTimer idle;
    QObject::connect(&idle, &QTimer::timeout, [&] {
      if (!busy()) QCoreApplication::exit(0);
    });
    if (!replaying) idle.start(50);
    looping = true;
    if (replaying) replay.start([] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    looping = false;
  }
  if (replaying && guard.outcome() != EntryGuard::FAILED && !options.screenshot.isEmpty() && !backing.save(options.screenshot, "PNG"))
    guard.fail(QStringLiteral("Could not write the screenshot ") + options.screenshot);

  int status = guard.status();
  if (options.verifyHeap && guard.outcome() != EntryGuard::FAILED) {
    try {
      vm->heap().verify();
    } catch (const ErrorHandlingException&) {
      EntryGuard::printFatal(currentErrorText());
      status = 1;
    }
  }
  if (options.profile && watcher) {
    const std::string report = static_cast<RunProfile*>(watcher.get())->report();
    std::fwrite(report.data(), 1, report.size(), stderr);
  }
  vm->setObserver(nullptr);
  watcher.reset();
  vm.reset();
  return status;
}
