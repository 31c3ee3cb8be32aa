// Input latency of the runtime executable: key presses injected through
// the X server (XTest) into mcb running latency.asm under a private Xvfb,
// each timed from the injection to the damage the repaint it asked for
// leaves on the window (the server has the new frame then). Prints the
// median, p99 and worst case; fails unless the image counted every press.
//
//   input_latency [PRESSES]          (default 1000)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double nowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

[[noreturn]] void die(const std::string& why) {
  std::fprintf(stderr, "input_latency: %s\n", why.c_str());
  std::exit(1);
}

// Starts a program with the given environment additions; stdout and
// stderr to the given descriptors (-1 keeps them).
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int out, int err,
            const char* dir = nullptr) {
  std::vector<char*> a;
  for (const std::string& s : argv) a.push_back(const_cast<char*>(s.c_str()));
  a.push_back(nullptr);
  std::vector<std::string> e;
  for (char** p = environ; *p; ++p) e.push_back(*p);
  for (const std::string& s : env) e.push_back(s);
  std::vector<char*> ep;
  for (const std::string& s : e) ep.push_back(const_cast<char*>(s.c_str()));
  ep.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (out >= 0) posix_spawn_file_actions_adddup2(&fa, out, 1);
  if (err >= 0) posix_spawn_file_actions_adddup2(&fa, err, 2);
  std::string cwd;
  if (dir) {
    char buf[4096];
    cwd = getcwd(buf, sizeof buf) ? buf : "";
    if (chdir(dir) != 0) die("cannot enter " + std::string(dir));
  }
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, a[0], &fa, nullptr, a.data(), ep.data());
  if (dir && chdir(cwd.c_str()) != 0) die("cannot return to " + cwd);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) die("cannot start " + argv[0] + ": " + std::strerror(rc));
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Window findWindow(Display* d, Window w, const char* name) {
  char* n = nullptr;
  if (XFetchName(d, w, &n) && n) {
    const bool match = std::strcmp(n, name) == 0;
    XFree(n);
    XWindowAttributes a;
    if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
  }
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (XQueryTree(d, w, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && !found; ++i) found = findWindow(d, children[i], name);
    if (children) XFree(children);
  }
  return found;
}

// Waits up to ms for a damage event; true when one came. Other events are dropped.
bool awaitDamage(Display* d, int damageBase, int ms) {
  const double end = nowMs() + ms;
  for (;;) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == damageBase + XDamageNotify) return true;
    }
    const double left = end - nowMs();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left) + 1);
  }
}

void drain(Display* d, int damageBase) {
  while (awaitDamage(d, damageBase, 3)) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int presses = argc > 1 ? std::atoi(argv[1]) : 1000;
  char dirTemplate[] = "/tmp/input-latency-XXXXXX";
  const std::string dir = mkdtemp(dirTemplate);
  if (waitFor(spawn({MCBASM_PATH, "-I", EXAMPLES_LIB, LATENCY_ASM, "-o", dir + "/index.mcb"}, {}, -1, -1)) != 0)
    die("the benchmark image does not assemble");

  int displayPipe[2];
  if (pipe(displayPipe) != 0) die("pipe");
  const int devnull = open("/dev/null", O_WRONLY);
  const pid_t xvfb = spawn({"Xvfb", "-displayfd", "1", "-screen", "0", "800x480x24", "-nolisten", "tcp"}, {},
                           displayPipe[1], devnull);
  close(displayPipe[1]);
  char number[32] = {0};
  const ssize_t n = read(displayPipe[0], number, sizeof number - 1);
  if (n <= 0) die("Xvfb gave no display number");
  const std::string display = ":" + std::string(number, std::strcspn(number, "\n"));

  const std::string log = dir + "/mcb.log";
  const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const pid_t mcb = spawn({MCB_PATH, "--title", "latency"},
                          {"DISPLAY=" + display, "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + dir + "/no-bus",
                           "XDG_RUNTIME_DIR=" + dir},
                          devnull, logFd, dir.c_str());

  Display* d = XOpenDisplay(display.c_str());
  if (!d) die("cannot open " + display);
  Window window = 0;
  for (int i = 0; i < 200 && !window; ++i) {
    window = findWindow(d, DefaultRootWindow(d), "latency");
    if (!window) usleep(50000);
  }
  if (!window) die("mcb shows no window");
  int damageBase = 0, damageError = 0, xtest = 0, xtestError = 0, major = 0, minor = 0;
  if (!XDamageQueryExtension(d, &damageBase, &damageError)) die("no DAMAGE extension");
  if (!XTestQueryExtension(d, &xtest, &xtestError, &major, &minor)) die("no XTEST extension");
  XDamageCreate(d, window, XDamageReportRawRectangles);
  XSetInputFocus(d, window, RevertToParent, CurrentTime);
  XSync(d, False);
  drain(d, damageBase);

  const KeyCode a = XKeysymToKeycode(d, XK_a);
  std::vector<double> ms;
  int missed = 0;
  for (int i = 0; i < presses; ++i) {
    const double t0 = nowMs();
    XTestFakeKeyEvent(d, a, True, CurrentTime);
    XFlush(d);
    if (awaitDamage(d, damageBase, 2000)) ms.push_back(nowMs() - t0);
    else ++missed;
    XTestFakeKeyEvent(d, a, False, CurrentTime);
    XSync(d, False);
    drain(d, damageBase);
  }
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_Escape), True, CurrentTime);
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_Escape), False, CurrentTime);
  XSync(d, False);
  const int status = waitFor(mcb);
  XCloseDisplay(d);
  kill(xvfb, SIGTERM);
  waitFor(xvfb);

  // Check before trusting the times: the image saw every press.
  FILE* f = std::fopen(log.c_str(), "r");
  char line[256];
  int counted = -1;
  while (f && std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "LOG: presses %d", &counted) == 1) break;
  if (f) std::fclose(f);
  std::string cleanup = "rm -rf '" + dir + "'";
  if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "input_latency: %s left behind\n", dir.c_str());
  if (status != 0 || counted != presses || missed > 0) {
    std::fprintf(stderr, "input_latency: the image counted %d of %d presses, %d without a frame, status %d\n",
                 counted, presses, missed, status);
    return 1;
  }
  std::sort(ms.begin(), ms.end());
  auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))]; };
  std::printf("presses %d  median %.3f ms  p90 %.3f ms  p99 %.3f ms  worst %.3f ms\n", presses, at(0.5), at(0.9),
              at(0.99), ms.back());
  return 0;
}
