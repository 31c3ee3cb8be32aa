// DateTime and Hash groups on a machine state: objects stored into cells
// and fields, their lifetime in the heap, and the group-level failures.
#include "Heap.h"
#include "HeapEntry.h"
#include "NativeGroups.h"
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
    dateTimeNative(*state, 4);
    EXPECT_EQ(sp(), -1);
    return cell;
  }
  QString dateText(VMAddr cell) {
    call(dateTimeNative, 21, {cell});
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
  EXPECT_EQ(call(dateTimeNative, 9, {d}), 2010u);
  EXPECT_EQ(sp(), 0);

  const VMAddr bad = dateCell();
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, call(dateTimeNative, 4, {bad, 1, 13, 2010, 0, 0, 0, 0})),
            "InvalidArgumentException: Invalid month");
  EXPECT_EQ(native::load(bad), 0u);   // nothing allocated or stored

  // A copy is a new object: changing it leaves the original alone.
  const VMAddr copy = dateCell();
  call(dateTimeNative, 2, {copy, d});
  EXPECT_EQ(sp(), -1);
  call(dateTimeNative, 20, {copy, 0});
  EXPECT_EQ(dateText(d), "2010-03-05 07:08:09Z");

  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call(dateTimeNative, 17, {d, 24}));
  EXPECT_RAISES(ERR_NULL_POINTER, call(dateTimeNative, 7, {0}));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call(dateTimeNative, 30, {})), "VMException: DateTime: 30");

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
  EXPECT_EQ(call(dateTimeNative, 22, {a, c}), 0u);
  EXPECT_EQ(call(dateTimeNative, 23, {a, c}), 1u);
  EXPECT_EQ(call(dateTimeNative, 22, {a, a}), 1u);
  EXPECT_EQ(call(dateTimeNative, 24, {a, c}), 1u);
  EXPECT_EQ(call(dateTimeNative, 24, {a, b}), 1u);
  call(dateTimeNative, 5, {b, 0, 0, 0, 1});   // b one second later
  EXPECT_EQ(sp(), -1);
  EXPECT_EQ(call(dateTimeNative, 26, {a, b}), 1u);
  EXPECT_EQ(call(dateTimeNative, 29, {a, b}), 0u);
}

TEST_F(ObjectNativeTest, HashIncrementalThroughTheObjectsField) {
  const VMAddr holder = hashHolder();
  call(hashNative, 1, {holder, 0});
  EXPECT_EQ(sp(), -1);
  const VMAddr hash = native::load(holder + 4);
  for (const char* piece : {"ab", "", "c"}) {
    call(hashNative, 3, {holder, bytes(piece)});
    EXPECT_EQ(sp(), -1);
  }
  heap().collect();   // the field keeps the Hash alive
  ASSERT_TRUE(heap().isLiveBlock(hash));
  EXPECT_EQ(hexAt(call(hashNative, 4, {holder})), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(sp(), 0);

  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, call(hashNative, 4, {holder})),
            "InvalidArgumentException: Hash already finished");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, call(hashNative, 3, {holder, bytes("x")}));

  heap().removeRoot(holder);
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(hash));
}

TEST_F(ObjectNativeTest, HashOneShotAndRefusals) {
  EXPECT_EQ(hexAt(call(hashNative, 2, {bytes(""), 1})), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, call(hashNative, 2, {bytes("abc"), 2})),
            "UnsupportedFeatureException: Unsupported hash algorithm");
  const VMAddr holder = hashHolder();
  EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, call(hashNative, 1, {holder, 2}));
  EXPECT_EQ(native::load(holder + 4), 0u);
  EXPECT_RAISES(ERR_NULL_POINTER, call(hashNative, 4, {holder}));   // no Hash in the field
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, call(hashNative, 5, {})), "VMException: Hash:5");
}
