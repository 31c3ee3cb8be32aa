#pragma once
// One headless run of an application directory: load index.mcb, run
// ::global::init and main, then the Qt event loop while timers run. The
// result is the process exit status: 0 for a normal end or a termination
// request, 1 for a FATAL error or an image that cannot be opened.
struct RunOptions;

int runHeadless(const RunOptions& options);
