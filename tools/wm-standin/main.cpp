// wm-standin: a stand-in for the window manager's side of the handset's
// window properties, for tests and for trying the runtime by hand on an X
// server without that window manager (Xvfb, a desktop).
//
//   Xvfb :5 -screen 0 800x480x24 &
//   DISPLAY=:5 wm-standin
//
// At start it makes the atoms _HILDON_NON_COMPOSITED_WINDOW,
// _HILDON_PORTRAIT_MODE_REQUEST and _MB_CURRENT_APP_WINDOW (clients look
// the first two up only if they exist) and prints "ready".
//
// Commands, one a line on standard input:
//   current WINDOW       sets _MB_CURRENT_APP_WINDOW on the root window to
//                        WINDOW (decimal or 0x hex) as one 32-bit WINDOW
//   current all          the same with all ones (0xFFFFFFFF)
//   raw TYPE FORMAT V..  the same property with any type (an atom name such
//                        as WINDOW or CARDINAL), format 8, 16 or 32 and any
//                        number of values, none included
//   quit
// Reports, one a line on standard output:
//   set                                       a current-window command is done
// and for every value written:
//   portrait WINDOW VALUE TYPE FORMAT         _HILDON_PORTRAIT_MODE_REQUEST
//                                             on a top-level window
//   non-composited WINDOW VALUE TYPE FORMAT   _HILDON_NON_COMPOSITED_WINDOW
//                                             (the runtime sets it on the root)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/select.h>
#include <unistd.h>
#include <vector>

namespace {

Display* d;
Window root;
Atom nonComposited, portrait, currentApp;

void report(const std::string& line) {
  std::fprintf(stdout, "%s\n", line.c_str());
  std::fflush(stdout);
}

std::string hex(unsigned long v) {
  char b[32];
  std::snprintf(b, sizeof b, "0x%lx", v);
  return b;
}

// Property changes of every top-level window, also those made later.
void watch(Window w) { XSelectInput(d, w, PropertyChangeMask); }

// A window may be gone before it is watched or read; that is no reason to
// stop (Xlib's own handler would end the process).
int ignoreError(Display*, XErrorEvent*) { return 0; }

void reportProperty(const char* what, Window w, Atom atom) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, atom, 0, 16, False, AnyPropertyType, &type, &format, &items, &after, &data) != Success)
    return;
  std::string line = std::string(what) + " " + hex(w);
  for (unsigned long i = 0; i < items; ++i) {
    long v = format == 32 ? reinterpret_cast<long*>(data)[i]
             : format == 16 ? reinterpret_cast<short*>(data)[i] : reinterpret_cast<char*>(data)[i];
    line += " " + std::to_string(format == 32 ? static_cast<long>(static_cast<int>(v)) : v);
  }
  char* typeName = type != None ? XGetAtomName(d, type) : nullptr;
  line += std::string(" ") + (typeName ? typeName : "None") + " " + std::to_string(format);
  if (typeName) XFree(typeName);
  if (data) XFree(data);
  report(line);
}

void setCurrent(Atom type, int format, const std::vector<unsigned long>& values) {
  std::vector<long> l(values.begin(), values.end());
  std::vector<short> s(values.begin(), values.end());
  std::vector<char> c(values.begin(), values.end());
  const unsigned char* data = format == 32   ? reinterpret_cast<unsigned char*>(l.data())
                              : format == 16 ? reinterpret_cast<unsigned char*>(s.data())
                                             : reinterpret_cast<unsigned char*>(c.data());
  XChangeProperty(d, root, currentApp, type, format, PropModeReplace, data, static_cast<int>(values.size()));
  // Once the server has it, every client sees the change before any
  // event that comes later (a key typed after "set", for one).
  XSync(d, False);
  report("set");
}

void command(const std::string& line) {
  char word[64] = {0}, arg[64] = {0};
  std::sscanf(line.c_str(), "%63s %63s", word, arg);
  const std::string w = word;
  if (w == "current") {
    const unsigned long v = std::strcmp(arg, "all") == 0 ? 0xFFFFFFFFul : std::strtoul(arg, nullptr, 0);
    setCurrent(XA_WINDOW, 32, {v});
  } else if (w == "raw") {
    char typeName[64] = {0};
    int format = 0, used = 0;
    if (std::sscanf(line.c_str(), "raw %63s %d %n", typeName, &format, &used) < 2 ||
        (format != 8 && format != 16 && format != 32)) {
      std::fprintf(stderr, "wm-standin: raw TYPE FORMAT VALUES...\n");
      return;
    }
    std::vector<unsigned long> values;
    const char* p = line.c_str() + used;
    char* end = nullptr;
    for (unsigned long v = std::strtoul(p, &end, 0); end != p; v = std::strtoul(p, &end, 0)) {
      values.push_back(v);
      p = end;
    }
    setCurrent(XInternAtom(d, typeName, False), format, values);
  } else if (w == "quit") {
    std::exit(0);
  } else if (!w.empty()) {
    std::fprintf(stderr, "wm-standin: unknown command '%s'\n", line.c_str());
  }
}

}  // namespace

int main() {
  d = XOpenDisplay(nullptr);
  if (!d) {
    std::fputs("wm-standin: cannot open the display\n", stderr);
    return 1;
  }
  XSetErrorHandler(ignoreError);
  root = DefaultRootWindow(d);
  nonComposited = XInternAtom(d, "_HILDON_NON_COMPOSITED_WINDOW", False);
  portrait = XInternAtom(d, "_HILDON_PORTRAIT_MODE_REQUEST", False);
  currentApp = XInternAtom(d, "_MB_CURRENT_APP_WINDOW", False);
  XSelectInput(d, root, PropertyChangeMask | SubstructureNotifyMask);
  Window rootReturn, parent, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(d, root, &rootReturn, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) watch(children[i]);
    if (children) XFree(children);
  }
  XSync(d, False);
  report("ready");

  std::string pending;
  for (;;) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == CreateNotify && e.xcreatewindow.parent == root) watch(e.xcreatewindow.window);
      if (e.type != PropertyNotify || e.xproperty.state != PropertyNewValue) continue;
      if (e.xproperty.atom == portrait) reportProperty("portrait", e.xproperty.window, portrait);
      if (e.xproperty.atom == nonComposited) reportProperty("non-composited", e.xproperty.window, nonComposited);
    }
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(d), &fds);
    FD_SET(STDIN_FILENO, &fds);
    if (select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, nullptr) < 0) continue;
    if (FD_ISSET(STDIN_FILENO, &fds)) {
      char buffer[4096];
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) return 0;
      pending.append(buffer, static_cast<size_t>(n));
      size_t end;
      while ((end = pending.find('\n')) != std::string::npos) {
        command(pending.substr(0, end));
        pending.erase(0, end + 1);
      }
    }
  }
}
