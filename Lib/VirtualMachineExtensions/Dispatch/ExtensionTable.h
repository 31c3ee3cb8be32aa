#pragma once
// The built-in extensions, declared once: id, name, the code-11 message for
// an opcode the extension lacks, its operation rows (the native form of
// NativeRegistry.h) and its factory. Operation handlers take the native
// context; ext::self() gives them their extension instance.
#include "NativeRegistry.h"
#include "NerimExtension.h"

namespace ext {

struct Info {
  TInt32 id;
  const char* name;                      // assembler name: EXTENSION_CALL XMLParser 2
  const char* unknownOpcode;             // message of code 11 for an unknown opcode
  bool numbered;                         // the message is followed by the opcode
  const native::OperationTable* table;   // empty while not built in this program
  CreateExtensionFunction create;        // null answer: not built in this program
};

// The built-in extension with that id, or null (ids 21, 22, 24 ...).
const Info* extensionInfo(TInt32 id);
// By assembler name, or null.
const Info* extensionNamed(const char* name);
// Every built-in extension, in id order.
const Info* extensionInfos(TInt32& count);
// The operation row of (extension, opcode), or null (for the toolchain).
const native::Operation* extensionOperation(TInt32 id, TInt32 opcode);

// The context of one extension operation. Handlers receive it as the
// native context; only the extension dispatch builds one.
struct Call : native::Context {
  NERIM::Extension* self;
};

template <typename T> T& self(native::Context& cx) {
  return *static_cast<T*>(static_cast<Call&>(cx).self);
}

// Runs opcode `op` of `info` on the instance, or raises the extension's
// own code-11 message.
void dispatch(const Info& info, NERIM::Extension* instance, VMState& state, TInt32 op, FrameworkServices* host);

// A built-in extension: invoke goes through its row of the table.
class BuiltIn : public NERIM::Extension {
 public:
  BuiltIn(const Info& info, FrameworkServices* host) : iInfo(info), iHost(host) {}
  TInt32 invoke(VMState& state, TInt32 opcode) override {
    dispatch(iInfo, this, state, opcode, iHost);
    return 0;
  }

 private:
  const Info& iInfo;
  FrameworkServices* iHost;
};

// The factories of the built-in extensions (each in its directory).
NERIM::Extension* createAccelerometer(MVMCallbackInterface* callback, FrameworkServices* host);
NERIM::Extension* createXmlParser(MVMCallbackInterface* callback, FrameworkServices* host);
NERIM::Extension* createLocation(MVMCallbackInterface* callback, FrameworkServices* host);
NERIM::Extension* createAudioPlayer(MVMCallbackInterface* callback, FrameworkServices* host);
NERIM::Extension* createAudioMixer(MVMCallbackInterface* callback, FrameworkServices* host);
NERIM::Extension* createTorch(MVMCallbackInterface* callback, FrameworkServices* host);
NERIM::Extension* createMaemo(MVMCallbackInterface* callback, FrameworkServices* host);

// Their operation tables.
extern const native::OperationTable kAccelerometerOperations;
extern const native::OperationTable kXmlParserOperations;
extern const native::OperationTable kLocationOperations;
extern const native::OperationTable kAudioPlayerOperations;
extern const native::OperationTable kAudioMixerOperations;
extern const native::OperationTable kTorchOperations;
extern const native::OperationTable kMaemoOperations;

constexpr TInt32 kBuiltInCount = 7;

// Built-in ids.
enum : TInt32 {
  ID_ACCELEROMETER = 20,
  ID_XML_PARSER = 23,
  ID_LOCATION = 27,
  ID_AUDIO_PLAYER = 28,
  ID_AUDIO_MIXER = 30,
  ID_TORCH = 36,
  ID_MAEMO = 37,
};

}  // namespace ext
