#pragma once
// The host events an image receives. The window's rules and the replay of
// a recording deliver through this one interface, so a recording sees
// every event and tests can stand a recording machine in its place.
#include "Types.h"

#include <QString>

class ImageEntries {
 public:
  virtual ~ImageEntries() {}
  // False while no machine exists: events are then dropped.
  virtual bool ready() const = 0;
  // code is already mapped through the key table.
  virtual void keyPressed(TInt32 code, TInt32 scan, const QString& text) = 0;
  virtual void keyReleased(TInt32 code, TInt32 scan, const QString& text) = 0;
  virtual void pointer(TInt32 kind, TInt32 x, TInt32 y) = 0;
  virtual void foreground() = 0;
  virtual void background() = 0;
};
