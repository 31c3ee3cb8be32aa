#include "EventRouter.h"

namespace {

// Toolkit key codes (Qt::Key values) this table names.
const TInt32 kReturn = 0x01000004;
const TInt32 kBackspace = 0x01000003;
const TInt32 kLeft = 0x01000012;
const TInt32 kUp = 0x01000013;
const TInt32 kRight = 0x01000014;
const TInt32 kDown = 0x01000015;

}  // namespace

TInt32 EventRouter::mapKey(TInt32 key) {
  if (key >= 0x20 && key <= 0x60) return key;
  switch (key) {
    case kReturn: return 0x01000001;
    case kBackspace: return 0x01000002;
    case kLeft: return 0x01000003;
    case kRight: return 0x01000004;
    case kUp: return 0x01000005;
    case kDown: return 0x01000006;
    default: return 0x01000000;  // keypad Enter and Escape among them
  }
}

void EventRouter::keyPressed(TInt32 key, TInt32 scan, const QString& text) {
  if (iEntries.ready()) iEntries.keyPressed(mapKey(key), scan, text);
}

void EventRouter::keyReleased(TInt32 key, TInt32 scan, const QString& text) {
  if (iEntries.ready()) iEntries.keyReleased(mapKey(key), scan, text);
}

void EventRouter::pointer(PointerKind kind, TInt32 x, TInt32 y) {
  if (iEntries.ready()) iEntries.pointer(kind, x, y);
}

void EventRouter::setShown(bool shown) {
  iShown = shown;
  update();
}

void EventRouter::displayStatus(const QString& state) {
  iDisplayOn = state != QLatin1String("off");
  update();
}

void EventRouter::update() {
  const bool effective = iDisplayOn && iShown;
  if (effective == iInForeground || !iEntries.ready()) return;
  iInForeground = effective;
  if (effective) iEntries.foreground();
  else iEntries.background();
}
