// One mixer's stream and sounds. Lock order: the main-loop lock before the
// mixer's lock (the write callback holds the first when it takes the second).
#include "Mixer.h"

#include "AudioMixerExtension.h"
#include "Errors.h"
#include "ServerLoop.h"
#include "SoundServer.h"

#include <cstdio>
#include <new>

namespace {

const char kWho[] = "AudioMixer";

const pa_sample_spec kFormat = {PA_SAMPLE_S16LE, 16000, 1};

// Server defaults except a 100 ms target and no prebuffering, so a sound
// starts with the next period.
const pa_buffer_attr kBuffer = {static_cast<uint32_t>(-1), 3200, 0, static_cast<uint32_t>(-1),
                                static_cast<uint32_t>(-1)};

}  // namespace

Mixer::Mixer(AudioMixerExtension& extension) : iExtension(&extension) {
  ServerLoop& server = extension.server();
  ServerLoop::Lock lock(server);
  pa_context* context = server.readyContext();
  iStream = pa_stream_new(context, sound::kStreamName, &kFormat, nullptr);
  if (!iStream) sound::raiseServerError(kWho, pa_context_errno(context));
  pa_stream_set_write_callback(iStream, onWrite, this);
  pa_stream_set_underflow_callback(iStream, onUnderflow, this);
  try {
    server.connectPlayback(iStream, &kBuffer, PA_STREAM_ADJUST_LATENCY);
  } catch (...) {
    disconnect();
    throw;
  }
  extension.attach(this);
}

Mixer::~Mixer() {
  if (iExtension) {
    iExtension->detach(this);
    ServerLoop::Lock lock(iExtension->server());
    disconnect();
  }
}

void Mixer::detach() {
  {
    ServerLoop::Lock lock(iExtension->server());
    disconnect();
  }
  iExtension = nullptr;
}

// Lock held. After this no callback reaches the mixer.
void Mixer::disconnect() {
  if (!iStream) return;
  pa_stream_set_write_callback(iStream, nullptr, nullptr);
  pa_stream_set_underflow_callback(iStream, nullptr, nullptr);
  sound::release(iStream);
  iStream = nullptr;
}

void Mixer::onWrite(pa_stream* s, size_t bytes, void* self) {
  Mixer& m = *static_cast<Mixer*>(self);
  TInt16 buffer[2048];
  size_t left = bytes / 2;
  while (left > 0) {
    const size_t n = left < 2048 ? left : 2048;
    {
      std::lock_guard<std::mutex> guard(m.iLock);
      mixing::mix(m.iRecords.data(), m.iRecords.size(), m.iLevel, buffer, n);
    }
    if (pa_stream_write(s, buffer, n * 2, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
    left -= n;
  }
}

void Mixer::onUnderflow(pa_stream*, void*) { std::fputs("AudioMixer: underflow\n", stderr); }

TInt32 Mixer::addSound(SoundFile&& sound) {
  if (iRecords.size() >= 0x7FFFFFFF) raise(ERR_INVALID_ARGUMENT, "AudioMixer: too many sounds");
  mixing::SoundRecord r;
  r.samples = sound.samples.get();
  r.count = sound.sampleCount();
  try {
    iSounds.reserve(iSounds.size() + 1);
    std::lock_guard<std::mutex> guard(iLock);
    iRecords.push_back(r);   // may move the records: under the lock
  } catch (const std::bad_alloc&) {
    hostmem::exhausted();
  }
  iBytes += sound.size;
  iSounds.push_back(std::move(sound));
  return static_cast<TInt32>(iSounds.size() - 1);
}

mixing::SoundRecord& Mixer::record(TInt32 index) {
  if (index < 0 || static_cast<size_t>(index) >= iRecords.size())
    raise(ERR_INDEX_OUT_OF_BOUNDS, "AudioMixer: no sound ", index);
  return iRecords[static_cast<size_t>(index)];
}

void Mixer::play(TInt32 index) {
  {
    if (!iExtension) sound::raiseServerError(kWho, "the sound server connection is closed");
    ServerLoop::Lock lock(iExtension->server());
    if (pa_stream_get_state(iStream) != PA_STREAM_READY)
      sound::raiseServerError(kWho, pa_context_errno(pa_stream_get_context(iStream)));
  }
  std::lock_guard<std::mutex> guard(iLock);
  mixing::play(record(index));
}

void Mixer::stop(TInt32 index) {
  std::lock_guard<std::mutex> guard(iLock);
  mixing::stop(record(index), iLevel);
}

void Mixer::setVolume(TInt32 index, TUint32 volume) {
  std::lock_guard<std::mutex> guard(iLock);
  record(index).volume = volume;
}

TUint32 Mixer::volume(TInt32 index) {
  std::lock_guard<std::mutex> guard(iLock);
  return record(index).volume;
}
