#pragma once
// What a host may watch while bytecode runs: throws that no handler catches
// and, for a trace, each instruction of the traced code. The machine calls
// these only off its fast path (a throw without a handler; instructions
// marked for tracing), so an unwatched run costs nothing.
#include "Types.h"

class MRunObserver {
 public:
  virtual ~MRunObserver() {}
  // The instruction at pc is about to run; sp is the top slot.
  virtual void step(TInt32 pc, TInt32 sp) = 0;
  // An error raised by the instruction at pc becomes a bytecode exception
  // (the image's internal-throw hook runs next, without a frame of its own).
  virtual void raised(TInt32 pc) = 0;
  // A throw at pc found no handler; the machine continues in the image's
  // uncaught-throw hook next.
  virtual void uncaught(TUint32 throwable, TInt32 pc) = 0;
};
