#include "PulseServer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const char kSinkArgs[] = "module-null-sink sink_name=nullsink rate=16000 channels=1 format=s16le";

bool quiet(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

}  // namespace

TInt64 nowMillis() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void sleepMillis(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

PulseServer::PulseServer() {
  char pattern[] = "/tmp/audio-test-XXXXXX";
  iDir = mkdtemp(pattern);
  setenv("PULSE_RUNTIME_PATH", iDir.c_str(), 1);
  unsetenv("PULSE_SERVER");
}

PulseServer::~PulseServer() {
  if (iRecorder.joinable()) stopRecording();
  stop(iDaemon, SIGTERM);
  quiet("rm -rf " + iDir);
}

// Everything the child needs is made before fork: the tests run other
// threads, so the child may only open, dup and exec. Its home is the
// runtime directory, so the daemon's configuration and cookie stay there.
pid_t PulseServer::spawn(const std::vector<std::string>& argv, const std::string& out) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> settings = {"HOME=" + iDir, "XDG_CONFIG_HOME=" + iDir};
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "HOME=", 5) != 0 && std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0) settings.push_back(*e);
  std::vector<char*> env;
  for (std::string& e : settings) env.push_back(&e[0]);
  env.push_back(nullptr);
  const std::string log = iDir + "/children.log";
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  dup2(fd, 1);
  dup2(err, 2);
  execvpe(args[0], args.data(), env.data());
  _exit(127);
}

void PulseServer::stop(pid_t& pid, int signal) {
  if (pid <= 0) return;
  ::kill(pid, signal);
  ::kill(pid, SIGCONT);   // a paused daemon must see the signal
  waitpid(pid, nullptr, 0);
  pid = -1;
}

bool PulseServer::start(std::string& why) {
  iDaemon = spawn({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "-n",
                   "--log-target=stderr", std::string("--load=") + kSinkArgs,
                   "--load=module-native-protocol-unix auth-anonymous=1"},
                  "/dev/null");
  for (TInt64 end = nowMillis() + 15000; nowMillis() < end; sleepMillis(50)) {
    if (waitpid(iDaemon, nullptr, WNOHANG) == iDaemon) {
      iDaemon = -1;
      why = "the daemon ended at start (see " + iDir + "/children.log)";
      return false;
    }
    if (quiet("pactl info")) return true;
  }
  why = "the daemon does not answer";
  return false;
}

void PulseServer::kill() { stop(iDaemon, SIGKILL); }

void PulseServer::pause() { ::kill(iDaemon, SIGSTOP); }

void PulseServer::resume() { ::kill(iDaemon, SIGCONT); }

int PulseServer::streams() const {
  FILE* p = popen("pactl list short sink-inputs 2>/dev/null", "r");
  if (!p) return -1;
  int lines = 0;
  for (int c; (c = std::fgetc(p)) != EOF;)
    if (c == '\n') ++lines;
  pclose(p);
  return lines;
}

bool PulseServer::startRecording(std::string& why) {
  const pa_sample_spec format = {PA_SAMPLE_S16LE, 16000, 1};
  // Small fragments: what the sink played arrives within a few milliseconds.
  const pa_buffer_attr attr = {static_cast<uint32_t>(-1), 0, 0, 0, 320};
  int error = 0;
  pa_simple* source = pa_simple_new(nullptr, "audio-test", PA_STREAM_RECORD, "nullsink.monitor", "monitor",
                                    &format, nullptr, &attr, &error);
  if (!source) {
    why = std::string("the recorder cannot connect: ") + pa_strerror(error);
    return false;
  }
  iSamples.clear();
  iRecording = true;
  iChunks = 0;
  iRecorder = std::thread([this, source] { record(source); });
  for (TInt64 end = nowMillis() + 10000; nowMillis() < end; sleepMillis(10))
    if (iChunks >= 4) return true;
  stopRecording();
  why = "the monitor sends nothing";
  return false;
}

void PulseServer::record(pa_simple* source) {
  TInt16 chunk[160];
  int error = 0;
  while (iRecording && pa_simple_read(source, chunk, sizeof(chunk), &error) == 0)
  {
    iSamples.insert(iSamples.end(), chunk, chunk + 160);
    iChunks += 1;
  }
  pa_simple_free(source);
}

std::vector<TInt16> PulseServer::stopRecording() {
  iRecording = false;
  if (iRecorder.joinable()) iRecorder.join();
  return iSamples;
}
