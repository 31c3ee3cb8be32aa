#pragma once
// NVector<T>: the machine's array object. The object itself is a GCObject;
// its elements live in a separate block of VM memory, addressed by a 32-bit
// VMAddr because bytecode sees element addresses.
//
// Invariants:
//  - iData is 0 exactly when iCapacity is 0; 0 <= iLength <= iCapacity.
//  - Slots [0, iLength) hold constructed elements, [iLength, iCapacity) are
//    raw (zero-filled on allocation, not constructed).
//  - Every new block is sized by the NString capacity rule (at least 10).
//  - Operations that allocate take the MVectorStorage; a raise leaves the
//    vector unchanged. The destructor runs element destructors but does not
//    return the block: in the machine the collector owns it.
#include "Errors.h"
#include "GCObject.h"
#include "MVectorStorage.h"
#include "StringBuffer.h"
#include "VMArena.h"
#include "Vec.h"

#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

GCOBJECT_PACK_BEGIN
template <typename T>
class NVector : public GCObject {
 public:
  NVector() : iData(0), iCapacity(0), iLength(0) {}
  // n value-initialised elements; n < 0 raises code 6.
  NVector(MVectorStorage& storage, TInt32 n) : iData(0), iCapacity(0), iLength(0) {
    if (n < 0) raise(ERR_INVALID_ARGUMENT);
    if (n == 0) return;
    const TInt32 capacity = capacityFor(n);
    iData = allocate(storage, capacity);
    iCapacity = capacity;
    T* d = elements();
    for (TInt32 i = 0; i < n; ++i) new (d + i) T();
    iLength = n;
  }
  ~NVector() override { destroy(elements(), iLength); }
  NVector(const NVector&) = delete;
  NVector& operator=(const NVector&) = delete;

  static TInt32 capacityFor(TInt32 n) { return stringCapacityFor(n); }

  TInt32 length() const { return iLength; }
  TInt32 capacity() const { return iCapacity; }
  VMAddr dataAddr() const { return iData; }
  T* elements() { return iData ? vmPtrAs<T>(iData) : nullptr; }
  const T* elements() const { return iData ? vmPtrAs<T>(iData) : nullptr; }

  T& at(TInt32 i) {
    checkIndex(i, iLength);
    return elements()[i];
  }
  const T& at(TInt32 i) const {
    checkIndex(i, iLength);
    return elements()[i];
  }
  T get(TInt32 i) const { return at(i); }
  void set(TInt32 i, const T& value) { at(i) = value; }
  VMAddr elementAddr(TInt32 i) const {
    checkIndex(i, iLength);
    return iData + static_cast<VMAddr>(i) * static_cast<VMAddr>(sizeof(T));
  }

  void insert(MVectorStorage& storage, TInt32 pos, const T& value) { insert(storage, pos, &value, 1); }
  void append(MVectorStorage& storage, const T& value) { insert(storage, iLength, &value, 1); }

  // Inserts n elements at pos (0..length, else code 2). items may point
  // into this vector.
  void insert(MVectorStorage& storage, TInt32 pos, const T* items, TInt32 n) {
    checkIndex(pos, iLength + 1);
    if (n < 0) raise(ERR_INVALID_ARGUMENT);
    if (n == 0) return;
    if (overlaps(items, n)) {
      Vec<T> copy(n);
      for (TInt32 i = 0; i < n; ++i) copy.append(items[i]);
      insertDistinct(storage, pos, copy.data(), n);
      return;
    }
    insertDistinct(storage, pos, items, n);
  }

  void remove(MVectorStorage& storage, TInt32 i) {
    checkIndex(i, iLength);
    removeSpan(storage, i, 1);
  }

  // Removes the inclusive range; (0, -1) is empty, other bad ranges raise code 5.
  void remove(MVectorStorage& storage, TInt32 first, TInt32 last) {
    if (first == 0 && last == -1) return;
    if (first < 0 || first > last || last >= iLength) raise(ERR_RANGE);
    removeSpan(storage, first, last - first + 1);
  }

  // Empties the vector and gives the block back.
  void clear(MVectorStorage& storage) {
    destroy(elements(), iLength);
    if (iData) storage.freeElements(iData);
    iData = 0;
    iCapacity = 0;
    iLength = 0;
  }

