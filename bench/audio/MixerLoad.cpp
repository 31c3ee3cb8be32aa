// The whole mixer on a real sound server: 32 sounds playing for a few
// seconds on a private daemon, and the CPU time this process spent (the
// server thread's mixing and writing, the client library) per 10 ms of
// sound. The monitor recording must hold the mix, or nothing is reported.
#include "AudioMixerExtension.h"
#include "Mixer.h"
#include "PulseServer.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

// Nanoseconds the mixer's server thread ran ("audio-mixer"), or -1.
double mixerThreadSeconds() {
  DIR* tasks = opendir("/proc/self/task");
  if (!tasks) return -1;
  double seconds = -1;
  while (dirent* e = readdir(tasks)) {
    const std::string dir = std::string("/proc/self/task/") + e->d_name;
    std::ifstream comm(dir + "/comm");
    std::string name;
    if (!std::getline(comm, name) || name != "audio-mixer") continue;
    std::ifstream stat(dir + "/schedstat");
    unsigned long long ns = 0;
    if (stat >> ns) seconds = ns * 1e-9;
  }
  closedir(tasks);
  return seconds;
}

double cpuSeconds() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

}  // namespace

int main() {
  const int kSounds = 32, kSeconds = 5;
  PulseServer server;
  std::string why;
  if (!server.start(why) || !server.startRecording(why)) {
    std::fprintf(stderr, "no sound server: %s\n", why.c_str());
    return 1;
  }
  AudioMixerExtension extension(nullptr, nullptr);
  Mixer mixer(extension);
  TInt32 sum = 0;
  for (int k = 0; k < kSounds; ++k) {
    mixer.addSound(soundOf(std::vector<TInt16>(16000 * (kSeconds + 1), static_cast<TInt16>(k + 1))));
    sum += k + 1;
  }
  const double before = cpuSeconds(), threadBefore = mixerThreadSeconds();
  const TInt64 start = nowMillis();
  for (int k = 0; k < kSounds; ++k) mixer.play(k);
  sleepMillis(kSeconds * 1000);
  const double cpu = cpuSeconds() - before;
  const double thread = mixerThreadSeconds() - threadBefore;
  const double wall = (nowMillis() - start) / 1000.0;
  const std::vector<TInt16> got = server.stopRecording();
  const long mixed = std::count(got.begin(), got.end(), static_cast<TInt16>(sum));
  if (mixed < 16000 * (kSeconds - 1)) {
    std::fprintf(stderr, "the monitor holds %ld samples of the mix, expected about %d\n", mixed, 16000 * kSeconds);
    return 1;
  }
  std::printf("32 sounds for %.1f s\n", wall);
  std::printf("mixer thread: %.1f us per 10 ms period, %.3f %% of one core\n", thread / (wall * 100) * 1e6,
              thread / wall * 100);
  // The recorder runs in this process too, so this is an upper bound.
  std::printf("whole process: %.1f us per 10 ms period, %.3f %% of one core\n", cpu / (wall * 100) * 1e6,
              cpu / wall * 100);
  return 0;
}
