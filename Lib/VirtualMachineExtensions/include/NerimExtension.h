#pragma once
// The interface an extension library implements. The runtime loads
// "<application directory>/<id>.so" for an extension id it does not build
// in, looks up the plain symbol "createExtension" and calls it once; the
// instance then receives every call with that id for the rest of the run.
// See docs/extensions.md.
#include "Types.h"

struct VMState;
class MVMCallbackInterface;
class FrameworkServices;

namespace NERIM {

class Extension {
 public:
  virtual ~Extension() {}
  // One EXTENSION_CALL: the arguments are the topmost slots of `state`
  // (the last at sp); the extension pops them and pushes its results by
  // moving state.sp itself. Errors are raised with raise() (Errors.h).
  virtual TInt32 invoke(VMState& state, TInt32 opcode) = 0;
};

}  // namespace NERIM

// The factory every extension library exports. `callback` reaches the
// machine (method lookup and calls, the heap), `host` the host services.
// Returning null refuses the load.
typedef NERIM::Extension* (*CreateExtensionFunction)(MVMCallbackInterface* callback, FrameworkServices* host);

#define NERIM_EXTENSION_FACTORY \
  extern "C" __attribute__((visibility("default"))) NERIM::Extension* createExtension( \
      MVMCallbackInterface* callback, FrameworkServices* host)
