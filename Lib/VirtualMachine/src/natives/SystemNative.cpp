// System group (32): the application object that receives host events,
// clocks, host queries and ending the run.
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeHelpers.h"

#include <QString>

namespace {

void exitApplication(native::Context& cx) { cx.host().exitApplication(); }

void hostRequest(native::Context& cx) {
  native::Args a(cx, 1);
  const NString text = native::stringAt(a.word(0));
  a.noResult();
  cx.host().hostRequest(text);
  raise(ERR_TERMINATE, "");
}

void elapsedMillis(native::Context& cx) { native::pushResult(cx, static_cast<TUint32>(cx.host().elapsedMillis())); }
void currentTimeMillis(native::Context& cx) {
  native::pushResult(cx, static_cast<TUint32>(cx.host().currentTimeMillis()));
}
void integerQueryA(native::Context& cx) { native::pushResult(cx, static_cast<TUint32>(cx.host().integerQueryA())); }
void integerQueryB(native::Context& cx) { native::pushResult(cx, static_cast<TUint32>(cx.host().integerQueryB())); }

void callStack(native::Context& cx) {
  native::pushResult(cx, native::newStringFrom(cx.heap(), NString("No Callstack available")));
}

// The application object stays a root exactly once while it is set.
void setApplicationObject(native::Context& cx) {
  native::Args a(cx, 1);
  const TUint32 object = a.word(0);
  const TUint32 previous = *cx.applicationObject;
  if (object != previous) {
    if (previous) cx.heap().removeRoot(previous);
    *cx.applicationObject = object;
    if (object) cx.heap().addRoot(object);
  }
  a.noResult();
}

// Dates, fonts and bitmaps come with their own groups.
void notAvailable(native::Context& cx) {
  raise(ERR_RUNTIME, QStringLiteral("Internal error: System operation %1 is not available").arg(cx.op));
}

void dropTwo(native::Context& cx) { native::Args(cx, 2).noResult(); }

const native::Operation kRows[] = {
    {1, "exit", exitApplication, "->"},
    {2, "hostRequest", hostRequest, "str -> (ends the run)"},
    {3, "elapsedMillis", elapsedMillis, "-> int"},
    {4, "callStack", callStack, "-> str"},
    {5, "setApplicationObject", setApplicationObject, "ref ->"},
    {6, "integerQueryB", integerQueryB, "-> int"},
    {7, "integerQueryA", integerQueryA, "-> int"},
    {8, "currentTimeMillis", currentTimeMillis, "-> int"},
    {9, "now", notAvailable, "timezone -> date (not available)"},
    {10, "newFont", notAvailable, "-> font (not available)"},
    {11, "loadBitmap", notAvailable, "str -> bitmap (not available)"},
    {12, "decodeBitmap", notAvailable, "bytes -> bitmap (not available)"},
    {13, "discardTwo", dropTwo, "word, word ->"},
};

}  // namespace

NATIVE_OPERATIONS(systemOperations, kRows);
