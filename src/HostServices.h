#pragma once
// The host services every host shares: files under the application
// directory, the log, clocks, timers, ending the run. The screen, display
// and extension operations answer as a host without a window does; a
// window host overrides them.
#include "ApplicationDirectory.h"
#include "EntryGuard.h"
#include "FrameworkServices.h"
#include "HostLog.h"
#include "NString.h"
#include "Orientation.h"
#include "RunDiagnostics.h"

#include <memory>

class ClientVM;
class ExtensionManager;
class Scheduler;

class HostServices : public FrameworkServices {
 public:
  explicit HostServices(const CAppsString& applicationDirectory);
  ~HostServices() override;
  HostServices(const HostServices&) = delete;
  HostServices& operator=(const HostServices&) = delete;

  // Start-up: the clock starts, the timers report to vm and the
  // extensions call back into it.
  void start(ClientVM* vm);
  EntryGuard& guard() { return iGuard; }
  // Names code offsets and call chains for the machine given to start
  // (null before it); it is the machine's observer.
  RunDiagnostics* diagnostics() { return iDiagnostics.get(); }
  Scheduler& scheduler() { return *iScheduler; }
  const ApplicationDirectory& directory() const { return iDirectory; }

  // FileSystemServices
  NERIM::OutputStream* openOutputStream(const NString& name, TInt32 truncate) override;
  NERIM::InputStream* openInputStream(const NString& name) override;
  bool deleteFile(const NString& name) override;
  bool fileExists(const NString& name) override;
  TInt32 reserved6() override { return 0; }
  bool moveFile(const NString& source, const NString& target) override;
  bool listDirectory(const NString& name, Vec<NString>& files, Vec<NString>& directories) override;
  bool makePath(const NString& name) override;
  bool deleteDirectory(const NString& name) override;
  bool renameDirectory(const NString& source, const NString& target) override;
  bool directoryExists(const NString& name) override;

  // FrameworkServices
  TInt32 integerQueryA() override { return 0; }
  TInt32 integerQueryB() override { return 0; }
  NString pathSeparator() override { return NString("/"); }
  NString platformName() override { return NString("maemo"); }
  TUint64 currentTimeMillis() override;
  TUint64 elapsedMillis() override;
  void repaint(TInt32, TInt32, TInt32, TInt32) override {}
  void log(const NString& message) override { iLog.write(message); }
  bool setLogFile(const NString& name) override;
  bool hostRequest(const NString&) override { return false; }
  void exitApplication() override;
  void reserved24() override {}
  void setBlankingPaused(bool paused) override { iBlankingPaused = paused; }
  void setOrientation(TInt32 orientation) override { iOrientation = orientation; }
  TInt32 getOrientation() override { return iOrientation; }
  TInt32 callExtension(VMState& state, TInt32 extension, TInt32 opcode) override;
  void getScreenSize(TInt32& width, TInt32& height) override;
  void longOperationNotice(bool) override {}
  void addScreenListener(TUint32) override {}
  void removeScreenListener(TUint32) override {}
  // Negative delays are refused: addTimer answers 0 (no timer),
  // updateTimerDelay false, and no timer is created or changed.
  TInt32 addTimer(TInt32 listener, TInt32 delayMillis) override;
  TInt32 removeTimer(TInt32 id) override;
  bool updateTimerDelay(TInt32 id, TInt32 delayMillis) override;
  TInt32 reserved36() override { return 0; }
  NString getApplicationDirectory() override { return iDirectory.path().toNString(); }

  bool blankingPaused() const { return iBlankingPaused; }
  // The extension manager (made on first use).
  ExtensionManager& extensions();
  // Whether an extension still plays sound (the manager is not made for it).
  bool extensionsActive() const;

 private:
  ApplicationDirectory iDirectory;
  EntryGuard iGuard;
  std::unique_ptr<Scheduler> iScheduler;
  std::unique_ptr<ExtensionManager> iExtensions;
  std::unique_ptr<RunDiagnostics> iDiagnostics;
  HostLog iLog;
  TUint64 iStartMicros;
  TInt32 iOrientation = orientation::LANDSCAPE;
  bool iBlankingPaused = false;
  ClientVM* iVm = nullptr;
};
