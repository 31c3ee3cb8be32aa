// An example extension library (built as 40.so): a running total kept by
// the instance, shown to the image and to the host's log.
//   1  int ->        adds the value to the total
//   2  -> int        the total
//   3  str ->        logs "total <n>: <text>" through the host
//   other            code 11 "Example: Unknown opcode: <n>"
#include "NerimExtension.h"

#include "CAppsString.h"
#include "Errors.h"
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "VMState.h"

namespace {

class Example : public NERIM::Extension {
 public:
  explicit Example(FrameworkServices* host) : iHost(host) {}

  TInt32 invoke(VMState& state, TInt32 opcode) override {
    switch (opcode) {
      case 1: {
        native::Args a(state, 1);
        iTotal += a.integer(0);
        a.noResult();
        return 0;
      }
      case 2:
        native::pushResult(state, static_cast<TUint32>(iTotal));
        return 0;
      case 3: {
        native::Args a(state, 1);
        CAppsString line("total ");
        line.append(CAppsString::number(iTotal)).append(": ");
        line.append(CAppsString::fromNString(native::stringAt(a.word(0))));
        iHost->log(line.toNString());
        a.noResult();
        return 0;
      }
      default:
        raise(ERR_RUNTIME, "Example: Unknown opcode: ", opcode);
    }
  }

 private:
  FrameworkServices* iHost;
  TInt32 iTotal = 0;
};

}  // namespace

NERIM_EXTENSION_FACTORY {
  (void)callback;
  return new Example(host);
}
