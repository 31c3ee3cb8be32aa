#include "HeadlessRun.h"

#include "CAppsFileReader.h"
#include "ClientVM.h"
#include "Errors.h"
#include "HostMemory.h"
#include "HostServices.h"
#include "RunOptions.h"
#include "Scheduler.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

const char kImage[] = "index.mcb";

// Runs init and main; false when the image is missing (already reported).
bool start(HostServices& host, ClientVM& vm) {
  NERIM::InputStream* stream = host.openInputStream(NString(kImage));
  CAppsFileReader reader(stream);
  if (!stream || !reader.isOpen()) {
    const QByteArray path = host.directory().join(NString(kImage)).toQString().toUtf8();
    std::fprintf(stderr, "Failed to open '%s'\n", path.constData());
    return false;
  }
  EntryGuard& guard = host.guard();
  guard.run([&] { vm.load(reader, CAppsString(kImage)); });
  reader.close();
  guard.run([&] { vm.callGlobalInit(); });
  guard.run([&] { vm.callMain(); });
  return true;
}

}  // namespace

int runHeadless(const RunOptions& options) {
  HostServices host(CAppsString::fromQString(QDir(options.directory).absolutePath()));
  // Destroyed before the host: freeing the heap stops timers through it.
  std::unique_ptr<ClientVM> vm(new ClientVM(&host));
  host.start(vm.get());
  if (options.budget >= 0) vm->setBudget(options.budget);
  if (options.memoryLimit >= 0) hostmem::setLimit(static_cast<size_t>(options.memoryLimit));

  EntryGuard& guard = host.guard();
  bool looping = false;
  guard.setAfterCall([&] {
    if (options.verifyHeap) vm->heap().verify();
    if (looping && host.scheduler().liveTimers() == 0) QCoreApplication::exit(0);
  });

  if (!start(host, *vm)) return 1;

  if (guard.running() && host.scheduler().liveTimers() > 0) {
    // Owned here, so it cannot fire into a later loop after this run is gone.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] { guard.fail(QStringLiteral("Time limit reached")); });
    if (options.timeLimitMs >= 0) limit.start(static_cast<int>(std::min<TInt64>(options.timeLimitMs, 0x7FFFFFFF)));
    looping = true;
    QCoreApplication::exec();
    looping = false;
  }

  int status = guard.status();
  if (options.verifyHeap && guard.outcome() != EntryGuard::FAILED) {
    try {
      vm->heap().verify();
    } catch (const ErrorHandlingException&) {
      EntryGuard::printFatal(currentErrorText());
      status = 1;
    }
  }
  vm.reset();
  return status;
}
