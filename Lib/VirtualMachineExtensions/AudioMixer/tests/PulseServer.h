#pragma once
// A real sound server for the audio tests: a private daemon with one null
// sink at 16 kHz mono (the mixer's format, so samples pass unchanged) on
// its own runtime directory, and a recorder of the sink's monitor. Both
// The daemon is a child process stopped by its pid; the recorder is a
// client of its own on a thread.
#include "Errors.h"
#include "SoundFile.h"
#include "Types.h"

#include <atomic>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

class PulseServer {
 public:
  // Points this process's clients at a fresh runtime directory (no daemon).
  PulseServer();
  // Stops the recorder and the daemon, removes the directory.
  ~PulseServer();

  // Starts the daemon and waits until it answers; false with a reason.
  bool start(std::string& why);
  // Ends the daemon at once, as a crash would.
  void kill();
  // Stops and continues the daemon: a server that does not answer.
  void pause();
  void resume();
  // Sink inputs (playing streams) the daemon has now.
  int streams() const;

  // Records the monitor until stopRecording. Returns once samples flow: a
  // fresh null sink first sleeps through a long block.
  bool startRecording(std::string& why);
  std::vector<TInt16> stopRecording();

  const std::string& directory() const { return iDir; }

 private:
  pid_t spawn(const std::vector<std::string>& argv, const std::string& out);
  static void stop(pid_t& pid, int signal);

  void record(struct pa_simple* source);

  std::string iDir;
  pid_t iDaemon = -1;
  std::thread iRecorder;
  std::atomic<bool> iRecording{false};
  std::atomic<size_t> iChunks{0};
  std::vector<TInt16> iSamples;
};

// Milliseconds of steady time.
TInt64 nowMillis();
void sleepMillis(int ms);

// Runs body, which should raise; the code it raised, or 0.
template <typename F> TInt32 raisedCode(F body) {
  try {
    body();
  } catch (const ErrorHandlingException&) {
    return currentErrorCode();
  }
  return 0;
}

// A sound holding these samples.
inline SoundFile soundOf(const std::vector<TInt16>& samples) {
  SoundFile f;
  f.assign(reinterpret_cast<const TUint8*>(samples.data()), static_cast<TUint32>(samples.size() * 2));
  return f;
}
