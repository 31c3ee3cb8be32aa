#include "RunOptions.h"

namespace {

bool number(const QString& text, TInt64& out) {
  bool ok = false;
  out = text.toLongLong(&ok);
  return ok && out >= 0;
}

}  // namespace

const char* RunOptions::usage() {
  return "usage: mcbrun [--verify-heap] [--budget N] [--time-limit MS] [--memory-limit BYTES] DIR\n"
         "  Runs DIR/index.mcb: ::global::init, main, then its timers until none runs.\n"
         "  --verify-heap    check the heap after every top-level call and at exit\n"
         "  --budget N       end the run (FATAL) after N counted instructions\n"
         "  --time-limit MS  end the run (FATAL) when timers still run after MS ms\n"
         "  --memory-limit BYTES  host memory the image may use outside its heap\n"
         "                   (default 1 GiB); beyond it an allocation raises code 6\n";
}

bool RunOptions::parse(const QStringList& arguments, RunOptions& out, QString& error) {
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == QLatin1String("--verify-heap")) {
      out.verifyHeap = true;
    } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
      out.help = true;
    } else if (a == QLatin1String("--budget") || a == QLatin1String("--time-limit") ||
               a == QLatin1String("--memory-limit")) {
      TInt64 value = 0;
      if (i + 1 >= arguments.size() || !number(arguments[i + 1], value)) {
        error = a + QLatin1String(" needs a non-negative number");
        return false;
      }
      if (a == QLatin1String("--budget")) out.budget = value;
      else if (a == QLatin1String("--time-limit")) out.timeLimitMs = value;
      else out.memoryLimit = value;
      ++i;
    } else if (a.startsWith(QLatin1String("--"))) {
      error = QLatin1String("unknown option ") + a;
      return false;
    } else if (out.directory.isEmpty()) {
      out.directory = a;
    } else {
      error = QLatin1String("more than one directory given");
      return false;
    }
  }
  if (out.directory.isEmpty() && !out.help) {
    error = QLatin1String("no application directory given");
    return false;
  }
  return true;
}
