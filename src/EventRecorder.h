#pragma once
// Writes every event delivered to the image to a file, one line each, so
// that a run in the window can be replayed headless (mcbrun --replay).
//
// The format: lines starting with "#" are comments; every other line is
//   <ms> <event> <arguments...>
// with <ms> the milliseconds since start-up (when the image's clock
// started; what happened before counts as 0, and times never go back) and one of these events:
//   key-pressed <code> <scan> <text>   code as the image receives it
//   key-released <code> <scan> <text>  text percent-encoded UTF-8, "-" when empty
//   pointer <kind> <x> <y>             kind 0 pressed, 1 released, 6 moved
//   foreground
//   background
//   timer <id>                         an expiry of the timer with that id
//   draw <x> <y> <width> <height>...   a frame drawn with the clip made of these
//                                      rectangles (pixmap coordinates)
//   resize <width> <height>            a new backing pixmap of that size, black
// Each line is flushed as it is written, so a run that ends abruptly
// leaves what it delivered.
#include "Types.h"

#include <QFile>
#include <QRegion>
#include <QString>

class FrameworkServices;

class EventRecorder {
 public:
  explicit EventRecorder(FrameworkServices& clock) : iClock(clock) {}

  // False with the file's error text when it cannot be written.
  bool open(const QString& path, QString& error);

  void key(bool pressed, TInt32 code, TInt32 scan, const QString& text);
  void pointer(TInt32 kind, TInt32 x, TInt32 y);
  void foreground(bool foreground);
  void timer(TInt32 id);
  void draw(const QRegion& clip);
  void resize(TInt32 width, TInt32 height);

  // The text field of a key line, and back.
  static QByteArray encodeText(const QString& text);
  static QString decodeText(const QByteArray& field);

 private:
  void line(const QByteArray& event);

  FrameworkServices& iClock;
  QFile iFile;
  TUint64 iLast = 0;
};
