#pragma once
// The 32-bit VM address space: one reserved host range; a VM address is an
// offset into it, 0 is null. Translation is one add. Everything the bytecode
// can address (heap pools, the slot stack) is committed inside it, so a
// checked address can only ever touch the sandbox.
#include "Types.h"

// Hidden: everything links statically, and under -fPIC a default-visibility
// global costs a GOT load on every translation.
namespace vmarena __attribute__((visibility("hidden"))) {
extern TUint8* gBase;        // start of the reservation (never null once created)
extern TUint32 gCommitted;   // addresses below this are committed (page rounded)
constexpr TUint32 kNullGuard = 1u << 16;   // [0, 64 KiB) is never committed
// One bit per arena word. Sealed words (heap headers and footers, native
// objects with their host pointers) are out of the bytecode's reach; object
// bits mark the first word of every live native object.
extern TUint64* gSeal;
extern TUint64* gObjects;
// One bit per arena word set at the header of every heap block, so a block
// start is tested and kept with one bit operation wherever the block lies.
extern TUint64* gBlocks;
inline bool bit(const TUint64* map, TUint32 word) { return (map[word >> 6] >> (word & 63)) & 1u; }
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

// The same over a long range, 64 words at a time.
bool vmSealedRange(VMAddr a, TUint32 len);
// Whether any word of [a, a + len) is sealed; [a, a + len) must be valid.
inline bool vmSealed(VMAddr a, TUint32 len) {
  if (len > 16) return vmSealedRange(a, len);
  if (len == 0) return false;
  const TUint32 last = static_cast<TUint32>((static_cast<TUint64>(a) + len - 1) >> 2);
  for (TUint32 w = a >> 2; w <= last; ++w)
    if (vmarena::bit(vmarena::gSeal, w)) return true;
  return false;
}
// Valid and not sealed: what the bytecode may read and write.
inline bool vmOpen(VMAddr a, TUint32 len) { return vmValid(a, len) && !vmSealed(a, len); }

// Checked translation: address 0 raises code 1 "NULL pointer", any other
// address outside the committed arena raises code 11 "Invalid address".
TUint8* vmChecked(VMAddr a, TUint32 len);
// The same for addresses the bytecode supplies: sealed words are refused too.
TUint8* vmOpenChecked(VMAddr a, TUint32 len);
[[noreturn]] void vmInvalidAddress(VMAddr a);

// Seals or opens every word that [a, a + len) touches.
void vmSetSealRange(VMAddr a, TUint32 len, bool on);
namespace vmarena {
// Words [first, last] spanning at most two map words: the heap's headers
// and footers, which are sealed and opened on every split and merge.
inline void setSmall(TUint64* map, TUint32 first, TUint32 last, bool on) {
  const TUint32 w0 = first >> 6, w1 = last >> 6;
  TUint64 m0 = ~TUint64(0) << (first & 63);
  const TUint64 m1 = ~TUint64(0) >> (63 - (last & 63));
  if (w0 == w1) m0 &= m1;
  if (on) map[w0] |= m0; else map[w0] &= ~m0;
  if (w0 != w1) {
    if (on) map[w1] |= m1; else map[w1] &= ~m1;
  }
}
// Seven words from a: a block's footer and the header after it, sealed on
// every split and opened on every merge. No branch: the word after the one
// the bits start in is always touched (the maps carry a spare word).
inline void setBoundary(TUint64* map, VMAddr a, bool on) {
  const TUint32 w = a >> 2, b = w & 63;
  TUint64* m = map + (w >> 6);
  const TUint64 lo = TUint64(0x7F) << b;
  const TUint64 hi = TUint64(0x3F) >> (63 - b);   // the bits past bit 63
  if (on) {
    m[0] |= lo;
    m[1] |= hi;
  } else {
    m[0] &= ~lo;
    m[1] &= ~hi;
  }
}
inline void setSeal(VMAddr a, TUint32 len, bool on) {
  if (len == 0) return;
  if (len > 256) return vmSetSealRange(a, len, on);
  setSmall(gSeal, a >> 2, static_cast<TUint32>((static_cast<TUint64>(a) + len - 1) >> 2), on);
}
}  // namespace vmarena
inline void vmSeal(VMAddr a, TUint32 len) { vmarena::setSeal(a, len, true); }
inline void vmUnseal(VMAddr a, TUint32 len) { vmarena::setSeal(a, len, false); }
// A heap block's footer at a and the next block's header (28 bytes).
inline void vmSealBoundary(VMAddr a) { vmarena::setBoundary(vmarena::gSeal, a, true); }
inline void vmUnsealBoundary(VMAddr a) { vmarena::setBoundary(vmarena::gSeal, a, false); }
// The first word of a live native object.
inline void vmSetObjectStart(VMAddr a, bool live) { vmarena::setSmall(vmarena::gObjects, a >> 2, a >> 2, live); }
inline bool vmIsObjectStart(VMAddr a) {
  return (a & 3u) == 0 && vmValid(a, 4) && vmarena::bit(vmarena::gObjects, a >> 2);
}

// The header of a heap block (terminators included).
inline bool vmIsBlockStart(VMAddr a) { return (a & 3u) == 0 && vmarena::bit(vmarena::gBlocks, a >> 2); }
inline void vmSetBlockStart(VMAddr a, bool on) {
  const TUint64 bit = TUint64(1) << ((a >> 2) & 63);
  TUint64& word = vmarena::gBlocks[a >> 8];
  word = on ? word | bit : word & ~bit;
}

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
  // Caps the space that commits may use (all of it by default); a commit
  // beyond the cap raises code 6 as an exhausted space does.
  static void setLimit(TUint64 bytes);
};

// Holds the arena for the lifetime of the owner.
class VMArenaUser {
 public:
  VMArenaUser() { VMArena::acquire(); }
  ~VMArenaUser() { VMArena::release(); }
  VMArenaUser(const VMArenaUser&) = delete;
  VMArenaUser& operator=(const VMArenaUser&) = delete;
};
