#pragma once
// Helpers shared by every native group. All raise through the error model;
// the ones that allocate take the heap.
//
// The collector's rule natives rely on: the heap collects only after the
// outermost call into the machine has returned (VirtualMachine::call), never
// inside a native or an allocation, and the arena never moves. So a native
// may keep VM addresses and pointers into the heap in C++ locals for the whole
// call; an object kept beyond the call must be registered with addRoot or be
// reachable from a root.
#include "Errors.h"
#include "GCObject.h"
#include "Heap.h"
#include "MVectorStorage.h"
#include "NativeRegistry.h"
#include "Types.h"
#include "VMArena.h"
#include "VMState.h"

#include <cstring>
#include <new>
#include <type_traits>
#include <typeinfo>
#include <utility>

class NString;
class QString;

namespace native {

// The error texts the natives share, each written once (with Errors.h's
// raiseStackOverflow and raiseInvalidAddress).
[[noreturn]] void rangeError();        // code 5, no message
[[noreturn]] void invalidArgument();   // code 6, no message
[[noreturn]] void ioError();           // code 7, no message

// Vector element blocks come from the heap as plain leaf blocks; a dropped
// block is left to the collector.
class HeapVectorStorage : public MVectorStorage {
 public:
  explicit HeapVectorStorage(VMHeap& heap) : iHeap(heap) {}
  VMAddr allocateElements(TInt32 bytes) override;
  void freeElements(VMAddr) override {}

 private:
  VMHeap& iHeap;
};

// Word access at a VM address the bytecode supplied (checked: 0 raises
// "NULL pointer", sealed words and addresses outside the arena "Invalid
// address"). The check is inline, as the interpreter's: natives read a few
// words on every call.
inline TUint8* openWord(VMAddr a) {
  // An aligned word, what the natives nearly always get, is one seal bit.
  const bool open = (a & 3u) == 0 ? vmValid(a, 4) && !vmarena::bit(vmarena::gSeal, a >> 2) : vmOpen(a, 4);
  if (__builtin_expect(!open, 0)) vmInvalidAddress(a);
  return vmPtr(a);
}
inline TUint32 load(VMAddr a) {
  TUint32 v;
  std::memcpy(&v, openWord(a), 4);
  return v;
}
inline void store(VMAddr a, TUint32 v) { std::memcpy(openWord(a), &v, 4); }

// The reference itself; null raises code 1 "NULL pointer".
TUint32 deref(TUint32 reference);
// deref, then the word stored in the cell.
TUint32 derefCell(TUint32 reference);

// The live native object at a VM address, or code 11 "Invalid address":
// only objects the natives constructed qualify, so a forged block never
// reaches host code.
GCObject* nativeObject(VMAddr object);
// The object as a T, or null. The exact type first: most objects are
// exactly the type asked for, and the full cast walks the hierarchy.
template <typename T> T* asType(GCObject* o) {
  if constexpr (!std::is_abstract<T>::value)
    if (typeid(*o) == typeid(T)) return static_cast<T*>(o);
  return dynamic_cast<T*>(o);
}
// The native object at a VM address, which must be a T.
template <typename T> T& objectOf(VMAddr object) {
  T* t = asType<T>(nativeObject(object));
  if (!t) raiseInvalidAddress();
  return *t;
}
// The NString a string value (a GC_CODE_REF_HOLDER cell) holds.
NString& stringAt(TUint32 cell);
// A host object of type T held in a cell (the cell's word is the object).
template <typename T> T& objectAt(TUint32 cell) { return objectOf<T>(derefCell(cell)); }
// A bytecode object whose first field (after the class id in word 0) holds
// a native object: the field's address (null and unmapped objects raise),
// and the native object there as a T.
inline VMAddr firstField(TUint32 object) {
  const VMAddr field = deref(object) + 4;
  vmOpenChecked(field, 4);
  return field;
}
template <typename T> T& heldObject(TUint32 object) { return objectOf<T>(load(firstField(object))); }

// An empty string object and its cell; returns the cell.
TUint32 newString(VMHeap& heap, VMAddr* stringObject = nullptr);
TUint32 newStringFrom(VMHeap& heap, const NString& text);
TUint32 newStringFrom(VMHeap& heap, NString&& text);
TUint32 newStringFrom(VMHeap& heap, const QString& text);
// A reference vector with count elements (the caller stores them); returns the holder cell.
TUint32 newRefVector(TInt32 count, VMHeap& heap);
inline VMAddr newCell(VMHeap& heap, TInt32 words, TUint32 gcCode) { return heap.allocateWords(words, gcCode); }
// A new native object T(args) (typeId -1, gcCode) and the GC_CODE_REF_HOLDER
// cell holding it, made together; returns the cell.
template <typename T, typename... A> TUint32 newObjectInCell(VMHeap& heap, TUint32 gcCode, A&&... args) {
  VMAddr object = 0, cell = 0;
  heap.allocateTwo(sizeof(T), -1, gcCode, 4, 0, GC_CODE_REF_HOLDER, object, cell);
  new (vmPtr(object)) T(std::forward<A>(args)...);
  store(cell, object);
  return cell;
}

// Argument and result access under the group conventions: k arguments are
// stack[sp-k+1..sp]; a result replaces the first argument.
class Args {
 public:
  Args(VMState& s, TInt32 count) : iState(s), iFirst(s.sp - count + 1) {
    if (iFirst < 0) raiseStackOverflow();
  }
  Args(Context& cx, TInt32 count) : Args(cx.state, count) {}
  TUint32 word(TInt32 i) const { return iState.stack[iFirst + i]; }
  TInt32 integer(TInt32 i) const { return static_cast<TInt32>(word(i)); }
  // Results: one word, two words (low first), or none.
  void result(TUint32 v) {
    iState.stack[iFirst] = v;
    iState.sp = iFirst;
  }
  void result2(TUint32 low, TUint32 high) {
    if (iFirst + 1 >= kStackSlots) raiseStackOverflow();
    iState.stack[iFirst] = low;
    iState.stack[iFirst + 1] = high;
    iState.sp = iFirst + 1;
  }
  // n result words stored from argument slot `index` on (values of several
  // slots, or a result that leaves the earlier arguments in place).
  void resultAt(TInt32 index, const TUint32* values, TInt32 n) {
    const TInt32 at = iFirst + index;
    if (at + n - 1 >= kStackSlots) raiseStackOverflow();
    if (n == 1) iState.stack[at] = values[0];   // the common result, without a copy loop
    else for (TInt32 k = 0; k < n; ++k) iState.stack[at + k] = values[k];
    iState.sp = at + n - 1;
  }
  void noResult() { iState.sp = iFirst - 1; }
  VMHeap& heap() { return iState.heap; }

