#pragma once
// The command line of the runtime executable (long options only):
//   mcb [--auto] [--title TEXT] [--windowed] [--record FILE]
//       [--memory-limit BYTES] [--help]
// Unknown options are reported by the option parser and otherwise
// ignored, as are non-option arguments; a repeated option takes effect
// again (the last one wins).
#include "HostMemory.h"

#include <QByteArray>
#include <QString>

struct WindowOptions {
  QByteArray directory;  // the application directory
  QString title;         // null unless --title is given
  bool windowed = false;
  QString recordFile;  // empty: no recording
  size_t memoryLimit = hostmem::kDefaultLimit;
  bool help = false;

  // Fills options from the arguments; the current directory is the
  // default application directory. False when the run cannot go on: the
  // reason is on standard error and status holds the exit status.
  static bool parse(int argc, char** argv, const QByteArray& currentDirectory, WindowOptions& out, int& status);
  static const char* usage();
};
