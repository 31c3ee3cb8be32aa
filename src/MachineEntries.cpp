#include "MachineEntries.h"

#include "CAppsString.h"
#include "ClientVM.h"
#include "EntryGuard.h"
#include "EventRecorder.h"
#include "KeyEvent.h"

void MachineEntries::key(bool pressed, TInt32 code, TInt32 scan, const QString& text) {
  if (!iVM) return;
  if (iRecorder) iRecorder->key(pressed, code, scan, text);
  iGuard.run([&] {
    const TUint32 event =
        Nerim::KeyEvent::newInHeap(iVM->heap(), code, scan, 0, CAppsString::fromQString(text).toNString());
    if (pressed) iVM->callKeyPressed(event);
    else iVM->callKeyReleased(event);
  });
}

void MachineEntries::keyPressed(TInt32 code, TInt32 scan, const QString& text) { key(true, code, scan, text); }

void MachineEntries::keyReleased(TInt32 code, TInt32 scan, const QString& text) { key(false, code, scan, text); }

void MachineEntries::pointer(TInt32 kind, TInt32 x, TInt32 y) {
  if (!iVM) return;
  if (iRecorder) iRecorder->pointer(kind, x, y);
  iGuard.run([&] { iVM->callPointer(kind, x, y, 0); });
}

void MachineEntries::foreground() {
  if (!iVM) return;
  if (iRecorder) iRecorder->foreground(true);
  iGuard.run([&] { iVM->callForeground(); });
}

void MachineEntries::background() {
  if (!iVM) return;
  if (iRecorder) iRecorder->foreground(false);
  iGuard.run([&] { iVM->callBackground(); });
}
