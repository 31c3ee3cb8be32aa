// The threaded main loop idiom, once: lock; while not ready and not failed,
// wait; unlock. A timer on the loop ends a wait on a server that never
// answers, so no operation of the image hangs.
#include "ServerLoop.h"

#include "SoundServer.h"

#include <new>
#include <pulse/error.h>
#include <pulse/timeval.h>

namespace {

const char kWho[] = "AudioMixer";
// Names the thread in tools that list them (and in the mixer's benchmark).
const char kThreadName[] = "audio-mixer";

struct Deadline {
  pa_threaded_mainloop* loop;
  bool passed = false;
};

void deadlinePassed(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) {
  Deadline* d = static_cast<Deadline*>(userdata);
  d->passed = true;
  pa_threaded_mainloop_signal(d->loop, 0);
}

}  // namespace

ServerLoop::ServerLoop() : iLoop(pa_threaded_mainloop_new()) {
  if (!iLoop) throw std::bad_alloc();
  pa_threaded_mainloop_set_name(iLoop, kThreadName);
  if (pa_threaded_mainloop_start(iLoop) < 0) {
    pa_threaded_mainloop_free(iLoop);
    sound::raiseServerError(kWho, "cannot start the sound thread");
  }
}

ServerLoop::~ServerLoop() {
  {
    Lock lock(*this);
    dropContext();
  }
  pa_threaded_mainloop_stop(iLoop);
  pa_threaded_mainloop_free(iLoop);
}

void ServerLoop::signal(pa_context*, void* loop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

void ServerLoop::signalStream(pa_stream*, void* loop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

template <typename Done, typename Failed>
bool ServerLoop::waitUntil(Done done, Failed failed) {
  Deadline deadline{iLoop};
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(iLoop);
  struct timeval when;
  pa_timeval_add(pa_gettimeofday(&when), sound::kReadyTimeoutSeconds * PA_USEC_PER_SEC);
  pa_time_event* timer = api->time_new(api, &when, deadlinePassed, &deadline);
  while (!done() && !failed() && !deadline.passed) pa_threaded_mainloop_wait(iLoop);
  api->time_free(timer);
  return done();
}

void ServerLoop::dropContext() {
  if (!iContext) return;
  pa_context_set_state_callback(iContext, nullptr, nullptr);
  pa_context_disconnect(iContext);
  pa_context_unref(iContext);
  iContext = nullptr;
}

pa_context* ServerLoop::readyContext() {
  if (iContext && pa_context_get_state(iContext) == PA_CONTEXT_READY) return iContext;
  dropContext();
  iContext = pa_context_new(pa_threaded_mainloop_get_api(iLoop), sound::kClientName);
  if (!iContext) throw std::bad_alloc();
  pa_context_set_state_callback(iContext, signal, iLoop);
  if (pa_context_connect(iContext, nullptr, sound::kConnectFlags, nullptr) < 0) {
    const int error = pa_context_errno(iContext);
    dropContext();
    sound::raiseServerError(kWho, error);
  }
  pa_context* c = iContext;
  const bool ready = waitUntil([c] { return pa_context_get_state(c) == PA_CONTEXT_READY; },
                               [c] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(c)); });
  if (!ready) {
    const bool failed = !PA_CONTEXT_IS_GOOD(pa_context_get_state(c));
    const int error = pa_context_errno(c);
    dropContext();
    if (failed) sound::raiseServerError(kWho, error);
    sound::raiseServerError(kWho, "the sound server does not answer");
  }
  return iContext;
}

void ServerLoop::connectPlayback(pa_stream* s, const pa_buffer_attr* attr, pa_stream_flags_t flags) {
  pa_stream_set_state_callback(s, signalStream, iLoop);
  if (pa_stream_connect_playback(s, nullptr, attr, flags, nullptr, nullptr) < 0)
    sound::raiseServerError(kWho, pa_context_errno(iContext));
  const bool ready = waitUntil([s] { return pa_stream_get_state(s) == PA_STREAM_READY; },
                               [s] { return !PA_STREAM_IS_GOOD(pa_stream_get_state(s)); });
  if (!ready) {
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(s))) sound::raiseServerError(kWho, pa_context_errno(iContext));
    sound::raiseServerError(kWho, "the sound server does not answer");
  }
}
