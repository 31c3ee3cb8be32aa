#include "VMArena.h"

#include "Errors.h"

#include <algorithm>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VM_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VM_LEAK_CHECKED 1
#endif
#ifdef VM_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace vmarena {
TUint8* gBase = nullptr;
TUint32 gCommitted = 0;
TUint64* gSeal = nullptr;
TUint64* gObjects = nullptr;
TUint64* gBlocks = nullptr;
}  // namespace vmarena

namespace {

// 4 GiB plus slack, so base + any 32-bit address + a short access stays
// inside the reservation.
constexpr TUint64 kReserve = (1ull << 32) + (1ull << 20);
constexpr TUint64 kLimit = (1ull << 32) - (1ull << 16);

std::mutex gLock;
TUint64 gTop = vmarena::kNullGuard;   // next free byte
TUint64 gLimitTop = kLimit;           // commits end below this
int gUsers = 0;

// One bit per word of the whole space; pages are only backed once touched.
constexpr TUint64 kBitmapBytes = (1ull << 32) / 4 / 8;

TUint64* mapBitmap() {
  // One spare map word past the end: setBoundary touches the word after
  // the one its seven bits start in.
  void* p = mmap(nullptr, kBitmapBytes + 8, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) raise(ERR_INVALID_ARGUMENT, "Cannot reserve the VM address space");
  return static_cast<TUint64*>(p);
}

void reserve() {
  if (vmarena::gBase) return;
  void* p = mmap(nullptr, kReserve, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) raise(ERR_INVALID_ARGUMENT, "Cannot reserve the VM address space");
  vmarena::gSeal = mapBitmap();
  vmarena::gObjects = mapBitmap();
  vmarena::gBlocks = mapBitmap();
  vmarena::gBase = static_cast<TUint8*>(p);
#ifdef VM_LEAK_CHECKED
  // Native objects in the arena own host memory; a run that ends through
  // exit() must not have that memory reported as leaked.
  __lsan_register_root_region(p, kReserve);
#endif
}

// Calls f(word index, mask) for the 64-bit bitmap words that the arena
// words of [a, a + len) fall in; headers and footers touch one or two.
template <typename F>
bool forEachMask(VMAddr a, TUint32 len, F f) {
  if (len == 0) return false;
  TUint64 first = a >> 2;
  const TUint64 last = (static_cast<TUint64>(a) + len - 1) >> 2;
  while (first <= last) {
    const TUint64 bit = first & 63;
    const TUint64 count = std::min<TUint64>(64 - bit, last - first + 1);
    const TUint64 mask = (count == 64 ? ~TUint64(0) : ((TUint64(1) << count) - 1)) << bit;
    if (f(first >> 6, mask)) return true;
    first += count;
  }
  return false;
}

void setRange(TUint64* map, VMAddr a, TUint32 len, bool on) {
  forEachMask(a, len, [&](TUint64 index, TUint64 mask) {
    if (on) map[index] |= mask;
    else map[index] &= ~mask;
    return false;
  });
}

TUint64 pageRound(TUint64 n) {
  const TUint64 page = static_cast<TUint64>(sysconf(_SC_PAGESIZE));
  return (n + page - 1) & ~(page - 1);
}

}  // namespace

VMAddr VMArena::commit(TUint32 bytes) {
  std::lock_guard<std::mutex> guard(gLock);
  reserve();
  const TUint64 start = (gTop + 15) & ~TUint64(15);
  const TUint64 end = start + bytes;
  if (bytes == 0 || end > gLimitTop) raise(ERR_INVALID_ARGUMENT, "Out of VM address space");
  const TUint64 committedEnd = pageRound(end);
  if (committedEnd > vmarena::gCommitted) {
    const TUint64 from = vmarena::gCommitted < vmarena::kNullGuard ? vmarena::kNullGuard : vmarena::gCommitted;
    if (mprotect(vmarena::gBase + from, committedEnd - from, PROT_READ | PROT_WRITE) != 0)
      raise(ERR_INVALID_ARGUMENT, "Cannot commit VM memory");
    vmarena::gCommitted = static_cast<TUint32>(committedEnd);
  }
  gTop = end;
  return static_cast<VMAddr>(start);
}

void VMArena::acquire() {
  std::lock_guard<std::mutex> guard(gLock);
  reserve();
  ++gUsers;
}

void VMArena::release() {
  std::lock_guard<std::mutex> guard(gLock);
  if (--gUsers > 0 || vmarena::gCommitted <= vmarena::kNullGuard) return;
  // Last user gone: drop every page, so the next user starts zero-filled.
  const TUint64 len = vmarena::gCommitted - vmarena::kNullGuard;
  mmap(vmarena::gBase + vmarena::kNullGuard, len, PROT_NONE,
       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1, 0);
  vmarena::gCommitted = 0;
  gTop = vmarena::kNullGuard;
  madvise(vmarena::gSeal, kBitmapBytes, MADV_DONTNEED);
  madvise(vmarena::gObjects, kBitmapBytes, MADV_DONTNEED);
  madvise(vmarena::gBlocks, kBitmapBytes, MADV_DONTNEED);
}

bool vmSealedRange(VMAddr a, TUint32 len) {
  return forEachMask(a, len, [](TUint64 index, TUint64 mask) { return (vmarena::gSeal[index] & mask) != 0; });
}

void vmSetSealRange(VMAddr a, TUint32 len, bool on) { setRange(vmarena::gSeal, a, len, on); }

void VMArena::setLimit(TUint64 bytes) {
  std::lock_guard<std::mutex> guard(gLock);
  gLimitTop = bytes >= kLimit - vmarena::kNullGuard ? kLimit : vmarena::kNullGuard + bytes;
}

TUint32 VMArena::used() {
  std::lock_guard<std::mutex> guard(gLock);
  return static_cast<TUint32>(gTop - vmarena::kNullGuard);
}

void vmInvalidAddress(VMAddr a) {
  if (a == 0) raiseNullPointer();
  raiseInvalidAddress();
}

TUint8* vmChecked(VMAddr a, TUint32 len) {
  if (!vmValid(a, len)) vmInvalidAddress(a);
  return vmPtr(a);
}

TUint8* vmOpenChecked(VMAddr a, TUint32 len) {
  if (!vmOpen(a, len)) vmInvalidAddress(a);
  return vmPtr(a);
}
