#pragma once
// The mixer's connection: a threaded main loop and one context. Every wait
// on the server is written once here: lock held, wait until ready, failed
// or timed out; the state callbacks only signal (they run under the lock).
#include "Types.h"

#include <pulse/context.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

class ServerLoop {
 public:
  // Starts the loop's thread; connects nothing yet.
  ServerLoop();
  // Disconnects the context and stops the thread. Streams must be gone.
  ~ServerLoop();
  ServerLoop(const ServerLoop&) = delete;
  ServerLoop& operator=(const ServerLoop&) = delete;

  // Holds the main-loop lock for a scope (never inside a callback).
  class Lock {
   public:
    explicit Lock(ServerLoop& l) : iLoop(l.iLoop) { pa_threaded_mainloop_lock(iLoop); }
    ~Lock() { pa_threaded_mainloop_unlock(iLoop); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    pa_threaded_mainloop* iLoop;
  };

  // A ready context, connecting first when there is none or the last one
  // failed. Lock held. Raises code 7 when the server cannot be reached.
  pa_context* readyContext();

  // Connects s for playback and waits until it is ready. Lock held. On
  // failure the stream is left unconnected-or-failed and code 7 is raised.
  void connectPlayback(pa_stream* s, const pa_buffer_attr* attr, pa_stream_flags_t flags);

  // Callback argument that wakes the waiting thread.
  pa_threaded_mainloop* loop() const { return iLoop; }
  static void signal(pa_context*, void* loop);
  static void signalStream(pa_stream*, void* loop);

 private:
  // The one wait: true when done() holds, false when failed() holds or
  // the time is up.
  template <typename Done, typename Failed> bool waitUntil(Done done, Failed failed);
  void dropContext();

  pa_threaded_mainloop* iLoop;
  pa_context* iContext = nullptr;
};
