// System group (32): the application object that receives host events,
// clocks, host queries and ending the run.
#include "Errors.h"
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"

#include <QString>

namespace {

// Dates, fonts and bitmaps come with their own groups.
[[noreturn]] void notAvailable(TInt32 op) {
  raise(ERR_RUNTIME, QStringLiteral("Internal error: System operation %1 is not available").arg(op));
}

}  // namespace

void systemNative(VMState& state, TInt32 op, FrameworkServices& host, TUint32* applicationObject) {
  switch (op) {
    case 1: return host.exitApplication();
    case 2: {
      native::Args args(state, 1);
      const NString text = native::stringAt(args.word(0));
      args.noResult();
      host.hostRequest(text);
      raise(ERR_TERMINATE, "");
    }
    case 3: return native::pushResult(state, static_cast<TUint32>(host.elapsedMillis()));
    case 4: return native::pushResult(state, native::newStringFrom(state.heap, NString("No Callstack available")));
    case 5: {
      // The application object stays a root exactly once while it is set.
      native::Args args(state, 1);
      const TUint32 object = args.word(0);
      const TUint32 previous = *applicationObject;
      if (object != previous) {
        if (previous) state.heap.removeRoot(previous);
        *applicationObject = object;
        if (object) state.heap.addRoot(object);
      }
      return args.noResult();
    }
    case 6: return native::pushResult(state, static_cast<TUint32>(host.integerQueryB()));
    case 7: return native::pushResult(state, static_cast<TUint32>(host.integerQueryA()));
    case 8: return native::pushResult(state, static_cast<TUint32>(host.currentTimeMillis()));
    case 9:
    case 10:
    case 11:
    case 12: notAvailable(op);
    case 13: {
      native::Args args(state, 2);
      return args.noResult();
    }
    default: native::unknownOperation("System:", op);
  }
}
