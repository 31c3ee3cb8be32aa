// The group table and the one dispatch: every declared group's rows are
// well formed, and the group-level errors have their exact texts and codes.
#include "NativeTestSupport.h"
#include "TestHost.h"
#include "VectorStore.h"

#include <set>
#include <string>

namespace {

class NativeRegistryTest : public NativeGroupTest {
 protected:
  QString dispatchError(TInt32 group, TInt32 op, TInt32 code) {
    native::Context cx{*state, group, op, services, &applicationObject, randomState};
    return EXPECT_RAISES(code, native::dispatch(cx));
  }
  FixedHost host;
};

}  // namespace

TEST_F(NativeRegistryTest, TablesHaveUniqueNumbersAndNamesAndEveryRowIsFound) {
  TInt32 count = 0;
  const native::GroupInfo* all = native::groups(count);
  TInt32 previous = 0;
  for (TInt32 i = 0; i < count; ++i) {
    const native::GroupInfo& g = all[i];
    EXPECT_GT(g.number, previous) << "groups are listed in number order";
    previous = g.number;
    EXPECT_EQ(native::groupInfo(g.number), &g);
    if (!g.table) continue;
    std::set<TInt32> numbers;
    std::set<std::string> names;
    for (TInt32 k = 0; k < g.table->count; ++k) {
      const native::Operation& row = g.table->rows[k];
      EXPECT_TRUE(numbers.insert(row.op).second) << g.name << " " << row.op;
      EXPECT_TRUE(names.insert(row.name).second) << g.name << " " << row.name;
      EXPECT_TRUE(row.run && row.effect && *row.effect) << g.name << " " << row.name;
      EXPECT_TRUE(row.errors && *row.errors) << g.name << " " << row.name << ": errors not declared";
      EXPECT_EQ(native::operation(g.number, row.op), &row);
      EXPECT_EQ(native::operationNamed(g.number, row.name), &row);
      EXPECT_EQ(native::lookup(g.number, row.op), row.run);
    }
  }
}

TEST_F(NativeRegistryTest, GroupErrorsKeepTheirTexts) {
  for (TInt32 group : {0, 2, 9, 37, 63, 64, -1, 1000})
    EXPECT_EQ(dispatchError(group, 1, ERR_RUNTIME),
              QStringLiteral("RuntimeException: Internal error: invalid group in native call: %1").arg(group));
  EXPECT_EQ(dispatchError(18, 11, ERR_VM), "VMException: Graphics: 11");
  EXPECT_EQ(dispatchError(20, 1, ERR_VM), "VMException: Font: 1");
  EXPECT_EQ(dispatchError(8, 0, ERR_VM), "VMException: String: 0");
  EXPECT_EQ(dispatchError(8, 128, ERR_VM), "VMException: String: 128");
  EXPECT_EQ(dispatchError(36, -1, ERR_VM), "VMException: Float: -1");
  EXPECT_EQ(dispatchError(34, 9, ERR_VM), "VMException: Hash:9");
  // A host group in a machine without host services, before the operation is looked at.
  EXPECT_EQ(dispatchError(32, 99, ERR_RUNTIME),
            "RuntimeException: Internal error: no host services for native group 32");
  services = &host;
  EXPECT_EQ(dispatchError(32, 99, ERR_VM), "VMException: System:99");
  EXPECT_EQ(native::lookup(3, 11), native::lookup(7, 11));
  EXPECT_EQ(native::operation(18, 11), nullptr);
  EXPECT_EQ(native::operationNamed(8, "noSuchOperation"), nullptr);
}

TEST_F(NativeRegistryTest, VectorGroupsTakeTheElementKindFromTheGroupNumber) {
  // One table; group 3 yields an element's address, group 7 the element.
  const VMAddr holder = native::newRefVector(1, heap());
  heap().addRoot(holder);
  const VMAddr elements = vectors::VectorStore(native::load(holder), 4).addressOf(0);
  native::store(elements, 1234);
  EXPECT_EQ(call("IntVector", "element", {holder, 0}), elements);
  EXPECT_EQ(call("RefVector", "element", {holder, 0}), 1234u);
  heap().removeRoot(holder);
}
