#include "TestSupport.h"
#include "Vec.h"

#include <cstdlib>

TEST(Vec, GrowthRuleOnAppend) {
  Vec<int> v;
  v.append(1);
  EXPECT_EQ(v.capacity(), 8);               // (0 * 5) / 4 + 8
  for (int i = 2; i <= 9; ++i) v.append(i);
  EXPECT_EQ(v.capacity(), 18);              // (8 * 5) / 4 + 8
  EXPECT_EQ(v.size(), 9);
  EXPECT_EQ(v[8], 9);
}

TEST(Vec, CapacityAndIndexErrors) {
  Vec<int> v(3);
  EXPECT_EQ(v.capacity(), 3);
  Vec<int> one(0);
  EXPECT_EQ(one.capacity(), 1);             // n < 1 is taken as 1
  v.append(7);
  v.append(8);
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, v.setCapacity(1));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.at(2));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.at(-1));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.insert(3, 0));
  EXPECT_RAISES(ERR_INDEX_OUT_OF_BOUNDS, v.remove(2));
  v.insert(0, 6);
  v.insert(3, 9);
  v.remove(1);
  ASSERT_EQ(v.size(), 3);
  EXPECT_EQ(v[0], 6);
  EXPECT_EQ(v[1], 8);
  EXPECT_EQ(v[2], 9);
}

TEST(Vec, AppendingOwnElementWhileGrowing) {
  Vec<NString> v;
  v.append(ns("first"));
  for (int i = 0; i < 20; ++i) v.append(v[0]);
  v.insert(0, v[v.size() - 1]);
  EXPECT_EQ(text(v[20]), "first");
  EXPECT_EQ(text(v[0]), "first");
}

namespace {
class CountingAllocator : public MVecAllocator {
 public:
  void* allocate(TInt32 bytes) override {
    ++live;
    return std::calloc(1, static_cast<size_t>(bytes));
  }
  void free(void* p, TBool) override {
    --live;
    std::free(p);
  }
  int live = 0;
};
}  // namespace

TEST(Vec, AllocatorProvidesAndTakesBackStorage) {
  CountingAllocator allocator;
  {
    Vec<NString> v;
    v.setAllocator(&allocator);
    for (int i = 0; i < 30; ++i) v.append(NString::number(TInt32(i)));
    EXPECT_EQ(allocator.live, 1);
    EXPECT_EQ(text(v[29]), "29");
  }
  EXPECT_EQ(allocator.live, 0);
}
