#pragma once
// The image's event entries on a real machine: each delivery runs inside
// the entry guard (an escaping error ends the run with "FATAL: ") and is
// written to the recording when one is made.
#include "ImageEntries.h"

class ClientVM;
class EntryGuard;
class EventRecorder;

class MachineEntries : public ImageEntries {
 public:
  explicit MachineEntries(EntryGuard& guard) : iGuard(guard) {}

  void setVM(ClientVM* vm) { iVM = vm; }
  void setRecorder(EventRecorder* recorder) { iRecorder = recorder; }

  bool ready() const override { return iVM != nullptr; }
  void keyPressed(TInt32 code, TInt32 scan, const QString& text) override;
  void keyReleased(TInt32 code, TInt32 scan, const QString& text) override;
  void pointer(TInt32 kind, TInt32 x, TInt32 y) override;
  void foreground() override;
  void background() override;

 private:
  void key(bool pressed, TInt32 code, TInt32 scan, const QString& text);

  EntryGuard& iGuard;
  ClientVM* iVM = nullptr;
  EventRecorder* iRecorder = nullptr;
};
