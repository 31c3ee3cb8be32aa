// Screen group (31): the window through the host services: size, repaint,
// orientation, display blanking and screen listeners (kept alive while
// registered: one root each, however often added).
#include "FrameworkServices.h"
#include "NativeHelpers.h"
#include "NativeRegistry.h"
#include "VMState.h"

using native::Args;
using native::Context;

namespace {

void repaintAll(Context& cx) {
  TInt32 w = 0, h = 0;
  cx.host().getScreenSize(w, h);
  cx.host().repaint(0, 0, w, h);
}

void screenSize(Context& cx) {   // -> w, h
  TInt32 w = 0, h = 0;
  cx.host().getScreenSize(w, h);
  native::pushResult(cx.state, static_cast<TUint32>(w));
  native::pushResult(cx.state, static_cast<TUint32>(h));
}

void setOrientation(Context& cx) {   // int
  Args a(cx.state, 1);
  cx.host().setOrientation(a.integer(0));
  a.noResult();
}

void orientation(Context& cx) { native::pushResult(cx.state, static_cast<TUint32>(cx.host().getOrientation())); }

void pauseBlanking(Context& cx) {   // flag
  Args a(cx.state, 1);
  cx.host().setBlankingPaused(a.integer(0) != 0);
  a.noResult();
}

void repaint(Context& cx) {   // x, y, w, h
  Args a(cx.state, 4);
  cx.host().repaint(a.integer(0), a.integer(1), a.integer(2), a.integer(3));
  a.noResult();
}

void addListener(Context& cx) {   // object
  Args a(cx.state, 1);
  const TUint32 listener = a.word(0);
  cx.state.screenListeners.add(cx.heap(), listener);
  cx.host().addScreenListener(listener);
  a.noResult();
}

void removeListener(Context& cx) {   // object
  Args a(cx.state, 1);
  const TUint32 listener = a.word(0);
  cx.host().removeScreenListener(listener);
  cx.state.screenListeners.remove(cx.heap(), listener);
  a.noResult();
}

const native::Operation kRows[] = {
    {1, "repaintAll", repaintAll, "->", "none"},
    {2, "size", screenSize, "-> w, h", "none"},
    {3, "setOrientation", setOrientation, "int ->", "none"},
    {4, "orientation", orientation, "-> int", "none"},
    {5, "pauseBlanking", pauseBlanking, "int ->", "none"},
    {6, "repaint", repaint, "x, y, w, h ->", "none"},
    {7, "addListener", addListener, "ref ->", "none"},
    {8, "removeListener", removeListener, "ref ->", "none"},
};

}  // namespace

NATIVE_OPERATIONS(screenOperations, kRows);
