// Load-and-run fuzz target: any bytes are loaded as an image; if they load,
// "::global::init" and "main" run under an instruction budget so the run
// ends, once with fused dispatch and once plain. Every outcome but a clean
// error or a normal end is a finding, and so is any difference between the
// two runs; the heap is verified after each run.
#include "ClientVM.h"
#include "Errors.h"
#include "HostMemory.h"
#include "TestHost.h"
#include "VMArena.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
constexpr TInt64 kBudget = 20000;

void runEntry(ClientVM& vm, void (ClientVM::*entry)(), std::string& outcome) {
  try {
    (vm.*entry)();
  } catch (const ErrorHandlingException&) {
    outcome += "error " + std::to_string(currentErrorCode()) + ": " + currentErrorText().toStdString() + "\n";
    clearError();
  } catch (const VMTermination&) {
    outcome += "terminated\n";
  }
}

// What one run logged and how it ended.
std::string run(const Vec<TUint8>& image, bool fused) {
  FixedHost host;
  ClientVM vm(&host);
  vm.setBudget(kBudget);
  std::string outcome;
  try {
    vm.loadBytes(image, CAppsString("fuzz"));
  } catch (const ErrorHandlingException&) {
    clearError();
    vm.heap().verify();
    return "not loaded";
  }
  vm.setFusion(fused);
  runEntry(vm, &ClientVM::callGlobalInit, outcome);
  // A failed call leaves the machine busy, as the host would see it.
  if (vm.busyHandle() == -1) runEntry(vm, &ClientVM::callMain, outcome);
  vm.heap().verify();
  for (const std::string& line : host.logs) outcome += "LOG: " + line + "\n";
  return outcome + "blocks " + std::to_string(vm.heap().nOfEntries()) + "\n";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One image may fill the space with allocations; keep a run's memory small.
  VMArena::setLimit(256u << 20);
  hostmem::setLimit(64u << 20);
  Vec<TUint8> image;
  for (size_t i = 0; i < size; ++i) image.append(data[i]);
  const std::string fused = run(image, true);
  const std::string plain = run(image, false);
  if (fused != plain) {
    std::fprintf(stderr, "fused and plain runs differ\nfused:\n%s\nplain:\n%s\n", fused.c_str(), plain.c_str());
    std::abort();
  }
  return 0;
}
