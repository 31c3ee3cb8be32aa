#pragma once
// The host side of one player object: its samples and, while it plays, a
// stream of its own. Everything here runs on the main thread (the GLib
// loop delivers the stream's callbacks there), so nothing is locked.
#include "SoundFile.h"
#include "Types.h"

#include <pulse/stream.h>

class AudioPlayerExtension;

class Player {
 public:
  // Takes the samples (16-bit mono at 44.1 kHz).
  Player(AudioPlayerExtension& extension, SoundFile&& data);
  // Stops the stream and drops the operations still queued for it.
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Deferred operations: they run once the server connection is ready.
  void play();
  void stop();

  void setRepeats(TInt32 n) { iRepeats = n; }
  TInt32 repeats() const { return iRepeats; }
  bool playing() const { return iStream != nullptr; }
  TUint32 size() const { return iData.size; }

  // The extension is going away first.
  void detach() {
    stop();
    iExtension = nullptr;
  }

 private:
  static void onStarted(pa_stream* s, void* self);
  static void onState(pa_stream* s, void* self);
  static void onUnderflow(pa_stream* s, void* self);
  static void onWrite(pa_stream* s, size_t bytes, void* self);
  void prebuffer();
  void write(size_t bytes);

  AudioPlayerExtension* iExtension;
  pa_stream* iStream = nullptr;
  SoundFile iData;
  TUint32 iPosition = 0;
  TInt32 iStarted = 2;   // 1 once the server started playing, 0 while prebuffering
  TInt32 iRepeats = 0;
};
