// Structure-aware fuzz target: the bytes are decoded into a well-formed
// program (ProgramGenerator) so the interpreter and the natives are reached
// deep instead of stopping at the loader, and every program runs twice,
// fused and plain. A difference between the two runs, a heap that does not
// verify, or anything but a clean error is a finding.
#include "HostMemory.h"
#include "ProgramGenerator.h"
#include "VMArena.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr long long kBudget = 20000;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Keep one run's memory small: the arena and host memory both.
  VMArena::setLimit(256u << 20);
  hostmem::setLimit(64u << 20);
  const std::string source = generateProgram(data, size);
  bool assembled = false;
  const std::string difference = compareFusedAndPlain(source, kBudget, &assembled);
  if (!assembled) {
    std::fprintf(stderr, "generated program does not assemble:\n%s\n", source.c_str());
    std::abort();
  }
  if (!difference.empty()) {
    std::fprintf(stderr, "fused and plain runs differ\n%s\nprogram:\n%s\n", difference.c_str(), source.c_str());
    std::abort();
  }
  return 0;
}
