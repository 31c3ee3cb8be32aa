// ClientVM's native-call slot: every group is reached through the registry.
#include "ClientVM.h"
#include "NativeRegistry.h"

void ClientVM::nativeCall(TInt32 group, TInt32 function) {
  native::Context cx{iState, group, function, iHost, &iApplicationObject, iRandomState};
  native::dispatch(cx);
}