 private:
  static void checkIndex(TInt32 i, TInt32 limit) {
    if (i < 0 || i >= limit) raise(ERR_INDEX_OUT_OF_BOUNDS);
  }

  static VMAddr allocate(MVectorStorage& storage, TInt32 capacity) {
    const TInt64 bytes = static_cast<TInt64>(capacity) * static_cast<TInt64>(sizeof(T));
    if (bytes > 0x7fffffff) raise(ERR_INVALID_ARGUMENT);
    return storage.allocateElements(static_cast<TInt32>(bytes));
  }

  static void destroy(T* d, TInt32 n) {
    if (!std::is_trivially_destructible<T>::value)
      for (TInt32 i = 0; i < n; ++i) d[i].~T();
  }

  // Moves n elements from src to dst (the ranges may overlap); src slots end raw.
  static void relocate(T* dst, T* src, TInt32 n) {
    if (n <= 0 || dst == src || !dst || !src) return;
    if (std::is_trivially_copyable<T>::value) {
      std::memmove(static_cast<void*>(dst), static_cast<const void*>(src), static_cast<size_t>(n) * sizeof(T));
      return;
    }
    if (dst < src) {
      for (TInt32 i = 0; i < n; ++i) moveOne(dst + i, src + i);
    } else {
      for (TInt32 i = n - 1; i >= 0; --i) moveOne(dst + i, src + i);
    }
  }
  static void moveOne(T* dst, T* src) {
    new (dst) T(std::move(*src));
    src->~T();
  }

  bool overlaps(const T* items, TInt32 n) const {
    const T* d = elements();
    return d && items + n > d && items < d + iCapacity;
  }

  void insertDistinct(MVectorStorage& storage, TInt32 pos, const T* items, TInt32 n) {
    const TInt64 wanted = static_cast<TInt64>(iLength) + n;
    if (wanted > 0x7fffffff) raise(ERR_INVALID_ARGUMENT);
    const TInt32 newLength = static_cast<TInt32>(wanted);
    if (newLength <= iCapacity) {
      T* d = elements();
      relocate(d + pos + n, d + pos, iLength - pos);
      for (TInt32 i = 0; i < n; ++i) new (d + pos + i) T(items[i]);
      iLength = newLength;
      return;
    }
    const TInt32 capacity = capacityFor(newLength);
    const VMAddr fresh = allocate(storage, capacity);
    T* to = vmPtrAs<T>(fresh);
    T* from = elements();
    relocate(to, from, pos);
    for (TInt32 i = 0; i < n; ++i) new (to + pos + i) T(items[i]);
    relocate(to + pos + n, from + pos, iLength - pos);
    replaceBlock(storage, fresh, capacity, newLength);
  }

  // Remaining elements stay in place while they fill more than half the
  // block; otherwise they move to a block sized for them.
  void removeSpan(MVectorStorage& storage, TInt32 first, TInt32 n) {
    const TInt32 remaining = iLength - n;
    if (remaining == 0) {
      clear(storage);
      return;
    }
    T* d = elements();
    if (remaining > static_cast<TInt32>(iCapacity * 0.5)) {
      destroy(d + first, n);
      relocate(d + first, d + first + n, iLength - first - n);
      iLength = remaining;
      return;
    }
    const TInt32 capacity = capacityFor(remaining);
    const VMAddr fresh = allocate(storage, capacity);
    T* to = vmPtrAs<T>(fresh);
    d = elements();   // the arena never moves, but read after allocating anyway
    destroy(d + first, n);
    relocate(to, d, first);
    relocate(to + first, d + first + n, iLength - first - n);
    replaceBlock(storage, fresh, capacity, remaining);
  }

  void replaceBlock(MVectorStorage& storage, VMAddr fresh, TInt32 capacity, TInt32 length) {
    const VMAddr old = iData;
    iData = fresh;
    iCapacity = capacity;
    iLength = length;
    if (old) storage.freeElements(old);
  }

  VMAddr iData;
  TInt32 iCapacity;
  TInt32 iLength;
};
GCOBJECT_PACK_END

static_assert(alignof(NVector<int>) <= 4, "NVector must fit a 4-byte aligned heap block");
