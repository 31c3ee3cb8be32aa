#pragma once
// The host side of one mixer object: its playback stream and its sounds.
// The stream's write callback runs on the server thread and mixes under
// iLock; the machine's thread changes the sounds under the same lock.
#include "MixStep.h"
#include "SoundFile.h"
#include "Types.h"

#include <memory>
#include <mutex>
#include <pulse/stream.h>
#include <vector>

class AudioMixerExtension;

class Mixer {
 public:
  // Creates the stream and waits until it is ready; code 7 when the server
  // cannot be reached.
  explicit Mixer(AudioMixerExtension& extension);
  // Disconnects the stream under the main-loop lock, then frees the sounds.
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Takes a sound's samples (an odd last byte is ignored); returns its index.
  TInt32 addSound(SoundFile&& sound);
  // Indexes outside the list raise code 2. Play raises code 7 once the
  // stream has failed (the server went away).
  void play(TInt32 index);
  void stop(TInt32 index);
  void setVolume(TInt32 index, TUint32 volume);
  TUint32 volume(TInt32 index);

  // The sample bytes held.
  size_t soundBytes() const { return iBytes; }
  // The extension is going away first: the stream goes now.
  void detach();

 private:
  static void onWrite(pa_stream* s, size_t bytes, void* self);
  static void onUnderflow(pa_stream* s, void* self);
  mixing::SoundRecord& record(TInt32 index);
  void disconnect();

  AudioMixerExtension* iExtension;
  pa_stream* iStream = nullptr;
  std::mutex iLock;   // the records and the level
  std::vector<mixing::SoundRecord> iRecords;
  std::vector<SoundFile> iSounds;   // parallel to the records
  mixing::Level iLevel;
  size_t iBytes = 0;
};
