// The group table: bytecode's NATIVE_CALL reaches every group through here.
#include "ClientVM.h"
#include "Errors.h"
#include "NativeGroups.h"

#include <QString>

namespace {
FrameworkServices& hostOf(FrameworkServices* host, TInt32 group) {
  if (!host) raise(ERR_RUNTIME, "Internal error: no host services for native group ", group);
  return *host;
}
}  // namespace

void ClientVM::nativeCall(TInt32 group, TInt32 function) {
  VMState& s = iState;
  switch (group) {
    // Groups land here as they are built; the rest report that they are missing.
    case 1: return vectorNative(s, function, 1, true);
    case 3: return vectorNative(s, function, 4, true);
    case 4: return vectorNative(s, function, 8, true);
    case 5: return vectorNative(s, function, 12, true);
    case 6: return vectorNative(s, function, 16, true);
    case 7: return vectorNative(s, function, 4, false);
    case 8: return stringNative(s, function);
    case 21: return outputStreamNative(s, function);
    case 22: return fileWriterNative(s, function, hostOf(iHost, group));
    case 23: return inputStreamNative(s, function);
    case 24: return fileReaderNative(s, function, hostOf(iHost, group));
    case 25: return fileSystemNative(s, function, hostOf(iHost, group));
    case 28: return encoderNative(s, function, s.heap);
    case 30: return debugNative(s, function, hostOf(iHost, group));
    case 32: return systemNative(s, function, hostOf(iHost, group), applicationObjectSlot());
    case 33: return timerNative(s, function, hostOf(iHost, group));
    // Numbers, dates, value types and digests.
    case 10: return charNative(s, function);
    case 11: return fixedNative(s, function);
    case 12: return longNative(s, function);
    case 13: return colorNative(s, function);
    case 14: return rangeNative(s, function);
    case 15: return sizeNative(s, function);
    case 16: return positionNative(s, function);
    case 17: return rectangleNative(s, function);
    case 26: return mathNative(s, function, randomState());
    case 27: return numberNative(s, function);
    case 29: return dateTimeNative(s, function);
    case 34: return hashNative(s, function);
    case 35: return keyEventNative(s, function);
    case 36: return floatNative(s, function);
    default:
      if (group <= 0 || group == 2 || group == 9 || group > 36)
        raise(ERR_RUNTIME, "Internal error: invalid group in native call: ", group);
      raise(ERR_RUNTIME, QString::fromLatin1("Internal error: native group %1 is not available").arg(group));
  }
}
