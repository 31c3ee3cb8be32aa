// The group table built from NativeGroups.def, and the one dispatch: a dense
// (group, op) index built once, so a call costs two loads and no search.
#include "NativeRegistry.h"

#include "Errors.h"
#include "VMState.h"

#include <QString>
#include <cstring>

#define NATIVE_GROUP(number, name, prefix, needs, table) extern const native::OperationTable table;
#define NATIVE_GROUP_ABSENT(number, name, prefix, needs)
#include "NativeGroups.def"
#undef NATIVE_GROUP
#undef NATIVE_GROUP_ABSENT

namespace native {

namespace {

const GroupInfo kGroups[] = {
#define NATIVE_GROUP(number, name, prefix, needs, table) {number, #name, prefix, needs, &table},
#define NATIVE_GROUP_ABSENT(number, name, prefix, needs) {number, #name, prefix, needs, nullptr},
#include "NativeGroups.def"
#undef NATIVE_GROUP
#undef NATIVE_GROUP_ABSENT
};
constexpr TInt32 kGroupCount = sizeof(kGroups) / sizeof(kGroups[0]);
constexpr TInt32 kGroupSlots = 64;   // above the highest group number

// Operation numbers are signed bytes: row index op + 128.
inline bool isOpNumber(TInt32 op) { return op >= -128 && op <= 127; }

struct Index {
  const GroupInfo* group[kGroupSlots] = {};
  const Operation* row[kGroupSlots][256] = {};
  Index() {
    for (const GroupInfo& g : kGroups) {
      VM_ASSERT(g.number > 0 && g.number < kGroupSlots && !group[g.number]);
      group[g.number] = &g;
      if (!g.table) continue;
      for (TInt32 i = 0; i < g.table->count; ++i) {
        const Operation& o = g.table->rows[i];
        VM_ASSERT(isOpNumber(o.op));
        row[g.number][o.op + 128] = &o;
      }
    }
  }
};

// Built on first use; a function-local static is initialised exactly once
// even when two threads get here together.
const Index& index() {
  static const Index kIndex;
  return kIndex;
}

// The built group with that number; code 11 for any other.
const GroupInfo& builtGroup(const Index& x, TInt32 number) {
  const GroupInfo* g = number > 0 && number < kGroupSlots ? x.group[number] : nullptr;
  if (!g) raise(ERR_RUNTIME, "Internal error: invalid group in native call: ", number);
  if (!g->table) raise(ERR_RUNTIME, QString::fromLatin1("Internal error: native group %1 is not available").arg(number));
  return *g;
}

const Operation& row(const Index& x, const GroupInfo& g, TInt32 op) {
  const Operation* o = isOpNumber(op) ? x.row[g.number][op + 128] : nullptr;
  if (!o) raise(ERR_VM, g.prefix, op);
  return *o;
}

}  // namespace

VMHeap& Context::heap() const { return state.heap; }

FrameworkServices& Context::host() const {
  if (!services) raise(ERR_RUNTIME, "Internal error: no host services for native group ", group);
  return *services;
}

const GroupInfo* groupInfo(TInt32 number) {
  return number > 0 && number < kGroupSlots ? index().group[number] : nullptr;
}

const GroupInfo* groups(TInt32& count) {
  count = kGroupCount;
  return kGroups;
}

Handler lookup(TInt32 group, TInt32 op) {
  const Index& x = index();
  return row(x, builtGroup(x, group), op).run;
}

const Operation* operation(TInt32 group, TInt32 op) {
  const GroupInfo* g = groupInfo(group);
  return g && g->table && isOpNumber(op) ? index().row[group][op + 128] : nullptr;
}

const Operation* operationNamed(TInt32 group, const char* name) {
  const GroupInfo* g = groupInfo(group);
  if (!g || !g->table) return nullptr;
  for (TInt32 i = 0; i < g->table->count; ++i)
    if (std::strcmp(g->table->rows[i].name, name) == 0) return &g->table->rows[i];
  return nullptr;
}

void dispatch(Context& cx) {
  const Index& x = index();
  const GroupInfo& g = builtGroup(x, cx.group);
  if ((g.needs & NEEDS_HOST) && !cx.services) cx.host();
  row(x, g, cx.op).run(cx);
}

}  // namespace native
