// The host-memory account: one atomic total against one limit.
#include "HostMemory.h"

#include "Errors.h"

#include <atomic>
#include <cstdint>

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

bool parseLimit(const char* text, size_t& out) {
  if (!text || !*text) return false;
  size_t value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    const size_t digit = static_cast<size_t>(*c - '0');
    if (value > (SIZE_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  out = value;
  return true;
}

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
