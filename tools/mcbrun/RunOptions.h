#pragma once
// The command line of the headless runner:
//   mcbrun [OPTION]... DIR|IMAGE
#include "HostMemory.h"
#include "Types.h"

#include <QString>
#include <QStringList>

struct RunOptions {
  bool verifyHeap = false;
  TInt64 budget = -1;       // negative: unlimited
  TInt64 timeLimitMs = -1;  // negative: none
  size_t memoryLimit = hostmem::kDefaultLimit;
  TInt64 frames = -1;       // draw calls after main; negative: 1 with a screenshot, else 0
  QString screenshot;       // PNG of the backing pixmap after the last frame
  QString replayFile;  // empty: no replay
  QString directory;
  QString image = QStringLiteral("index.mcb");   // inside directory
  bool help = false;
  bool version = false;
  bool trace = false;       // every instruction, or only traceMethod's
  QString traceMethod;
  bool profile = false;

  // False with a message for a command line that cannot be run.
  static bool parse(const QStringList& arguments, RunOptions& out, QString& error);
  static const char* usage();
};
