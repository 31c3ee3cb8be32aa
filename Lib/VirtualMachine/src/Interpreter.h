#pragma once
// Out-of-line pieces of the dispatch loop: the instructions with variable
// counts, allocation and type walks. Each checks its own bounds and raises a
// clean error instead of touching memory outside the sandbox.
#include "Heap.h"
#include "Types.h"
#include "Vec.h"

class NString;

struct Interpreter {
  static bool inherits(const Vec<int>& table, TInt32 id, TInt32 target, bool stopAtZero);
  static TUint32 newString(VMHeap& heap, NString text);
  static TUint32 newVector(VMHeap& heap, TInt32 elementSize);
  static VMAddr allocChecked(VMHeap& heap, TUint32 gcCode, TInt32 words);
  // The one boxing rule (ALLOC_STORE, the invoker, the natives): level 1 to 3
  // wraps v in that many one-word GC_CODE_REF_HOLDER cells, the innermost
  // holding v; -1 to -3 dereferences that often (null: code 1); 0 gives v,
  // any other level 0.
  static TUint32 box(VMHeap& heap, TUint32 v, TInt32 level);
  // FREE from bytecode: a root (the globals, a registered object) is refused
  // with code 11 "Invalid address", as anything but a live block is.
  static void freeObject(VMHeap& heap, VMAddr object);
  // Return the new sp.
  static TInt32 pack(VMHeap& heap, TUint32* stk, TInt32 sp, TInt32 n);
  static TInt32 loadWords(TUint32* stk, TInt32 sp, TInt32 n);
  static TInt32 storeWords(TUint32* stk, TInt32 sp, TInt32 n);
  static void copyWords(VMAddr destination, VMAddr source, TInt32 n);
};
