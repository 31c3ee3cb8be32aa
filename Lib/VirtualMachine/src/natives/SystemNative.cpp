// System group (32): the application object that receives host events,
// clocks, host queries, ending the run, the current date and making fonts.
#include "DateTime.h"
#include "FontCreation.h"
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeHelpers.h"

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

// The application object stays a root exactly once while it is set. Only a
// live block may become one: a forged word would have every later
// collection mark through whatever lies there.
void setApplicationObject(native::Context& cx) {
  native::Args a(cx, 1);
  const TUint32 object = a.word(0);
  if (object && !cx.heap().isLiveBlock(object)) raiseInvalidAddress();
  const TUint32 previous = *cx.applicationObject;
  if (object != previous) {
    if (previous) cx.heap().removeRoot(previous);
    *cx.applicationObject = object;
    if (object) cx.heap().addRoot(object);
  }
  a.noResult();
}

// The date now, converted to the zone (above 1: code 6), in a new cell.
void now(native::Context& cx) {
  native::Args a(cx, 1);
  Nerim::DateTime date;
  date.setTimezone(a.integer(0));
  a.result(native::newObjectInCell<Nerim::DateTime>(cx.heap(), GC_CODE_DATETIME, date));
}

void newFont(native::Context& cx) { native::pushResult(cx, fontcreation::nativeFont(cx.heap(), 0)); }

void loadStripFont(native::Context& cx) {
  native::Args a(cx, 1);
  const NString name = native::stringAt(a.word(0));
  a.result(fontcreation::stripFontFromFile(cx.host(), cx.heap(), name));
}

void decodeStripFont(native::Context& cx) {
  native::Args a(cx, 1);
  a.result(fontcreation::stripFontFromBytes(cx.heap(), native::derefCell(a.word(0))));
}

const native::Operation kRows[] = {
    {1, "exit", exitApplication, "->", "none"},
    {2, "hostRequest", hostRequest, "str -> (ends the run)", "12 (ends the run)"},
    {3, "elapsedMillis", elapsedMillis, "-> int", "none"},
    {4, "callStack", callStack, "-> str", "none"},
    {5, "setApplicationObject", setApplicationObject, "ref ->", "none"},
    {6, "integerQueryB", integerQueryB, "-> int", "none"},
    {7, "integerQueryA", integerQueryA, "-> int", "none"},
    {8, "currentTimeMillis", currentTimeMillis, "-> int", "none"},
    {9, "now", now, "timezone -> date", "6 \"Invalid timezone\""},
    {10, "newFont", newFont, "-> font", "none"},
    {11, "loadStripFont", loadStripFont, "str -> font", "6 \"Filename is empty\"; 7 \"Could not open file: NAME\"; 6 \"File is empty\"; 7; 6 (not a strip font image)"},
    {12, "decodeStripFont", decodeStripFont, "bytes -> font", "6 \"byte[] is empty\"; 6 (not a strip font image)"},
    {13, "discardTwo", native::discard<2>, "word, word ->", "none"},
};

}  // namespace

NATIVE_OPERATIONS(systemOperations, kRows);
