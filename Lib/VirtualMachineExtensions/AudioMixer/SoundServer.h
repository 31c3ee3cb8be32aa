#pragma once
// What both audio extensions tell the sound server, and how a server failure
// reaches the image: code 7 (IOException) with the extension's name and the
// client library's reason, so an image can catch it like any I/O error.
#include "Types.h"

#include <pulse/context.h>
#include <pulse/stream.h>

namespace sound {

constexpr const char kClientName[] = "vexa-vm";
constexpr const char kStreamName[] = "vexa-audio-player";

// Longest wait for the server to answer a connection or a new stream.
constexpr int kReadyTimeoutSeconds = 4;

// Connecting never starts a server of its own: with none running the call
// fails at once instead of leaving a daemon behind.
constexpr pa_context_flags_t kConnectFlags = PA_CONTEXT_NOAUTOSPAWN;

// Ends a stream whose callbacks are already cleared and lets it go. A
// stream the server is still creating cannot be disconnected yet: it keeps
// a state callback that disconnects it once it is made, so no stream is
// left playing on the server. (With the threaded loop: lock held.)
void release(pa_stream* s);

// Code 7 "<who>: <reason>" (who: "AudioMixer", "AudioPlayer").
[[noreturn]] void raiseServerError(const char* who, const char* reason);
[[noreturn]] void raiseServerError(const char* who, int paError);

}  // namespace sound
