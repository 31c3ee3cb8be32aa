#include "VMArena.h"

#include "Errors.h"

#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace vmarena {
TUint8* gBase = nullptr;
TUint32 gCommitted = 0;
}  // namespace vmarena

namespace {

// 4 GiB plus slack, so base + any 32-bit address + a short access stays
// inside the reservation.
constexpr TUint64 kReserve = (1ull << 32) + (1ull << 20);
constexpr TUint64 kLimit = (1ull << 32) - (1ull << 16);

std::mutex gLock;
TUint64 gTop = vmarena::kNullGuard;   // next free byte
int gUsers = 0;

void reserve() {
  if (vmarena::gBase) return;
  void* p = mmap(nullptr, kReserve, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) raise(ERR_INVALID_ARGUMENT, "Cannot reserve the VM address space");
  vmarena::gBase = static_cast<TUint8*>(p);
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
  if (bytes == 0 || end > kLimit) raise(ERR_INVALID_ARGUMENT, "Out of VM address space");
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
}

TUint32 VMArena::used() {
  std::lock_guard<std::mutex> guard(gLock);
  return static_cast<TUint32>(gTop - vmarena::kNullGuard);
}

void vmInvalidAddress(VMAddr a) {
  if (a == 0) raise(ERR_NULL_POINTER, "NULL pointer");
  raise(ERR_RUNTIME, "Invalid address");
}

TUint8* vmChecked(VMAddr a, TUint32 len) {
  if (!vmValid(a, len)) vmInvalidAddress(a);
  return vmPtr(a);
}
