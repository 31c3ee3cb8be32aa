// AudioMixer extension (30): mixer objects held in the first field of the
// image's own objects, and their sounds by index.
#include "AudioMixer.h"
#include "AudioMixerExtension.h"
#include "ExtensionTable.h"
#include "NativeHelpers.h"
#include "SoundFile.h"

#include <memory>
#include <new>

using native::Args;

namespace {

Mixer& mixerOf(TUint32 object) { return native::heldObject<AudioMixer>(object).mixer(); }

void create(native::Context& cx) {   // 1 mixer object
  Args a(cx.state, 1);
  const VMAddr field = native::firstField(a.word(0));
  std::unique_ptr<Mixer> mixer(new Mixer(ext::self<AudioMixerExtension>(cx)));
  const VMAddr object = a.heap().allocate(sizeof(AudioMixer), -1, GC_CODE_LEAF);
  new (vmPtr(object)) AudioMixer(mixer.release());
  native::store(field, object);
  a.noResult();
}

void loadSound(native::Context& cx) {   // 2 mixer, path -> index or -1
  Args a(cx.state, 2);
  Mixer& mixer = mixerOf(a.word(0));
  SoundFile sound;
  if (sound.read(ext::self<AudioMixerExtension>(cx).host(), native::stringAt(a.word(1))) != SoundFile::READ)
    return a.result(static_cast<TUint32>(-1));
  a.result(static_cast<TUint32>(mixer.addSound(std::move(sound))));
}

void play(native::Context& cx) {   // 4 mixer, index
  Args a(cx.state, 2);
  mixerOf(a.word(0)).play(a.integer(1));
  a.noResult();
}

void stop(native::Context& cx) {   // 5 mixer, index
  Args a(cx.state, 2);
  mixerOf(a.word(0)).stop(a.integer(1));
  a.noResult();
}

void setVolume(native::Context& cx) {   // 6 mixer, index, volume
  Args a(cx.state, 3);
  mixerOf(a.word(0)).setVolume(a.integer(1), a.word(2));
  a.noResult();
}

void volume(native::Context& cx) {   // 7 mixer, index -> volume
  Args a(cx.state, 2);
  a.result(mixerOf(a.word(0)).volume(a.integer(1)));
}

const native::Operation kRows[] = {
#define EXTENSION_OPERATION EXTENSION_ROW
#include "AudioMixer.def"
#undef EXTENSION_OPERATION
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kAudioMixerOperations, kRows);

NERIM::Extension* createAudioMixer(MVMCallbackInterface* callback, FrameworkServices* host) {
  return new AudioMixerExtension(callback, host);
}

}  // namespace ext