 private:
  VMState& iState;
  TInt32 iFirst;
};

// A result of an operation without arguments.
inline void pushResult(VMState& s, TUint32 v) {
  if (s.sp + 1 >= kStackSlots) raiseStackOverflow();
  s.stack[++s.sp] = v;
}
inline void pushResult(Context& cx, TUint32 v) { pushResult(cx.state, v); }

// ---- ranges -------------------------------------------------------------

// A (first, count) argument pair: first < 0 raises code 5; count < 0 runs to
// the end of `length` elements, otherwise last = first + count - 1 (checked
// by the caller's container). The String and Vector groups' conversion.
struct Range {
  TInt32 first;
  TInt32 count;
  TInt32 last;
  bool toEnd() const { return count < 0; }
};
Range rangeAt(const Args& a, TInt32 i, TInt32 length);

// The value, vector, stream and graphics groups' (first, count) check. An
// open range (count < 0) is closed to the end here. base: first valid index;
// size: number of valid elements. On success count is the range length
// (never negative); failures raise code 5 "Invalid Range...".
void checkRange(TInt32 base, TInt32 size, TInt32& first, TInt32& count);

// ---- small value types (position, size, rectangle, range, colour) ------
// Their storage is a run of words at a raw address; by value they are that
// many slots.
inline TInt32 wordAt(VMAddr ref, TInt32 i) { return static_cast<TInt32>(load(ref + 4u * i)); }
inline void setWordAt(VMAddr ref, TInt32 i, TInt32 v) { store(ref + 4u * i, static_cast<TUint32>(v)); }

inline void clearWords(VMAddr ref, TInt32 n) {
  for (TInt32 i = 0; i < n; ++i) setWordAt(ref, i, 0);
}
inline void copyWords(VMAddr to, VMAddr from, TInt32 n) {
  for (TInt32 i = 0; i < n; ++i) setWordAt(to, i, wordAt(from, i));
}

// Two values of n slots each, the first at argument 0.
inline bool slotsEqual(const Args& a, TInt32 n) {
  for (TInt32 i = 0; i < n; ++i)
    if (a.word(i) != a.word(n + i)) return false;
  return true;
}

inline TInt32 nonNegative(TInt32 v) {
  if (v < 0) raise(ERR_INVALID_ARGUMENT, "Negative value");
  return v;
}

// The operations every value group has, over a value of N words at ref,
// written once as table handlers.
template <TInt32 N, bool Equal> void compareValues(Context& cx) {   // value, value -> 1|0
  Args a(cx, 2 * N);
  a.result(slotsEqual(a, N) == Equal ? 1u : 0u);
}
template <TInt32 N> void clearValue(Context& cx) {   // ref
  Args a(cx, 1);
  clearWords(a.word(0), N);
  a.noResult();
}
template <TInt32 N> void copyValue(Context& cx) {   // ref, ref2
  Args a(cx, 2);
  copyWords(a.word(0), a.word(1), N);
  a.noResult();
}
template <TInt32 I> void getWord(Context& cx) {   // ref -> word I
  Args a(cx, 1);
  a.result(static_cast<TUint32>(wordAt(a.word(0), I)));
}
template <TInt32 I, bool RefuseNegative> void setWord(Context& cx) {   // ref, value
  Args a(cx, 2);
  const TInt32 v = a.integer(1);
  setWordAt(a.word(0), I, RefuseNegative ? nonNegative(v) : v);
  a.noResult();
}

// A truth value as the value groups give it.
inline TUint32 truth(bool b) { return b ? 1u : 0u; }

// Reserved operation numbers are refused rather than stopping the process.
[[noreturn]] void reservedOperation();
// Handlers for table rows: a reserved number; operations that only take
// their N arguments, leaving nothing or a result of 0.
void reserved(Context&);
template <TInt32 N> void discard(Context& cx) { Args(cx, N).noResult(); }
template <TInt32 N> void zeroResult(Context& cx) { Args(cx, N).result(0); }

}  // namespace native
