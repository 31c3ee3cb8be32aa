// Debug group (30): logging through the host.
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeHelpers.h"

namespace {

void log(native::Context& cx) {
  native::Args a(cx, 1);
  const NString text = native::stringAt(a.word(0));
  a.noResult();
  cx.host().log(text);
}

void setLogFile(native::Context& cx) {
  native::Args a(cx, 1);
  const NString name = native::stringAt(a.word(0));
  a.noResult();
  cx.host().setLogFile(name);
}

const native::Operation kRows[] = {
    {1, "log", log, "str ->", "none"},
    {2, "setLogFile", setLogFile, "str ->", "none"},
    {3, "nothing", native::discard<0>, "->", "none"},
};

}  // namespace

NATIVE_OPERATIONS(debugOperations, kRows);
