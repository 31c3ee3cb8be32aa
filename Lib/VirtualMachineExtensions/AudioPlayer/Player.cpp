// One player's stream: prebuffer when ready, write the data (again for each
// repeat), trigger playback of data shorter than the prebuffer, and let go
// of the stream at the end, on stop and on failure.
#include "Player.h"

#include "AudioPlayerExtension.h"
#include "SoundServer.h"

#include <cstdio>

namespace {

const pa_sample_spec kFormat = {PA_SAMPLE_S16LE, 44100, 1};

}  // namespace

Player::Player(AudioPlayerExtension& extension, SoundFile&& data) : iExtension(&extension), iData(std::move(data)) {
  extension.attach(this);
}

Player::~Player() {
  if (!iExtension) return;
  stop();
  iExtension->forget(this);
}

void Player::play() {
  if (iStream || !iExtension || iData.size == 0) return;
  pa_context* context = iExtension->context();
  iStream = pa_stream_new(context, sound::kStreamName, &kFormat, nullptr);
  if (!iStream) return;
  pa_stream_set_started_callback(iStream, onStarted, this);
  pa_stream_set_state_callback(iStream, onState, this);
  pa_stream_set_underflow_callback(iStream, onUnderflow, this);
  if (pa_stream_connect_playback(iStream, nullptr, nullptr, static_cast<pa_stream_flags_t>(0), nullptr, nullptr) < 0)
    stop();
}

void Player::stop() {
  if (!iStream) return;
  pa_stream* s = iStream;
  iStream = nullptr;
  pa_stream_set_write_callback(s, nullptr, nullptr);
  pa_stream_set_started_callback(s, nullptr, nullptr);
  pa_stream_set_underflow_callback(s, nullptr, nullptr);
  sound::release(s);
}

void Player::onStarted(pa_stream*, void* self) { static_cast<Player*>(self)->iStarted = 1; }

void Player::onState(pa_stream* s, void* self) {
  Player& p = *static_cast<Player*>(self);
  if (p.iStream != s) return;
  const pa_stream_state_t state = pa_stream_get_state(s);
  if (state == PA_STREAM_READY) p.prebuffer();
  else if (!PA_STREAM_IS_GOOD(state)) p.stop();
}

void Player::onUnderflow(pa_stream*, void* self) {
  Player& p = *static_cast<Player*>(self);
  if (p.iPosition >= p.iData.size) p.stop();
}

void Player::onWrite(pa_stream*, size_t bytes, void* self) { static_cast<Player*>(self)->write(bytes); }

void Player::prebuffer() {
  pa_operation* o = pa_stream_prebuf(iStream, nullptr, nullptr);
  if (!o) {
    std::fputs("BUG: pa_stream_prebuf() returned NULL\n", stderr);
    return stop();
  }
  pa_operation_unref(o);
  iStarted = 0;
  iPosition = 0;
  pa_stream_set_write_callback(iStream, onWrite, this);
  const size_t n = pa_stream_writable_size(iStream);
  if (n > 0 && n != static_cast<size_t>(-1)) write(n);
}

void Player::write(size_t bytes) {
  if (!iStream) return;
  const size_t left = iData.size - iPosition;
  const size_t k = bytes < left ? bytes : left;
  if (k > 0) {
    if (pa_stream_write(iStream, iData.bytes() + iPosition, k, nullptr, 0, PA_SEEK_RELATIVE) < 0) return stop();
    iPosition += static_cast<TUint32>(k);
  }
  if (iPosition < iData.size) return;
  if (iStarted != 1) {
    pa_operation* o = pa_stream_trigger(iStream, nullptr, nullptr);
    if (!o) {
      std::fputs("BUG: pa_stream_trigger() returned NULL\n", stderr);
      return stop();
    }
    pa_operation_unref(o);
  }
  if (iRepeats > 0) {
    iRepeats -= 1;
    iPosition = 0;
  }
}
