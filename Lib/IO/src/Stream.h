#pragma once
// NERIM::Stream: the base of every byte stream. Streams report failure by
// their results and never raise, except for broken invariants.
#include "Types.h"

namespace NERIM {

class Stream {
 public:
  virtual ~Stream() {}
  virtual bool isOpen() const { return iOpen; }
  // Called before a failing operation returns; a hook for subclasses.
  virtual void onError() {}

 protected:
  bool iOpen = false;
};

}  // namespace NERIM
