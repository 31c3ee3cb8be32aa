// DateTime and Hash groups on a machine state: objects stored into cells
// and fields, their lifetime in the heap, and the group-level failures.
#include "DateTime.h"
#include "Heap.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "NumericTestSupport.h"
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
  TInt32 dateOp(TInt32 op, std::initializer_list<TUint32> args) {
    state->sp = -1;
    push(args);
    dateTimeNative(*state, op);
    EXPECT_EQ(sp(), 0);
    return static_cast<TInt32>(top());
  }
  QString dateText(VMAddr cell) {
    state->sp = -1;
    push(cell);
    dateTimeNative(*state, 21);
    return text(native::stringAt(top()));
  }

  TUint32 bytes(const std::string& s) {
    return vectors::newVectorCell(heap(), 1, false, reinterpret_cast<const TUint8*>(s.data()),
                                  static_cast<TInt32>(s.size()));
  }
  std::string hexAt(TUint32 vectorValue) {
    const vectors::VectorStore v(native::load(vectorValue), 1);
    std::string out;
    for (TInt32 i = 0; i < v.count(); ++i) {
      char two[3];
      std::snprintf(two, sizeof two, "%02x", *v.at(i));
      out += two;
    }
    return out;
  }
  // A bytecode object of class 0 with one field.
  VMAddr hashHolder() {
    const VMAddr object = heap().allocate(8, 0, GC_CODE_CLASS_OBJECT);
    heap().addRoot(object);
    return object;
  }
};

}  // namespace

TEST_F(ObjectNativeTest, DateConstructionStoresAnObjectInTheCell) {
  const VMAddr d = newDate({5, 3, 2010, 7, 8, 9, 1});
  EXPECT_NE(native::load(d), 0u);
  EXPECT_EQ(dateText(d), "2010-03-05 07:08:09Z");
  EXPECT_EQ(dateOp(9, {d}), 2010);
  EXPECT_EQ(dateOp(13, {d}), 1);

  const VMAddr bad = dateCell();
  state->sp = -1;
  push({bad, 1, 13, 2010, 0, 0, 0, 0});
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, dateTimeNative(*state, 4)), "InvalidArgumentException: Invalid month");
  EXPECT_EQ(native::load(bad), 0u);
}

TEST_F(ObjectNativeTest, DateIdentityAndOrder) {
  const VMAddr a = newDate({1, 1, 2010, 1, 30, 0, 0});
  const VMAddr b = newDate({31, 12, 2009, 23, 30, 0, 1});   // the same instant in UTC
  const VMAddr c = newDate({1, 1, 2010, 1, 30, 0, 0});
  EXPECT_EQ(dateOp(22, {a, c}), 0);
  EXPECT_EQ(dateOp(23, {a, c}), 1);
  EXPECT_EQ(dateOp(24, {a, c}), 1);
  EXPECT_EQ(dateOp(24, {a, b}), 1);
  EXPECT_EQ(dateOp(22, {a, a}), 1);

  state->sp = -1;
  push({b, 0, 0, 0, 1});
  dateTimeNative(*state, 5);   // b one second later
  EXPECT_EQ(sp(), -1);
  EXPECT_EQ(dateOp(26, {a, b}), 1);
  EXPECT_EQ(dateOp(29, {a, b}), 0);
}

TEST_F(ObjectNativeTest, DateCopyAndSetters) {
  const VMAddr a = newDate({31, 12, 2009, 23, 30, 0, 1});
  const VMAddr copy = dateCell();
  state->sp = -1;
  push({copy, a});
  dateTimeNative(*state, 2);
  EXPECT_EQ(sp(), -1);
  EXPECT_NE(native::load(copy), native::load(a));
  push({copy, 0});
  dateTimeNative(*state, 20);   // to local time
  EXPECT_EQ(dateText(copy), "2010-01-01 01:30:00");
  EXPECT_EQ(dateText(a), "2009-12-31 23:30:00Z");
  state->sp = -1;
  push({a, 24});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, dateTimeNative(*state, 17));
  state->sp = -1;
  push(0);
  EXPECT_RAISES(ERR_NULL_POINTER, dateTimeNative(*state, 7));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, dateTimeNative(*state, 30)), "VMException: DateTime: 30");
}

TEST_F(ObjectNativeTest, DatesAreFreedWithTheirLastReference) {
  const VMAddr d = newDate({1, 1, 2000, 0, 0, 0, 0});
  const VMAddr object = native::load(d);
  heap().addRoot(d);
  heap().collect();
  EXPECT_TRUE(heap().isLiveBlock(object));
  heap().removeRoot(d);
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(object));
}

TEST_F(ObjectNativeTest, HashIncrementalThroughTheObjectsField) {
  const VMAddr holder = hashHolder();
  push({holder, 0});
  hashNative(*state, 1);
  EXPECT_EQ(sp(), -1);
  const VMAddr hash = native::load(holder + 4);
  ASSERT_NE(hash, 0u);
  for (const char* piece : {"ab", "", "c"}) {
    push({holder, bytes(piece)});
    hashNative(*state, 3);
    EXPECT_EQ(sp(), -1);
  }
  heap().collect();   // the field keeps the Hash alive
  ASSERT_TRUE(heap().isLiveBlock(hash));
  push(holder);
  hashNative(*state, 4);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(hexAt(top()), "900150983cd24fb0d6963f7d28e17f72");

  state->sp = -1;
  push(holder);
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, hashNative(*state, 4)), "InvalidArgumentException: Hash already finished");
  state->sp = -1;
  push({holder, bytes("x")});
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, hashNative(*state, 3));

  heap().removeRoot(holder);
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(hash));
}

TEST_F(ObjectNativeTest, HashOneShotAndRefusals) {
  push({bytes(""), 1});
  hashNative(*state, 2);
  EXPECT_EQ(sp(), 0);
  EXPECT_EQ(hexAt(top()), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(vectors::VectorStore(native::load(top()), 1).count(), 20);

  state->sp = -1;
  push({bytes("abc"), 2});
  EXPECT_EQ(EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, hashNative(*state, 2)),
            "UnsupportedFeatureException: Unsupported hash algorithm");
  const VMAddr holder = hashHolder();
  state->sp = -1;
  push({holder, 2});
  EXPECT_RAISES(ERR_UNSUPPORTED_FEATURE, hashNative(*state, 1));
  EXPECT_EQ(native::load(holder + 4), 0u);
  state->sp = -1;
  push(holder);   // no Hash in the field
  EXPECT_RAISES(ERR_NULL_POINTER, hashNative(*state, 4));
  EXPECT_EQ(EXPECT_RAISES(ERR_VM, hashNative(*state, 5)), "VMException: Hash:5");
}
