#pragma once
// The 32-bit VM address space: one reserved host range; a VM address is an
// offset into it, 0 is null. Translation is one add. Everything the bytecode
// can address (heap pools, the slot stack) is committed inside it, so a
// checked address can only ever touch the sandbox.
#include "Types.h"

namespace vmarena {
extern TUint8* gBase;        // start of the reservation (never null once created)
extern TUint32 gCommitted;   // addresses below this are committed (page rounded)
constexpr TUint32 kNullGuard = 1u << 16;   // [0, 64 KiB) is never committed
}  // namespace vmarena

inline TUint8* vmPtr(VMAddr a) { return vmarena::gBase + a; }
template <typename T> inline T* vmPtrAs(VMAddr a) { return reinterpret_cast<T*>(vmarena::gBase + a); }
inline VMAddr vmAddr(const void* p) {
  return static_cast<VMAddr>(static_cast<const TUint8*>(p) - vmarena::gBase);
}

// True when [a, a + len) lies in committed arena memory.
inline bool vmValid(VMAddr a, TUint32 len) {
  return a >= vmarena::kNullGuard && static_cast<TUint64>(a) + len <= vmarena::gCommitted;
}

// Checked translation: address 0 raises code 1 "NULL pointer", any other
// address outside the committed arena raises code 11 "Invalid address".
TUint8* vmChecked(VMAddr a, TUint32 len);
[[noreturn]] void vmInvalidAddress(VMAddr a);

class VMArena {
 public:
  // Commits a fresh zero-filled region of at least `bytes` and returns its
  // address (16-byte aligned). Raises code 6 when the space is exhausted.
  static VMAddr commit(TUint32 bytes);
  // Users keep the arena's regions alive; when the last one releases, every
  // region is decommitted and the space starts over.
  static void acquire();
  static void release();
  // Bytes handed out so far.
  static TUint32 used();
};

// Holds the arena for the lifetime of the owner.
class VMArenaUser {
 public:
  VMArenaUser() { VMArena::acquire(); }
  ~VMArenaUser() { VMArena::release(); }
  VMArenaUser(const VMArenaUser&) = delete;
  VMArenaUser& operator=(const VMArenaUser&) = delete;
};
