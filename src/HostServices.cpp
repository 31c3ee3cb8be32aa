#include "HostServices.h"

#include "CAppsFileReader.h"
#include "ClientVM.h"
#include "Errors.h"
#include "ExtensionManager.h"
#include "FileInputStream.h"
#include "FileOutputStream.h"
#include "FileUtility.h"
#include "Orientation.h"
#include "Scheduler.h"

#include <cstdio>
#include <cstdlib>
#include <sys/time.h>

namespace {

TUint64 nowMicros() {
  timeval tv;
  gettimeofday(&tv, nullptr);
  return static_cast<TUint64>(tv.tv_sec) * 1000000u + static_cast<TUint64>(tv.tv_usec);
}

}  // namespace

HostServices::HostServices(const CAppsString& applicationDirectory)
    : iDirectory(applicationDirectory), iScheduler(new Scheduler), iStartMicros(nowMicros()) {
  iScheduler->setGuard(&iGuard);
}

HostServices::~HostServices() {}

void HostServices::start(ClientVM* vm) {
  iVm = vm;
  iDiagnostics.reset(vm ? new RunDiagnostics(*vm) : nullptr);
  if (vm) vm->setObserver(iDiagnostics.get());
  iExtensions.reset();
  iStartMicros = nowMicros();
  iScheduler->setVM(vm);
}

NERIM::OutputStream* HostServices::openOutputStream(const NString& name, TInt32 truncate) {
  CAppsString path;
  if (!iDirectory.resolveWritable(name, path)) return nullptr;
  Vec<TUint8> old;
  if (!truncate) {
    CAppsFileReader reader(path);
    if (reader.isOpen()) reader.readIntoByteVector(old);
    reader.close();
  }
  auto* stream = new NERIM::FileOutputStream;
  // The old bytes go back after the open has emptied the file, so writes
  // continue at the end; failing that the file would silently shrink.
  if (!stream->open(path) || (old.size() > 0 && !stream->write(old.data(), old.size()))) {
    delete stream;
    return nullptr;
  }
  return stream;
}

NERIM::InputStream* HostServices::openInputStream(const NString& name) {
  CAppsString path;
  if (!iDirectory.resolve(name, path)) return nullptr;
  auto* stream = new NERIM::FileInputStream;
  if (!stream->open(path)) {
    delete stream;
    return nullptr;
  }
  return stream;
}

bool HostServices::deleteFile(const NString& name) {
  CAppsString path;
  return iDirectory.resolveEntry(name, path) && FileUtility::fileExists(path) && FileUtility::deleteFile(path);
}

bool HostServices::fileExists(const NString& name) {
  CAppsString path;
  return iDirectory.resolve(name, path) && FileUtility::fileExists(path);
}

bool HostServices::moveFile(const NString& source, const NString& target) {
  CAppsString from, to;
  return iDirectory.resolveEntry(source, from) && iDirectory.resolveEntry(target, to) &&
         FileUtility::moveFile(from, to);
}

bool HostServices::listDirectory(const NString& name, Vec<NString>& files, Vec<NString>& directories) {
  CAppsString path;
  if (!iDirectory.resolve(name, path)) return false;
  Vec<CAppsString> fileNames, directoryNames;
  if (!FileUtility::getFileListing(path, fileNames, true)) return false;
  if (!FileUtility::getDirectoryListing(path, directoryNames, true)) return false;
  for (const CAppsString& n : fileNames) files.append(n.toNString());
  for (const CAppsString& n : directoryNames) directories.append(n.toNString());
  return true;
}

bool HostServices::makePath(const NString& name) {
  CAppsString path;
  return iDirectory.resolve(name, path) && FileUtility::makePath(path);
}

bool HostServices::deleteDirectory(const NString& name) {
  CAppsString path;
  return iDirectory.resolveEntry(name, path) && FileUtility::deleteDirectory(path);
}

bool HostServices::renameDirectory(const NString& source, const NString& target) {
  CAppsString from, to;
  return iDirectory.resolveEntry(source, from) && iDirectory.resolveEntry(target, to) &&
         FileUtility::renameDirectory(to, from);
}

bool HostServices::directoryExists(const NString& name) {
  CAppsString path;
  return iDirectory.resolve(name, path) && FileUtility::directoryExists(path);
}

TUint64 HostServices::currentTimeMillis() { return nowMicros() / 1000u; }

TUint64 HostServices::elapsedMillis() { return (nowMicros() - iStartMicros) / 1000u; }

bool HostServices::setLogFile(const NString& name) {
  if (name.isEmpty()) {
    iLog.clearFile();
    return true;
  }
  CAppsString path;
  if (!iDirectory.resolveWritable(name, path)) return false;
  return iLog.setFile(path);
}

void HostServices::exitApplication() {
  // No destructor runs after exit(0). Native objects own open streams and
  // host memory: freeing them closes the streams, so written bytes reach
  // their files. The log file is closed for the same reason.
  if (iVm) {
    try {
      iVm->heap().sweep();
    } catch (const ErrorHandlingException&) {
    }
  }
  iLog.closeFile();
  std::fflush(stderr);
  std::exit(0);
}

ExtensionManager& HostServices::extensions() {
  if (!iExtensions) iExtensions.reset(new ExtensionManager(iVm, this));
  return *iExtensions;
}

bool HostServices::extensionsActive() const { return iExtensions && iExtensions->active(); }

TInt32 HostServices::callExtension(VMState& state, TInt32 extension, TInt32 opcode) {
  return extensions().callExtension(state, extension, opcode);
}

void HostServices::getScreenSize(TInt32& width, TInt32& height) { orientation::screenSize(iOrientation, width, height); }

TInt32 HostServices::addTimer(TInt32 listener, TInt32 delayMillis) {
  if (delayMillis < 0) return 0;
  return iScheduler->addTimer(listener, static_cast<TUint32>(delayMillis));
}

TInt32 HostServices::removeTimer(TInt32 id) { return iScheduler->removeTimer(id); }

bool HostServices::updateTimerDelay(TInt32 id, TInt32 delayMillis) {
  if (delayMillis < 0) return false;
  iScheduler->updateTimerDelay(id, static_cast<TUint32>(delayMillis));
  return true;
}
