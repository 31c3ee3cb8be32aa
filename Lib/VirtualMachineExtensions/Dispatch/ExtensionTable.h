#pragma once
// The built-in extensions bound to their code: each entry of Extensions.def
// with its operation rows (the native form of NativeRegistry.h, expanded
// from the extension's operations file with EXTENSION_ROW) and its factory.
// Operation handlers take the native context; ext::self() gives them their
// extension instance.
#include "ExtensionNames.h"
#include "NativeRegistry.h"
#include "NerimExtension.h"

namespace ext {

struct Info {
  TInt32 id;
  const char* name;                      // assembler name: EXTENSION_CALL XMLParser parse
  const char* unknownOpcode;             // message of code 11 for an unknown opcode
  bool numbered;                         // the message is followed by the opcode
  const native::OperationTable* table;   // empty while not built in this program
  CreateExtensionFunction create;        // null answer: not built in this program
};

// The built-in extension with that id, or null (ids 21, 22, 24 ...).
const Info* extensionInfo(TInt32 id);
// Every built-in extension, in id order.
const Info* extensionInfos(TInt32& count);
// The operation row of (extension, opcode), or null.
const native::Operation* extensionOperation(TInt32 id, TInt32 opcode);

// One operation row from an operations file line: inside a rows array,
//   #define EXTENSION_OPERATION EXTENSION_ROW
//   #include "XMLParser.def"
#define EXTENSION_ROW(op, name, handler, effect, errors) {op, #name, handler, effect, errors},

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
  // True while the extension still has work under way that no call of the
  // image will end (sound being played), so a host without a window keeps
  // its event loop for it.
  virtual bool active() const { return false; }

 private:
  const Info& iInfo;
  FrameworkServices* iHost;
};

// The factories of the built-in extensions (each in its directory) and
// their operation tables: createXMLParser, kXMLParserOperations ...
#define EXTENSION(id, name, unknownOpcode, numbered)                                  \
  NERIM::Extension* create##name(MVMCallbackInterface* callback, FrameworkServices* host); \
  extern const native::OperationTable k##name##Operations;
#include "Extensions.def"
#undef EXTENSION

// The manager keeps one slot per built-in extension.
constexpr TInt32 kBuiltInCount = 0
#define EXTENSION(id, name, unknownOpcode, numbered) +1
#include "Extensions.def"
#undef EXTENSION
    ;

}  // namespace ext
