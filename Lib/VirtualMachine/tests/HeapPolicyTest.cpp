// The block every request gets is fixed by the free-list rules: a model
// that follows them with plain containers replays seeded sequences, and the
// heap must hand out the very block the model picks, coalesce the same way,
// and find the block holding any address afterwards.
#include "HeapTestSupport.h"

#include <array>
#include <list>
#include <map>
#include <random>
#include <vector>

namespace {

class PolicyModel {
 public:
  PolicyModel(VMAddr entry, TUint32 capacity) { file(entry, capacity); }

  // The header the rules choose for size bytes, split as they say; 0 when
  // no free block fits.
  VMAddr allocate(TUint32 size) {
    size = (size + 3) & ~3u;
    const TInt32 c = VMHeap::freeListIndex(size);
    VMAddr h = 0;
    for (TInt32 k = c + 1; k < 32 && !h; ++k)
      if (!lists[k].empty()) h = lists[k].front();
    if (!h) {
      for (VMAddr candidate : lists[c])
        if (blocks[candidate].size >= size) {
          h = candidate;
          break;
        }
    }
    if (!h) return 0;
    unfile(h);
    Block& b = blocks[h];
    if (b.size - size > kBlockOverhead) {
      file(h + kBlockOverhead + size, b.size - size - kBlockOverhead);
      b.size = size;
    }
    return h;
  }

  void free(VMAddr h) {
    auto it = blocks.find(h);
    ASSERT_NE(it, blocks.end());
    auto next = std::next(it);
    if (next != blocks.end() && next->second.free && next->first == h + it->second.size + kBlockOverhead) {
      unfile(next->first);
      it->second.size += next->second.size + kBlockOverhead;
      blocks.erase(next);
    }
    if (it != blocks.begin()) {
      auto previous = std::prev(it);
      if (previous->second.free && previous->first + previous->second.size + kBlockOverhead == h) {
        unfile(previous->first);
        previous->second.size += it->second.size + kBlockOverhead;
        blocks.erase(it);
        it = previous;
      }
    }
    file(it->first, it->second.size);
  }

  // The block holding address a, or 0.
  VMAddr holder(VMAddr a) const {
    auto it = blocks.upper_bound(a);
    if (it == blocks.begin()) return 0;
    --it;
    return a < it->first + it->second.size + kBlockOverhead ? it->first : 0;
  }

  TInt64 freeSpace() const {
    TInt64 n = 0;
    for (const auto& b : blocks) n += b.second.free ? b.second.size : 0;
    return n;
  }

 private:
  struct Block {
    TUint32 size;
    bool free;
  };

  void file(VMAddr h, TUint32 size) {
    blocks[h] = Block{size, true};
    lists[VMHeap::freeListIndex(size)].push_back(h);
  }
  void unfile(VMAddr h) {
    Block& b = blocks[h];
    lists[VMHeap::freeListIndex(b.size)].remove(h);
    b.free = false;
  }

  std::map<VMAddr, Block> blocks;   // one pool's blocks between its terminators
  std::array<std::list<VMAddr>, 32> lists;
};

TEST_F(HeapTest, EveryRequestGetsTheBlockTheRulesChoose) {
  for (unsigned seed : {1u, 2u, 3u}) {
    heap.reset(new VMHeap(nullptr, VMHeap::kDefaultPoolSize, refFields, vecFields, vecFlags));
    const VMAddr start = heap->poolStart(0) + kBlockOverhead;
    ASSERT_EQ(heapEntry(start)->size, heap->poolBytes(0) - kPoolOverhead);
    PolicyModel model(start, heap->poolBytes(0) - kPoolOverhead);
    std::mt19937 rng(seed);
    std::vector<VMAddr> live;
    for (int step = 0; step < 3000; ++step) {
      if (live.size() < 200 && (live.empty() || rng() % 2)) {
        const TUint32 size = rng() % 4 == 0 ? rng() % 400 : rng() % 40;
        const VMAddr expected = model.allocate(size);
        ASSERT_NE(expected, 0u) << "sequence outgrew one pool";
        ASSERT_EQ(heap->allocate(size, 0, GC_CODE_LEAF), expected + kHeaderSize) << "seed " << seed << " step " << step;
        live.push_back(expected + kHeaderSize);
      } else {
        const size_t i = rng() % live.size();
        heap->freeObject(live[i]);
        model.free(live[i] - kHeaderSize);
        live[i] = live.back();
        live.pop_back();
      }
      ASSERT_EQ(heap->memUsage().freeSpace, model.freeSpace()) << "seed " << seed << " step " << step;
      if (step % 100 == 0) {
        heap->verify();
        for (int probe = 0; probe < 50; ++probe) {
          const VMAddr a = start + rng() % (heap->poolBytes(0) - kPoolOverhead);
          ASSERT_EQ(heap->belongsToPools(a), model.holder(a)) << "address " << a;
        }
      }
    }
  }
}

}  // namespace
