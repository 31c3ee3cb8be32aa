#pragma once
// Extension 30: the mixer's connection to the sound server, shared by every
// mixer object the image creates.
#include "ServerLoop.h"
#include "ExtensionTable.h"
#include "Types.h"

#include <set>

class FrameworkServices;
class MVMCallbackInterface;
class Mixer;

class AudioMixerExtension : public ext::BuiltIn {
 public:

  // Starts the loop thread; the server is first contacted by the first
  // mixer object.
  AudioMixerExtension(MVMCallbackInterface* vm, FrameworkServices* host);
  // Mixer objects still alive lose their streams first.
  ~AudioMixerExtension() override;
  AudioMixerExtension(const AudioMixerExtension&) = delete;
  AudioMixerExtension& operator=(const AudioMixerExtension&) = delete;

  ServerLoop& server() { return iServer; }
  FrameworkServices* host() const { return iHost; }
  MVMCallbackInterface* vm() const { return iVm; }

  void attach(Mixer* m) { iMixers.insert(m); }
  void detach(Mixer* m) { iMixers.erase(m); }

 private:
  MVMCallbackInterface* iVm;
  FrameworkServices* iHost;
  ServerLoop iServer;
  std::set<Mixer*> iMixers;   // live mixers; main thread only
};
