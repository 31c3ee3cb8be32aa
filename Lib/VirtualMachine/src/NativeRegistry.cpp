// The group table built from NativeGroups.def, and the one dispatch: a dense
// (group, op) index built once, so a call costs two loads and no search.
#include "NativeRegistry.h"

#include "Errors.h"
#include "VMState.h"

#include <QString>
#include <atomic>
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
  bool needsHost[kGroupSlots] = {};
  Index() {
    for (const GroupInfo& g : kGroups) {
      VM_ASSERT(g.number > 0 && g.number < kGroupSlots && !group[g.number]);
      group[g.number] = &g;
      needsHost[g.number] = (g.needs & NEEDS_HOST) != 0;
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
// even when two threads get here together. Published through an atomic
// pointer so that a call, the hot path, costs one load.
std::atomic<const Index*> gIndex{nullptr};

[[gnu::noinline]] const Index& builtIndex() {
  static const Index kIndex;
  gIndex.store(&kIndex, std::memory_order_release);
  return kIndex;
}

inline const Index& index() {
  const Index* x = gIndex.load(std::memory_order_acquire);
  return x ? *x : builtIndex();
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

// The checks one by one, in their order (the group, its needs, the
// operation): the call that one of them refuses.
[[gnu::noinline]] void checkedDispatch(const Index& x, Context& cx) {
  const GroupInfo& g = builtGroup(x, cx.group);
  if ((g.needs & NEEDS_HOST) && !cx.services) cx.host();
  row(x, g, cx.op).run(cx);
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
  // A row exists only for an operation of a built group, so one test passes
  // every call that the checks would let through.
  const Index& x = index();
  const TUint32 group = static_cast<TUint32>(cx.group), op = static_cast<TUint32>(cx.op + 128);
  const Operation* o = group < kGroupSlots && op < 256 ? x.row[group][op] : nullptr;
  if (__builtin_expect(o != nullptr && (cx.services || !x.needsHost[group]), 1)) return o->run(cx);
  checkedDispatch(x, cx);
}

}  // namespace native
