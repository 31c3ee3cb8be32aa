#pragma once
// The built-in extensions as plain data: id, name, unknown-opcode message
// and each operation's number, name, stack effect and errors, from
// Extensions.def and the extensions' operations files. It needs nothing else,
// so the toolchain names extension calls without linking the extensions; the
// extensions bind their handlers to the same files (ExtensionTable.h).
#include "Types.h"

namespace ext {

// Built-in ids: ID_XMLParser ...
enum : TInt32 {
#define EXTENSION(id, name, unknownOpcode, numbered) ID_##name = id,
#include "Extensions.def"
#undef EXTENSION
};

struct OperationName {
  TInt32 op;
  const char* name;
  const char* effect;   // "parser -> int", as in the native reference
  const char* errors;   // what it raises: "7 \"AudioPlayer: REASON\"", or "none"
};

struct Declaration {
  TInt32 id;
  const char* name;            // assembler name: EXTENSION_CALL XMLParser parse
  const char* unknownOpcode;   // message of code 11 for an unknown opcode
  bool numbered;               // the message is followed by the opcode
  const OperationName* operations;   // in the order of the operations file
  TInt32 count;
};

// Every built-in extension, in id order.
const Declaration* declarations(TInt32& count);
// By id or by assembler name; null when there is none.
const Declaration* declaration(TInt32 id);
const Declaration* declarationNamed(const char* name);
// One operation of an extension by number or by name; null when it has none.
const OperationName* declaredOperation(const Declaration& d, TInt32 op);
const OperationName* declaredOperationNamed(const Declaration& d, const char* name);

}  // namespace ext
