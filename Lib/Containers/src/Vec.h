#pragma once
// Vec<T>: the library's growable array. Index errors raise code 2, bad
// capacities and allocation failure raise code 6. Arrays of its own (no
// allocator) are host memory and count against the host-memory limit.
#include "Errors.h"
#include "HostMemory.h"
#include "Types.h"

#include <new>
#include <utility>

// Storage provider for a Vec; null means plain array new and delete.
class MVecAllocator {
 public:
  virtual ~MVecAllocator() {}
  virtual void* allocate(TInt32 bytes) = 0;
  virtual void free(void* p, TBool flag) = 0;
};

[[noreturn]] void vecIndexError(TInt32 index, TInt32 size);

template <typename T>
class Vec {
 public:
  Vec() {}
  explicit Vec(TInt32 initialCapacity) { setCapacity(initialCapacity); }
  Vec(const Vec& other) { *this = other; }
  Vec(Vec&& other) noexcept { swap(other); }
  Vec& operator=(const Vec& other) {
    if (this == &other) return *this;
    clear();
    if (other.iSize > iCapacity) setCapacity(other.iSize);
    for (TInt32 i = 0; i < other.iSize; ++i) iData[i] = other.iData[i];
    iSize = other.iSize;
    return *this;
  }
  Vec& operator=(Vec&& other) noexcept {
    swap(other);
    return *this;
  }
  virtual ~Vec() { release(); }

  void swap(Vec& other) noexcept {
    std::swap(iData, other.iData);
    std::swap(iCapacity, other.iCapacity);
    std::swap(iSize, other.iSize);
    std::swap(iAllocator, other.iAllocator);
  }

  void setAllocator(MVecAllocator* allocator) { iAllocator = allocator; }

  // n smaller than the size raises code 6; n < 1 is taken as 1.
  void setCapacity(TInt32 n) {
    if (n < iSize) raise(ERR_INVALID_ARGUMENT, "Vec capacity below size");
    if (n < 1) n = 1;
    T* fresh = allocateArray(n);
    for (TInt32 i = 0; i < iSize; ++i) fresh[i] = std::move(iData[i]);
    freeArray();
    iData = fresh;
    iCapacity = n;
  }

  // value may live in this Vec: take it before growing frees the storage.
  void append(const T& value) {
    if (iSize == iCapacity) {
      T copy(value);
      grow();
      iData[iSize++] = std::move(copy);
      return;
    }
    iData[iSize++] = value;
  }

  void insert(TInt32 index, const T& value) {
    if (index < 0 || index > iSize) vecIndexError(index, iSize);
    T copy(value);
    if (iSize == iCapacity) grow();
    for (TInt32 i = iSize; i > index; --i) iData[i] = std::move(iData[i - 1]);
    iData[index] = std::move(copy);
    ++iSize;
  }

  void remove(TInt32 index) {
    if (index < 0 || index >= iSize) vecIndexError(index, iSize);
    for (TInt32 i = index; i + 1 < iSize; ++i) iData[i] = std::move(iData[i + 1]);
    --iSize;
    iData[iSize] = T();
  }

  void removeLast() { remove(iSize - 1); }
  void clear() {
    for (TInt32 i = 0; i < iSize; ++i) iData[i] = T();
    iSize = 0;
  }
  // Shrinks or grows the size; new elements are value-initialised.
  void resize(TInt32 n) {
    if (n < 0) raise(ERR_INVALID_ARGUMENT, "Negative Vec size");
    if (n > iCapacity) setCapacity(n);
    for (TInt32 i = n; i < iSize; ++i) iData[i] = T();
    iSize = n;
  }

  T& at(TInt32 index) {
    if (static_cast<TUint32>(index) >= static_cast<TUint32>(iSize)) vecIndexError(index, iSize);
    return iData[index];
  }
  const T& at(TInt32 index) const {
    if (static_cast<TUint32>(index) >= static_cast<TUint32>(iSize)) vecIndexError(index, iSize);
    return iData[index];
  }
  T& operator[](TInt32 index) { return at(index); }
  const T& operator[](TInt32 index) const { return at(index); }
  T& last() { return at(iSize - 1); }

  TInt32 size() const { return iSize; }
  TInt32 capacity() const { return iCapacity; }
  bool isEmpty() const { return iSize == 0; }
  T* data() { return iData; }
  const T* data() const { return iData; }
  T* begin() { return iData; }
  T* end() { return iData + iSize; }
  const T* begin() const { return iData; }
  const T* end() const { return iData + iSize; }

 protected:
  // Growth on append: (size * 5) / 4 + 8, so small vectors jump to 8.
  void grow() {
    const TInt64 next = ((static_cast<TInt64>(iSize) * 5) >> 2) + 8;
    if (next > 0x7fffffff / static_cast<TInt64>(sizeof(T)))
      raise(ERR_INVALID_ARGUMENT, "Vec allocation failed");
    setCapacity(static_cast<TInt32>(next));
  }

  T* allocateArray(TInt32 n) {
    if (iAllocator) {
      if (static_cast<TInt64>(n) * static_cast<TInt64>(sizeof(T)) > 0x7fffffff)
        raise(ERR_INVALID_ARGUMENT, "Vec allocation failed");
      void* raw = iAllocator->allocate(static_cast<TInt32>(sizeof(T)) * n);
      if (!raw) raise(ERR_INVALID_ARGUMENT, "Vec allocation failed");
      T* p = static_cast<T*>(raw);
      for (TInt32 i = 0; i < n; ++i) new (p + i) T();
      return p;
    }
    hostmem::Charge charge(static_cast<size_t>(n) * sizeof(T));
    T* p = new (std::nothrow) T[n]();
    if (!p) raise(ERR_INVALID_ARGUMENT, "Vec allocation failed");
    charge.dismiss();   // released by freeArray
    return p;
  }

  void freeArray() {
    if (!iData) return;
    if (iAllocator) {
      for (TInt32 i = 0; i < iCapacity; ++i) iData[i].~T();
      iAllocator->free(iData, true);
    } else {
      delete[] iData;
      hostmem::release(static_cast<size_t>(iCapacity) * sizeof(T));
    }
    iData = nullptr;
  }

  void release() {
    freeArray();
    iCapacity = 0;
    iSize = 0;
  }

  T* iData = nullptr;
  TInt32 iCapacity = 0;
  TInt32 iSize = 0;
  MVecAllocator* iAllocator = nullptr;
};
