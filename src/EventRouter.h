#pragma once
// The main view's rules, without any widget: the key table, the pointer
// kinds, and foreground and background from the four triggers (show, hide,
// the window manager's current-window report, the display status). The
// widget only translates toolkit events into these calls.
#include "ImageEntries.h"
#include "Types.h"

class EventRouter {
 public:
  enum PointerKind { POINTER_PRESSED = 0, POINTER_RELEASED = 1, POINTER_MOVED = 6 };

  explicit EventRouter(ImageEntries& entries) : iEntries(entries) {}

  // A toolkit key code to the code the image receives.
  static TInt32 mapKey(TInt32 toolkitKey);

  void keyPressed(TInt32 toolkitKey, TInt32 scan, const QString& text);
  void keyReleased(TInt32 toolkitKey, TInt32 scan, const QString& text);
  // Positions in window coordinates; moves arrive only while a button is held.
  void pointer(PointerKind kind, TInt32 x, TInt32 y);

  // Show and hide events, and the current-window report.
  void setShown(bool shown);
  // The display-status text: exactly "off" is off, anything else on.
  void displayStatus(const QString& state);

  // The last foreground (true) or background (false) event delivered.
  bool inForeground() const { return iInForeground; }
  bool shown() const { return iShown; }
  bool displayOn() const { return iDisplayOn; }

 private:
  void update();

  ImageEntries& iEntries;
  bool iShown = false;
  bool iDisplayOn = true;
  // One router per process: this is the process-wide record that makes
  // each change of the effective state reach the image once.
  bool iInForeground = false;
};
