#include "SoundServer.h"

#include "Errors.h"

#include <pulse/error.h>
#include <string>

namespace sound {

namespace {

// Holds the caller's reference until the stream is made, then ends it.
void endWhenMade(pa_stream* s, void*) {
  const pa_stream_state_t state = pa_stream_get_state(s);
  if (state == PA_STREAM_READY) {
    pa_stream_disconnect(s);
  } else if (!PA_STREAM_IS_GOOD(state)) {
    pa_stream_set_state_callback(s, nullptr, nullptr);
    pa_stream_unref(s);
  }
}

}  // namespace

void release(pa_stream* s) {
  const pa_stream_state_t state = pa_stream_get_state(s);
  if (state == PA_STREAM_CREATING) {
    pa_stream_set_state_callback(s, endWhenMade, nullptr);
    return;
  }
  pa_stream_set_state_callback(s, nullptr, nullptr);
  if (state == PA_STREAM_READY) pa_stream_disconnect(s);
  pa_stream_unref(s);
}

void raiseServerError(const char* who, const char* reason) {
  raise(ERR_IO, (std::string(who) + ": " + reason).c_str());
}

void raiseServerError(const char* who, int paError) { raiseServerError(who, pa_strerror(paError)); }

}  // namespace sound
