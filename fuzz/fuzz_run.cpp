// Load-and-run fuzz target: any bytes are loaded as an image; if they load,
// "::global::init" and "main" run under an instruction budget so the run
// ends. Every outcome but a clean error or a normal end is a finding; the
// heap is verified after each run.
#include "ClientVM.h"
#include "Errors.h"
#include "TestHost.h"
#include "VMArena.h"

#include <cstddef>
#include <cstdint>

namespace {
constexpr TInt64 kBudget = 20000;

void runEntry(ClientVM& vm, void (ClientVM::*entry)()) {
  try {
    (vm.*entry)();
  } catch (const ErrorHandlingException&) {
    clearError();
  } catch (const VMTermination&) {
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One image may fill the space with allocations; keep a run's memory small.
  VMArena::setLimit(256u << 20);
  Vec<TUint8> image;
  for (size_t i = 0; i < size; ++i) image.append(data[i]);
  FixedHost host;
  ClientVM vm(&host);
  vm.setBudget(kBudget);
  try {
    vm.loadBytes(image, CAppsString("fuzz"));
  } catch (const ErrorHandlingException&) {
    clearError();
    vm.heap().verify();
    return 0;
  }
  runEntry(vm, &ClientVM::callGlobalInit);
  // A failed call leaves the machine busy, as the host would see it.
  if (vm.busyHandle() == -1) runEntry(vm, &ClientVM::callMain);
  vm.heap().verify();
  return 0;
}
