#pragma once
// Objects kept alive while the host has them registered (the Screen
// group's listeners): one heap root per object however often it is
// registered, with a count, so registering in a loop does not grow the
// root list, and removal never takes a root that someone else holds.
#include "Types.h"

#include <unordered_map>

class VMHeap;

class CountedRoots {
 public:
  // A live heap object (else code 11 "Invalid address"); null is not kept.
  void add(VMHeap& heap, VMAddr object);
  // One registration less; the root goes with the last. An object not
  // registered here prints the heap's missing-root message and changes nothing.
  void remove(VMHeap& heap, VMAddr object);
  TInt64 count(VMAddr object) const;

 private:
  std::unordered_map<VMAddr, TInt64> iCounts;
};
