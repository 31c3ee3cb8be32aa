// The host-memory account: one atomic total against one limit.
#include "HostMemory.h"

#include "Errors.h"

#include <atomic>

namespace hostmem {

namespace {
std::atomic<size_t> gUsed{0};
std::atomic<size_t> gLimit{kDefaultLimit};
}  // namespace

void charge(size_t bytes) {
  const size_t lim = gLimit.load(std::memory_order_relaxed);
  size_t now = gUsed.load(std::memory_order_relaxed);
  do {
    if (now > lim || bytes > lim - now) raise(ERR_INVALID_ARGUMENT, "Host memory limit reached");
  } while (!gUsed.compare_exchange_weak(now, now + bytes, std::memory_order_relaxed));
}

void release(size_t bytes) { gUsed.fetch_sub(bytes, std::memory_order_relaxed); }

size_t used() { return gUsed.load(std::memory_order_relaxed); }

size_t limit() { return gLimit.load(std::memory_order_relaxed); }

void setLimit(size_t bytes) { gLimit.store(bytes, std::memory_order_relaxed); }

void exhausted() { raise(ERR_INVALID_ARGUMENT, "Host memory exhausted"); }

void Charge::resize(size_t bytes) {
  if (bytes > bytes_) {
    charge(bytes - bytes_);
  } else {
    hostmem::release(bytes_ - bytes);
  }
  bytes_ = bytes;
}

}  // namespace hostmem
