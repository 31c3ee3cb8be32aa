#pragma once
// Standard error carries the image's log lines and the runtime's own
// messages, nothing of the toolkit's: its start-up notes (a missing runtime
// directory, platform plugins) and decoder warnings are dropped; messages of
// the "runtime" category ("Null BitmapContainer") and fatal ones pass.
// Call before the application object is built.
void installHostMessageFilter();

// A GUI application without a display: the offscreen platform unless the
// user chose one (QT_QPA_PLATFORM).
void preferOffscreenPlatform();
