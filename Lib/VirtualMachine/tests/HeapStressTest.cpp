// Seeded random allocate/free/collect sequences against a model of what
// must survive; the heap is verified after every step.
#include "HeapTestSupport.h"

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace {

class Stress : public HeapTest {
 protected:
  void SetUp() override {
    refFields.resize(1);
    refFields[0].append(1);
    refFields[0].append(2);
    HeapTest::SetUp();
  }

  TUint32 pick(TUint32 n) { return std::uniform_int_distribution<TUint32>(0, n - 1)(rng); }

  void born(VMAddr o) { live.insert(o); }

  VMAddr anyLive() {
    auto it = live.begin();
    std::advance(it, pick(TUint32(live.size())));
    return *it;
  }

  // Words of o that the collector follows, by its code.
  std::vector<TUint32> edges(VMAddr o) {
    const HeapEntry* e = he(o);
    if (e->gcCode == GC_CODE_REF_HOLDER) return {word(o, 0)};
    if (e->gcCode == GC_CODE_CLASS_OBJECT && e->usedSize >= 12 && word(o, 0) == 0) return {word(o, 1), word(o, 2)};
    return {};
  }

  std::set<VMAddr> reachable() {
    std::set<VMAddr> seen;
    std::vector<VMAddr> work(roots.begin(), roots.end());
    while (!work.empty()) {
      const VMAddr o = work.back();
      work.pop_back();
      if (!live.count(o) || !seen.insert(o).second) continue;
      for (TUint32 w : edges(o)) work.push_back(w);
    }
    return seen;
  }

  void allocateSome() {
    const TUint32 r = pick(10);
    if (r < 6) {
      const TUint32 code = r < 2 ? GC_CODE_LEAF : r < 4 ? GC_CODE_REF_HOLDER : GC_CODE_CLASS_OBJECT;
      const TUint32 size = pick(5) == 0 ? pick(3000) : pick(64);
      born(heap->allocate(code == GC_CODE_LEAF ? size : std::max<TUint32>(size, 12), 0, code));
    } else if (r < 8) {
      VMAddr a, b;
      heap->allocateTwo(pick(40), 0, GC_CODE_LEAF, 4, 0, GC_CODE_REF_HOLDER, a, b);
      word(b, 0) = a;
      born(a);
      born(b);
    } else if (r < 9) {
      VMAddr a, b, c;
      heap->allocateThree(pick(20), 0, GC_CODE_LEAF, 4, 0, GC_CODE_REF_HOLDER, 12, 0, GC_CODE_CLASS_OBJECT, a, b, c);
      born(a);
      born(b);
      born(c);
    } else {
      born(heap->allocate(60000 + pick(20000), 0, GC_CODE_LEAF));   // may need a new pool
    }
  }

  void link() {
    const VMAddr from = anyLive();
    const VMAddr to = pick(8) == 0 ? pick(100000) : anyLive();   // sometimes a plain integer
    const HeapEntry* e = he(from);
    if (e->gcCode == GC_CODE_REF_HOLDER) word(from, 0) = to;
    if (e->gcCode == GC_CODE_CLASS_OBJECT) word(from, 1 + pick(2)) = to;
  }

  void freeOne() {
    const VMAddr o = anyLive();
    while (std::find(roots.begin(), roots.end(), o) != roots.end()) {
      roots.erase(std::find(roots.begin(), roots.end(), o));
      heap->removeRoot(o);
    }
    heap->freeObject(o);
    live.erase(o);
    EXPECT_THROW(heap->freeObject(o), ErrorHandlingException);
  }

  void collect() {
    const std::set<VMAddr> expected = reachable();
    heap->collect();
    for (VMAddr o : live) EXPECT_EQ(heap->isLiveBlock(o), expected.count(o) == 1) << o;
    live = expected;
  }

  void step() {
    const TUint32 r = pick(100);
    if (live.empty() || r < 40) {
      allocateSome();
    } else if (r < 60) {
      link();
    } else if (r < 72) {
      freeOne();
    } else if (r < 82) {
      const VMAddr o = anyLive();
      roots.push_back(o);
      heap->addRoot(o);
    } else if (r < 90) {
      if (roots.empty()) return;
      const size_t i = pick(TUint32(roots.size()));
      heap->removeRoot(roots[i]);
      roots.erase(roots.begin() + TInt32(i));
    } else {
      collect();
    }
  }

  std::mt19937 rng;
  std::set<VMAddr> live;
  std::vector<VMAddr> roots;
};

}  // namespace

TEST_F(Stress, RandomSequencesKeepEveryInvariant) {
  for (TUint32 seed = 1; seed <= 4; ++seed) {
    rng.seed(seed);
    for (int i = 0; i < 1500 && !HasFailure(); ++i) {
      step();
      heap->verify();
      ASSERT_EQ(heap->nOfEntries(), TInt32(live.size())) << "seed " << seed << " step " << i;
    }
    collect();
    for (VMAddr o : roots) heap->removeRoot(o);
    roots.clear();
    collect();
    ASSERT_EQ(heap->nOfEntries(), 0);
    heap->verify();
  }
}
