#pragma once
// The one form of a native group: every group is declared once in
// NativeGroups.def, and its operations once, in a table of
// {number, name, handler, effect, errors} rows at the end of the group's file. One
// lookup turns (group, op) into a handler and raises the unknown-group and
// unknown-operation errors for all of them.
#include "Types.h"

struct VMState;
class VMHeap;
class FrameworkServices;

namespace native {

// Everything an operation handler may reach. Built by ClientVM per call.
struct Context {
  VMState& state;
  TInt32 group;                     // the group number the bytecode named
  TInt32 op;                        // the operation number
  FrameworkServices* services;      // null in a machine built without a host
  TUint32* applicationObject;       // the machine's application object slot
  TUint8* randomState;              // the Math group's generator state

  VMHeap& heap() const;
  // The host services; code 11 when the machine has none.
  FrameworkServices& host() const;
};

typedef void (*Handler)(Context&);

// One operation. `effect` documents the stack effect in the reference
// ("str, int -> int", "ref ->", "-> fixed"); `errors` the errors the handler
// raises besides the ones every operation shares (codes and exact texts,
// `2; 6 "Negative value"`; a code alone has no text; "none" when it has
// none). Neither is interpreted.
struct Operation {
  TInt32 op;
  const char* name;
  Handler run;
  const char* effect;
  const char* errors;
};

// A group's operations, as the group's file declares them.
struct OperationTable {
  const Operation* rows;
  TInt32 count;
};

// Defines `table` from a static array of rows (the rows may be in any order;
// numbers and names must be unique, which the registry test checks). Written
// at namespace scope outside any unnamed namespace: the registry links to it.
#define NATIVE_OPERATIONS(table, rows)      \
  extern const native::OperationTable table; \
  const native::OperationTable table = {rows, static_cast<TInt32>(sizeof(rows) / sizeof((rows)[0]))}

// What a group needs besides the machine state (checked before dispatch).
enum Needs : TUint32 { NEEDS_NOTHING = 0, NEEDS_HOST = 1 };

struct GroupInfo {
  TInt32 number;
  const char* name;      // assembler name: NATIVE_CALL String indexOf
  const char* prefix;    // unknown-operation prefix, exactly
  TUint32 needs;
  const OperationTable* table;   // null: declared, not built in this program
};

// The declared group with that number, or null.
const GroupInfo* groupInfo(TInt32 number);
// Every declared group, in number order.
const GroupInfo* groups(TInt32& count);
// The handler of (group, op); raises code 11 for an unknown group and code 10
// with the group's prefix for an unknown operation.
Handler lookup(TInt32 group, TInt32 op);
// The operation row of (group, op), or null (for the toolchain).
const Operation* operation(TInt32 group, TInt32 op);
const Operation* operationNamed(TInt32 group, const char* name);

// The whole native call: the group's checks (unknown, not built, needs), then
// the operation's; runs the handler.
void dispatch(Context& cx);

}  // namespace native
