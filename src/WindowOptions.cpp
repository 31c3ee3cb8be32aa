#include "WindowOptions.h"

#include <cstdio>
#include <getopt.h>
#include <libgen.h>

namespace {

enum { OPT_AUTO = 1, OPT_TITLE, OPT_WINDOWED, OPT_RECORD, OPT_MEMORY_LIMIT, OPT_HELP };

const option kOptions[] = {
    {"auto", no_argument, nullptr, OPT_AUTO},
    {"title", required_argument, nullptr, OPT_TITLE},
    {"windowed", no_argument, nullptr, OPT_WINDOWED},
    {"record", required_argument, nullptr, OPT_RECORD},
    {"memory-limit", required_argument, nullptr, OPT_MEMORY_LIMIT},
    {"help", no_argument, nullptr, OPT_HELP},
    {nullptr, 0, nullptr, 0},
};

// "/opt/" and the base name of the program's path, at most 4096 characters.
bool autoDirectory(const char* program, QByteArray& out) {
  QByteArray copy(program ? program : "");
  const char* base = basename(copy.data());
  char buffer[4097];
  const int length = std::snprintf(buffer, sizeof buffer, "/opt/%s", base);
  if (length < 0 || length > 4096) {
    std::fprintf(stderr, "%s: VM basename too long\n", base);
    return false;
  }
  out = QByteArray(buffer, length);
  return true;
}

}  // namespace

const char* WindowOptions::usage() {
  return "usage: mcb [--auto] [--title TEXT] [--windowed] [--record FILE]\n"
         "           [--memory-limit BYTES]\n"
         "  Runs index.mcb of the application directory (the current directory)\n"
         "  in a full-screen window.\n"
         "  --auto         the application directory is /opt/<name>, <name> being\n"
         "                 the base name this program was started under\n"
         "  --title TEXT   the window title\n"
         "  --windowed     an ordinary 800 by 480 window (480 by 800 while the\n"
         "                 image asks for portrait) instead of a full-screen one,\n"
         "                 for displays larger than the handset's\n"
         "  --record FILE  writes every event delivered to the image to FILE, one\n"
         "                 line each: <ms since start> <event> <arguments>;\n"
         "                 mcbrun --replay FILE plays it back without a window\n"
         "  --memory-limit BYTES  host memory the image may use outside its heap\n"
         "                 (default 1 GiB); beyond it an allocation raises code 6\n"
         "  --help         this text\n"
         "  Exit status: 0 when the application ends, 1 when the image cannot be\n"
         "  opened or an error escapes it (\"FATAL: \" on standard error).\n";
}

bool WindowOptions::parse(int argc, char** argv, const QByteArray& currentDirectory, WindowOptions& out,
                          int& status) {
  out.directory = currentDirectory;
  optind = 1;
  for (;;) {
    const int c = getopt_long(argc, argv, "", kOptions, nullptr);
    if (c == -1) break;
    switch (c) {
      case OPT_AUTO:
        if (!autoDirectory(argc > 0 ? argv[0] : nullptr, out.directory)) {
          status = 1;
          return false;
        }
        break;
      case OPT_TITLE: out.title = QString::fromLatin1(optarg); break;
      case OPT_WINDOWED: out.windowed = true; break;
      case OPT_RECORD: out.recordFile = QString::fromLocal8Bit(optarg); break;
      case OPT_MEMORY_LIMIT:
        // A limit that cannot be read would run the image under another one.
        if (!hostmem::parseLimit(optarg, out.memoryLimit)) {
          std::fprintf(stderr, "mcb: --memory-limit needs a non-negative number, not '%s'\n", optarg);
          status = 1;
          return false;
        }
        break;
      case OPT_HELP: out.help = true; break;
      default: break;  // the parser has said what was wrong
    }
  }
  if (out.help) {
    std::fputs(usage(), stdout);
    status = 0;
    return false;
  }
  return true;
}
