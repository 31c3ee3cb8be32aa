// Loader fuzz target: any bytes are loaded as an image, twice under the
// same name (de-duplication) and once after a valid image (bases). Only a
// clean error or a load may come out; the heap is verified after each.
#include "ClientVM.h"
#include "Errors.h"
#include "TestHost.h"
#include "VMArena.h"

#include <cstddef>
#include <cstdint>

namespace {
bool load(ClientVM& vm, const Vec<TUint8>& image, const char* name) {
  try {
    vm.loadBytes(image, CAppsString(name));
    return true;
  } catch (const ErrorHandlingException&) {
    clearError();
    return false;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One image may fill the space with allocations; keep a run's memory small.
  VMArena::setLimit(256u << 20);
  Vec<TUint8> image;
  for (size_t i = 0; i < size; ++i) image.append(data[i]);
  FixedHost host;
  {
    ClientVM vm(&host);
    if (load(vm, image, "fuzz")) load(vm, image, "fuzz");
    load(vm, image, "again");
    vm.heap().verify();
  }
  return 0;
}
