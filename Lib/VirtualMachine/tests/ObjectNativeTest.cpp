// DateTime and Hash groups on a machine state: objects stored into cells
// and fields, their lifetime in the heap, and the group-level failures.
#include "Heap.h"
#include "HeapEntry.h"
#include "NativeTestSupport.h"
#include "VectorStore.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

class ObjectNativeTest : public NativeGroupTest {
 protected:
  void SetUp() override {
    setenv("TZ", "XST-2", 1);
    tzset();
    // Class 0: word 1 is a reference field (where a Hash lives).
    Vec<int> fields;
    fields.append(1);
    refs.append(fields);
    vecs.append(Vec<int>());
    flags.append(Vec<char>());
    NativeGroupTest::SetUp();
  }
  void TearDown() override {
    NativeGroupTest::TearDown();
    setenv("TZ", "UTC0", 1);
    tzset();
  }

  VMAddr dateCell() { return heap().allocateWords(1, GC_CODE_REF_HOLDER); }
  VMAddr newDate(std::initializer_list<TUint32> fields) {
    const VMAddr cell = dateCell();
    state->sp = -1;
    push(cell);
    push(fields);
    run("DateTime", "fromFields");
    EXPECT_EQ(sp(), -1);
    return cell;
  }
  QString dateText(VMAddr cell) {
    call("DateTime", "toText", {cell});
    return topString();
  }

  TUint32 bytes(const std::string& s) {
    return vectors::newVectorCell(heap(), 1, false, reinterpret_cast<const TUint8*>(s.data()),
                                  static_cast<TInt32>(s.size()));
  }
  std::string hexAt(TUint32 vectorValue) {
    const vectors::VectorStore v(native::load(vectorValue), 1);
    std::string out;
    for (TInt32 i = 0; i < v.count(); ++i) out += QString::asprintf("%02x", *v.at(i)).toStdString();
    return out;
  }
  // A rooted bytecode object of class 0 with one field.
  VMAddr hashHolder() {
    const VMAddr object = heap().allocate(8, 0, GC_CODE_CLASS_OBJECT);
    heap().addRoot(object);
    return object;
  }
};

}  // namespace

TEST_F(ObjectNativeTest, DatesLiveInCells) {
  const VMAddr d = newDate({5, 3, 2010, 7, 8, 9, 1});
  EXPECT_EQ(dateText(d), "2010-03-05 07:08:09Z");
  EXPECT_EQ(call("DateTime", "year", {d}), 2010u);
  EXPECT_EQ(sp(), 0);

  const VMAddr bad = dateCell();
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("DateTime", "fromFields", {bad, 1, 13, 2010, 0, 0, 0, 0})),
            "InvalidArgumentException: Invalid month");
  EXPECT_EQ(native::load(bad), 0u);   // nothing allocated or stored

  // A copy is a new object: changing it leaves the original alone.
  const VMAddr copy = dateCell();
  call("DateTime", "copy", {copy, d});
  EXPECT_EQ(sp(), -1);
  call("DateTime", "setTimezone", {copy, 0});
  EXPECT_EQ(dateText(d), "2010-03-05 07:08:09Z");

  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("DateTime", "setHour", {d, 24}));
  EXPECT_RAISES(ERR_NULL_POINTER, call("DateTime", "day", {0}));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("DateTime", 30, {})), "VMException: DateTime: 30");

  const VMAddr object = native::load(d);
  heap().addRoot(d);
  heap().collect();
  EXPECT_TRUE(heap().isLiveBlock(object));
  heap().removeRoot(d);
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(object));
}

TEST_F(ObjectNativeTest, DateIdentityAndOrder) {
  const VMAddr a = newDate({1, 1, 2010, 1, 30, 0, 0});
  const VMAddr b = newDate({31, 12, 2009, 23, 30, 0, 1});   // the same instant in UTC
  const VMAddr c = newDate({1, 1, 2010, 1, 30, 0, 0});
  EXPECT_EQ(call("DateTime", "same", {a, c}), 0u);
  EXPECT_EQ(call("DateTime", "notSame", {a, c}), 1u);
  EXPECT_EQ(call("DateTime", "same", {a, a}), 1u);
  EXPECT_EQ(call("DateTime", "equals", {a, c}), 1u);
  EXPECT_EQ(call("DateTime", "equals", {a, b}), 1u);
  call("DateTime", "add", {b, 0, 0, 0, 1});   // b one second later
  EXPECT_EQ(sp(), -1);
  EXPECT_EQ(call("DateTime", "before", {a, b}), 1u);
  EXPECT_EQ(call("DateTime", "afterOrSame", {a, b}), 0u);
}

TEST_F(ObjectNativeTest, HashIncrementalThroughTheObjectsField) {
  const VMAddr holder = hashHolder();
  call("Hash", "create", {holder, 0});
  EXPECT_EQ(sp(), -1);
  const VMAddr hash = native::load(holder + 4);
  for (const char* piece : {"ab", "", "c"}) {
    call("Hash", "update", {holder, bytes(piece)});
    EXPECT_EQ(sp(), -1);
  }
  heap().collect();   // the field keeps the Hash alive
  ASSERT_TRUE(heap().isLiveBlock(hash));
  EXPECT_EQ(hexAt(call("Hash", "finish", {holder})), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(sp(), 0);

  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Hash", "finish", {holder})),
            "InvalidArgumentException: Hash already finished");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call("Hash", "update", {holder, bytes("x")}));

  heap().removeRoot(holder);
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(hash));
}

TEST_F(ObjectNativeTest, HashOneShotAndRefusals) {
  EXPECT_EQ(hexAt(call("Hash", "digest", {bytes(""), 1})), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, call("Hash", "digest", {bytes("abc"), 2})),
            "UnsupportedFeatureException: Unsupported hash algorithm");
  const VMAddr holder = hashHolder();
  EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, call("Hash", "create", {holder, 2}));
  EXPECT_EQ(native::load(holder + 4), 0u);
  EXPECT_RAISES(ERR_NULL_POINTER, call("Hash", "finish", {holder}));   // no Hash in the field
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call("Hash", 5, {})), "VMException: Hash:5");
}
