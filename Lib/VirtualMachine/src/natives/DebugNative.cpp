// Debug group (30): logging through the host.
#include "Errors.h"
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"

void debugNative(VMState& state, TInt32 op, FrameworkServices& host) {
  switch (op) {
    case 1: {
      native::Args args(state, 1);
      const NString text = native::stringAt(args.word(0));
      args.noResult();
      host.log(text);
      return;
    }
    case 2: {
      native::Args args(state, 1);
      const NString name = native::stringAt(args.word(0));
      args.noResult();
      host.setLogFile(name);
      return;
    }
    case 3: return;
    default: native::unknownOperation("Debug: ", op);
  }
}
