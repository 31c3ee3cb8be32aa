#pragma once
// Plays a recording made by EventRecorder back into an image: each event
// is delivered when the image's clock reaches its time, key, pointer,
// foreground and background events through the image's entries, timer
// expiries, frames and new backing pixmaps through the host's hooks.
#include "ImageEntries.h"
#include "Types.h"

#include <QRegion>
#include <QTimer>
#include <functional>
#include <vector>

class FrameworkServices;

class EventReplay {
 public:
  struct Event {
    enum Kind { KEY_PRESSED, KEY_RELEASED, POINTER, FOREGROUND, BACKGROUND, TIMER, DRAW, RESIZE };
    TInt64 at;
    Kind kind;
    TInt32 a, b, c, d;  // code scan | kind x y | id | width height
    QString text;
    QRegion region;  // of a draw
  };

  EventReplay(ImageEntries& entries, FrameworkServices& clock) : iEntries(entries), iClock(clock) {}

  // False with "line N: ..." or the file's error for a recording that cannot be read.
  bool load(const QString& path, QString& error);
  bool parse(const QByteArray& text, QString& error);
  const std::vector<Event>& events() const { return iEvents; }

  void onTimer(std::function<void(TInt32 id)> hook) { iTimer = std::move(hook); }
  void onDraw(std::function<void(const QRegion& clip)> hook) { iDraw = std::move(hook); }
  void onResize(std::function<void(TInt32 width, TInt32 height)> hook) { iResize = std::move(hook); }
  // Delivers the events on the running event loop; done runs after the last.
  void start(std::function<void()> done);

 private:
  void step();
  void deliver(const Event& e);

  ImageEntries& iEntries;
  FrameworkServices& iClock;
  std::vector<Event> iEvents;
  size_t iNext = 0;
  QTimer iWake;
  std::function<void(TInt32)> iTimer;
  std::function<void(const QRegion&)> iDraw;
  std::function<void(TInt32, TInt32)> iResize;
  std::function<void()> iDone;
};
