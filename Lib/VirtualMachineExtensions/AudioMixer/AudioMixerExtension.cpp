#include "AudioMixerExtension.h"

#include "Mixer.h"

AudioMixerExtension::AudioMixerExtension(MVMCallbackInterface* vm, FrameworkServices* host)
    : BuiltIn(*ext::extensionInfo(ext::ID_AudioMixer), host), iVm(vm), iHost(host) {}

AudioMixerExtension::~AudioMixerExtension() {
  const std::set<Mixer*> mixers = iMixers;
  for (Mixer* m : mixers) m->detach();
}
