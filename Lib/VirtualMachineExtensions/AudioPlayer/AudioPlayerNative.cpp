// AudioPlayer extension (28): player objects held in the first field of the
// image's own objects. Play and stop wait for the server connection.
#include "AudioPlayer.h"
#include "AudioPlayerExtension.h"
#include "Errors.h"
#include "ExtensionTable.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "VectorStore.h"

#include <memory>
#include <new>

using native::Args;

namespace {

AudioPlayerExtension& self(native::Context& cx) { return ext::self<AudioPlayerExtension>(cx); }

// A new player object with the sound, stored in the object's field.
void storePlayer(native::Context& cx, VMAddr field, SoundFile&& sound) {
  std::unique_ptr<Player> player(new Player(self(cx), std::move(sound)));
  const VMAddr object = cx.state.heap.allocate(sizeof(AudioPlayer), -1, GC_CODE_LEAF);
  new (vmPtr(object)) AudioPlayer(player.release());
  native::store(field, object);
}

void load(native::Context& cx) {   // 1 player object, path, unused
  Args a(cx.state, 3);
  const VMAddr field = native::firstField(a.word(0));
  const NString& path = native::stringAt(a.word(1));
  SoundFile sound;
  switch (sound.read(self(cx).host(), path)) {
    case SoundFile::NOT_OPEN: raise(ERR_IO, NString::concat(NString("Could not open file: "), path));
    case SoundFile::FAILED: raise(ERR_IO, NString::concat(NString("Could not read file: "), path));
    case SoundFile::READ: break;
  }
  if (sound.size == 0) raise(ERR_INVALID_ARGUMENT, "File is empty");
  storePlayer(cx, field, std::move(sound));
  a.noResult();
}

void fromBytes(native::Context& cx) {   // 2 player object, byte vector, unused
  Args a(cx.state, 3);
  const VMAddr field = native::firstField(a.word(0));
  const vectors::VectorStore bytes(native::derefCell(a.word(1)), 1);
  SoundFile sound;
  sound.assign(bytes.count() > 0 ? bytes.at(0) : nullptr, static_cast<TUint32>(bytes.count()));
  storePlayer(cx, field, std::move(sound));
  a.noResult();
}

// The player object in the image object's field, and the player.
VMAddr playerObject(TUint32 object) { return native::load(native::firstField(object)); }
Player& playerAt(VMAddr object) { return native::objectOf<AudioPlayer>(object).player(); }

void defer(native::Context& cx, DeferredOperation::Member member) {
  Args a(cx.state, 1);
  const VMAddr object = playerObject(a.word(0));
  self(cx).defer(cx.state.heap, object, playerAt(object), member);
  a.noResult();
}

void play(native::Context& cx) { defer(cx, &Player::play); }   // 3 player
void stop(native::Context& cx) { defer(cx, &Player::stop); }   // 4 player

void setRepeats(native::Context& cx) {   // 14 player, count, unused
  Args a(cx.state, 3);
  playerAt(playerObject(a.word(0))).setRepeats(a.integer(1));
  a.noResult();
}

const native::Operation kRows[] = {
#define EXTENSION_OPERATION EXTENSION_ROW
#include "AudioPlayer.def"
#undef EXTENSION_OPERATION
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kAudioPlayerOperations, kRows);

NERIM::Extension* createAudioPlayer(MVMCallbackInterface* callback, FrameworkServices* host) {
  return new AudioPlayerExtension(callback, host);
}

}  // namespace ext
