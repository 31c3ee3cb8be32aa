#include "NVector.h"
#include "ObjectWrapper.h"
#include "TestSupport.h"

typedef ObjectWrapper<int, 1> Int1;
typedef ObjectWrapper<int, 3> Int3;

TEST(NVector, ConstructionFollowsTheCapacityRule) {
  ArenaStorage storage;
  NVector<Int1> nine(storage, 9);
  EXPECT_EQ(nine.capacity(), 10);
  EXPECT_EQ(nine.get(8)[0], 0);
  NVector<Int1> hundred(storage, 100);
  EXPECT_EQ(hundred.capacity(), 120);
  NVector<Int1> none(storage, 0);
  EXPECT_EQ(none.dataAddr(), 0u);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, NVector<Int1>(storage, -1));
}

TEST(NVector, ElementsLiveInVmMemory) {
  ArenaStorage storage;
  NVector<Int3> v(storage, 3);
  v.set(1, Int3{{4, 5, 6}});
  const VMAddr a = v.elementAddr(1);
  EXPECT_EQ(a, v.dataAddr() + 12);
  EXPECT_EQ(vmPtrAs<int>(a)[2], 6);
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.elementAddr(3));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.get(-1));
}

TEST(NVector, InsertGrowsByTheRule) {
  ArenaStorage storage;
  NVector<signed char> v;
  v.insert(storage, 0, 1);
  EXPECT_EQ(v.capacity(), 10);
  for (int i = 2; i <= 10; ++i) v.append(storage, static_cast<signed char>(i));
  EXPECT_EQ(storage.allocations, 1);
  v.insert(storage, 5, -5);                     // 11 elements: capacity 13
  EXPECT_EQ(v.capacity(), 13);
  EXPECT_EQ(storage.frees, 1);
  EXPECT_EQ(v.length(), 11);
  EXPECT_EQ(v.get(4), 5);
  EXPECT_EQ(v.get(5), -5);
  EXPECT_EQ(v.get(6), 6);
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.insert(storage, 12, 0));
  EXPECT_EQ(v.length(), 11);

  // Inserting a vector's own elements into itself.
  v.insert(storage, 0, v.elements(), v.length());
  EXPECT_EQ(v.length(), 22);
  EXPECT_EQ(v.get(11), 1);
  EXPECT_EQ(v.get(16), -5);
}

TEST(NVector, RemoveUsesTheHalfCapacityRule) {
  ArenaStorage storage;
  NVector<Int1> v(storage, 20);                 // capacity 24
  for (int i = 0; i < 20; ++i) v.set(i, Int1{{i}});
  const VMAddr block = v.dataAddr();
  v.remove(storage, 0, 6);                      // 13 left > 12: in place
  EXPECT_EQ(v.dataAddr(), block);
  EXPECT_EQ(v.get(0)[0], 7);
  v.remove(storage, 0);                         // 12 left: new block for 12
  EXPECT_NE(v.dataAddr(), block);
  EXPECT_EQ(v.capacity(), 14);
  EXPECT_EQ(v.get(0)[0], 8);
  EXPECT_EQ(v.get(11)[0], 19);
  EXPECT_RAISES(ERR_RANGE, v.remove(storage, 5, 12));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.remove(storage, 12));
  v.remove(storage, 0, -1);
  EXPECT_EQ(v.length(), 12);
  v.remove(storage, 0, 11);
  EXPECT_EQ(v.length(), 0);
  EXPECT_EQ(v.dataAddr(), 0u);
  EXPECT_EQ(v.capacity(), 0);
  v.append(storage, Int1{{1}});
  EXPECT_EQ(v.capacity(), 10);
}

TEST(NVector, StringElementsAreConstructedAndDestroyed) {
  ArenaStorage storage;
  NString kept = ns("shared");
  {
    NVector<NString> v(storage, 2);
    EXPECT_TRUE(v.get(0).isEmpty());
    v.set(0, kept);
    for (int i = 0; i < 12; ++i) v.insert(storage, 1, kept);
    EXPECT_EQ(kept.buffer()->refCount, 14u);
    v.remove(storage, 0, 9);
    EXPECT_EQ(kept.buffer()->refCount, 4u);   // three left in the vector
    v.insert(storage, 0, v.elements(), v.length());
    EXPECT_EQ(kept.buffer()->refCount, 7u);
    EXPECT_EQ(text(v.get(0)), "shared");
    EXPECT_TRUE(v.get(v.length() - 1).isEmpty());
  }
  EXPECT_EQ(kept.buffer()->refCount, 1u);
}
