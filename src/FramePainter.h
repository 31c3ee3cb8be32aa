#pragma once
// The paint path, the one place a frame is drawn, for the window and the
// headless runner alike: a canvas container on the pixmap, a kind-1 handle
// passed to the image's draw entry, the canvas painter ended when the entry
// returns (a canvas the image kept draws nothing afterwards), then a
// collection. Errors from the entry propagate to the caller's guard.
// The clip, in pixmap coordinates, limits what the frame changes: a
// window repaints only what needs it; an empty clip draws everywhere.
#include <QRegion>

class ClientVM;
class QPixmap;

void paintFrame(QPixmap& pixmap, ClientVM& vm, const QRegion& clip = QRegion());
