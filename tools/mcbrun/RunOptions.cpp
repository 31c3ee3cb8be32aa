#include "RunOptions.h"

#include "HostMemory.h"

#include <QFileInfo>

namespace {

bool number(const QString& text, TInt64& out) {
  bool ok = false;
  out = text.toLongLong(&ok);
  return ok && out >= 0;
}

// An image file (or a name ending in .mcb) runs with its folder as the
// application directory; anything else is the directory.
void setPath(const QString& path, RunOptions& out) {
  const QFileInfo info(path);
  if (info.isFile() || (!info.exists() && path.endsWith(QLatin1String(".mcb")))) {
    out.directory = info.path();
    out.image = info.fileName();
  } else {
    out.directory = path;
  }
}

}  // namespace

const char* RunOptions::usage() {
  return "usage: mcbrun [OPTION]... DIR|IMAGE\n"
         "  Runs DIR/index.mcb (or the image IMAGE, with its folder as the application\n"
         "  directory): ::global::init, main, then its timers until none runs and no\n"
         "  player plays sound. With the map IMAGE.map that mcbasm writes, errors name\n"
         "  methods and source lines.\n"
         "  Status: 0 normal end, 1 FATAL error or no image, 2 bad command line.\n"
         "  --verify-heap    check the heap after every top-level call and at exit\n"
         "  --budget N       end the run (FATAL) after N counted instructions\n"
         "  --time-limit MS  end the run (FATAL) when timers or sound still run after\n"
         "                   MS ms\n"
         "  --memory-limit BYTES  host memory the image may use outside its heap\n"
         "                   (default 1 GiB); beyond it an allocation raises code 6\n"
         "  --frames N       after main, call the draw entry N times on the backing\n"
         "                   pixmap (800x480, 480x800 in portrait), each followed by\n"
         "                   its collection\n"
         "  --screenshot FILE.png  write the backing pixmap after the last frame\n"
         "                   (one frame unless --frames says otherwise)\n"
         "  --replay FILE    after main, delivers the events of a recording made with\n"
         "                   mcb --record FILE at their times; the run ends after the last\n"
         "  --trace          print each instruction (TRACE: lines) with the stack top\n"
         "  --trace=METHOD   the same for one method (a name from the map)\n"
         "  --profile        sample the running instruction every ms of CPU time and\n"
         "                   print the hottest methods and lines at the end\n"
         "  --help           this text;  --version  the version\n";
}

bool RunOptions::parse(const QStringList& arguments, RunOptions& out, QString& error) {
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == QLatin1String("--verify-heap")) {
      out.verifyHeap = true;
    } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
      out.help = true;
    } else if (a == QLatin1String("--version")) {
      out.version = true;
    } else if (a == QLatin1String("--trace")) {
      out.trace = true;
    } else if (a.startsWith(QLatin1String("--trace="))) {
      out.trace = true;
      out.traceMethod = a.mid(8);
    } else if (a == QLatin1String("--profile")) {
      out.profile = true;
    } else if (a == QLatin1String("--memory-limit")) {
      size_t bytes = 0;
      if (i + 1 >= arguments.size() || !hostmem::parseLimit(arguments[i + 1].toLatin1().constData(), bytes)) {
        error = a + QLatin1String(" needs a non-negative number");
        return false;
      }
      out.memoryLimit = bytes;
      ++i;
    } else if (a == QLatin1String("--budget") || a == QLatin1String("--time-limit") || a == QLatin1String("--frames")) {
      TInt64 value = 0;
      if (i + 1 >= arguments.size() || !number(arguments[i + 1], value)) {
        error = a + QLatin1String(" needs a non-negative number");
        return false;
      }
      if (a == QLatin1String("--budget")) out.budget = value;
      else if (a == QLatin1String("--time-limit")) out.timeLimitMs = value;
      else out.frames = value;
      ++i;
    } else if (a == QLatin1String("--screenshot")) {
      if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
        error = a + QLatin1String(" needs a file name");
        return false;
      }
      out.screenshot = arguments[++i];
    } else if (a == QLatin1String("--replay")) {
      if (i + 1 >= arguments.size()) {
        error = a + QLatin1String(" needs a file");
        return false;
      }
      out.replayFile = arguments[++i];
    } else if (a.startsWith(QLatin1String("--"))) {
      error = QLatin1String("unknown option ") + a;
      return false;
    } else if (out.directory.isEmpty()) {
      setPath(a, out);
    } else {
      error = QLatin1String("more than one application given");
      return false;
    }
  }
  if (out.trace && out.profile) {
    error = QLatin1String("--trace and --profile do not go together");
    return false;
  }
  if (out.directory.isEmpty() && !out.help && !out.version) {
    error = QLatin1String("no application directory given");
    return false;
  }
  return true;
}
