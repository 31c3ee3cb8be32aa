// The table of built-in extensions and the one opcode lookup they share.
#include "ExtensionTable.h"

#include "Errors.h"
#include "VMState.h"

#include <QString>

namespace ext {

namespace {

const Info kExtensions[] = {
#define EXTENSION(id, name, unknownOpcode, numbered) \
  {id, #name, unknownOpcode, numbered, &k##name##Operations, create##name},
#include "Extensions.def"
#undef EXTENSION
};

}  // namespace

const Info* extensionInfo(TInt32 id) {
  for (const Info& i : kExtensions)
    if (i.id == id) return &i;
  return nullptr;
}

const Info* extensionInfos(TInt32& count) {
  count = kBuiltInCount;
  return kExtensions;
}

const native::Operation* extensionOperation(TInt32 id, TInt32 opcode) {
  const Info* info = extensionInfo(id);
  if (!info) return nullptr;
  const native::OperationTable& t = *info->table;
  for (TInt32 k = 0; k < t.count; ++k)
    if (t.rows[k].op == opcode) return &t.rows[k];
  return nullptr;
}

void dispatch(const Info& info, NERIM::Extension* instance, VMState& state, TInt32 op, FrameworkServices* host) {
  const native::Operation* row = extensionOperation(info.id, op);
  if (!row) {
    if (info.numbered) raise(ERR_RUNTIME, info.unknownOpcode, op);
    raise(ERR_RUNTIME, info.unknownOpcode);
  }
  Call cx{{state, info.id, op, host, nullptr, nullptr}, instance};
  row->run(cx);
}

}  // namespace ext
