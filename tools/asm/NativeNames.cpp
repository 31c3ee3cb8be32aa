// The toolchain's view of the native group table: names both ways.
#include "ImageModel.h"
#include "NativeRegistry.h"

namespace mcb {

int groupByName(const std::string& name) {
  TInt32 count = 0;
  const native::GroupInfo* all = native::groups(count);
  for (TInt32 i = 0; i < count; ++i)
    if (name == all[i].name) return all[i].number;
  return -1;
}

const char* groupName(int group) {
  const native::GroupInfo* g = native::groupInfo(group);
  return g ? g->name : nullptr;
}

bool operationByName(int group, const std::string& name, int& op) {
  const native::Operation* row = native::operationNamed(group, name.c_str());
  if (row) op = row->op;
  return row != nullptr;
}

const char* operationName(int group, int op) {
  const native::Operation* row = native::operation(group, op);
  return row ? row->name : nullptr;
}

}  // namespace mcb
