#pragma once
// The machine as the host sees it: the native group table, the extension
// forward and the fixed entry methods through which host events arrive.
#include "FrameworkServices.h"
#include "VirtualMachine.h"

class CAppsFileReader;

class ClientVM : public VirtualMachine {
 public:
  enum Entry {
    ENTRY_GLOBAL_INIT,
    ENTRY_MAIN,
    ENTRY_SYSTEM_TIMER,
    ENTRY_DRAW,
    ENTRY_KEY_PRESSED,
    ENTRY_KEY_RELEASED,
    ENTRY_POINTER,
    ENTRY_EXIT,
    ENTRY_FOREGROUND,
    ENTRY_BACKGROUND,
    ENTRY_ORIENTATION,
    ENTRY_DRAW_GL,
    ENTRY_COUNT
  };
  static const char* const kEntryNames[ENTRY_COUNT];

  explicit ClientVM(FrameworkServices* host);
  ~ClientVM() override;

  // Reads the whole file, loads it and resolves the entry methods.
  TInt32 load(CAppsFileReader& reader, const CAppsString& name);
  TInt32 loadBytes(const Vec<TUint8>& image, const CAppsString& name);

  void nativeCall(TInt32 group, TInt32 function) override;
  void extensionCall(TInt32 group, TInt32 function) override;

  TInt32 entryHandle(Entry e) const { return iEntries[e]; }
  TUint32 applicationObject() const { return iApplicationObject; }
  TUint32* applicationObjectSlot() { return &iApplicationObject; }
  FrameworkServices* host() const { return iHost; }
  // The Math group's generator state (created with the machine).
  TUint8* randomState() { return iRandomState; }

  // Entry calls; each does nothing when the image lacks the method.
  void callGlobalInit();
  void callMain();
  void callSystemTimer(TUint32 listener);
  void callDraw(TUint32 canvas);
  void callKeyPressed(TUint32 keyEvent);
  void callKeyReleased(TUint32 keyEvent);
  void callPointer(TInt32 kind, TInt32 x, TInt32 y, TInt32 modifiers);
  void callExit();
  void callForeground();
  void callBackground();
  void callOrientationChanged(TUint32 listener, TInt32 orientation);
  void callDrawGl();

 private:
  TInt32 immediate(Entry e, const Vec<int>& values, const Vec<int>& levels);
  TInt32 deferred(Entry e, const Vec<int>& values, const Vec<int>& levels);
  bool hasApplication(Entry e) const { return iEntries[e] >= 0 && iApplicationObject != 0; }

  FrameworkServices* iHost;
  TUint32 iApplicationObject = 0;
  TInt32 iEntries[ENTRY_COUNT];
  TUint8* iRandomState;
};
