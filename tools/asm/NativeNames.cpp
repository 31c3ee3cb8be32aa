// The toolchain's view of what NATIVE_CALL and EXTENSION_CALL name: native
// groups from the machine's group table, built-in extensions from their
// declarations; names both ways.
#include "ExtensionNames.h"
#include "ImageModel.h"
#include "NativeRegistry.h"
#include "Opcodes.h"

namespace mcb {

int calleeByName(int call, const std::string& name) {
  TInt32 count = 0;
  if (call == OP_EXTENSION_CALL) {
    const ext::Declaration* d = ext::declarationNamed(name.c_str());
    return d ? d->id : -1;
  }
  const native::GroupInfo* all = native::groups(count);
  for (TInt32 i = 0; i < count; ++i)
    if (name == all[i].name) return all[i].number;
  return -1;
}

const char* calleeName(int call, int callee) {
  if (call == OP_EXTENSION_CALL) {
    const ext::Declaration* d = ext::declaration(callee);
    return d ? d->name : nullptr;
  }
  const native::GroupInfo* g = native::groupInfo(callee);
  return g ? g->name : nullptr;
}

bool operationByName(int call, int callee, const std::string& name, int& op) {
  if (call == OP_EXTENSION_CALL) {
    const ext::Declaration* d = ext::declaration(callee);
    const ext::OperationName* o = d ? ext::declaredOperationNamed(*d, name.c_str()) : nullptr;
    if (o) op = o->op;
    return o != nullptr;
  }
  const native::Operation* row = native::operationNamed(callee, name.c_str());
  if (row) op = row->op;
  return row != nullptr;
}

const char* operationName(int call, int callee, int op) {
  if (call == OP_EXTENSION_CALL) {
    const ext::Declaration* d = ext::declaration(callee);
    const ext::OperationName* o = d ? ext::declaredOperation(*d, op) : nullptr;
    return o ? o->name : nullptr;
  }
  const native::Operation* row = native::operation(callee, op);
  return row ? row->name : nullptr;
}

}  // namespace mcb
