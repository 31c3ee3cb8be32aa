#pragma once
// Node allocator for the heap's lists: blocks of 256 nodes, so filing and
// unfiling a free block never calls the system allocator per node. On the
// allocation path: acquire and release are a few loads and stores each.
#include "Errors.h"
#include "Types.h"

#include <vector>

template <typename T>
struct ListEntry {
  TInt32 poolIndex;   // block << 8 | position; -1 for nodes made with plain new
  ListEntry* previous;
  T value;
  ListEntry* next;
};

template <typename T>
class ListEntryPool {
 public:
  static constexpr TInt32 kShift = 8;
  static constexpr TInt32 kBlockNodes = 1 << kShift;
  static constexpr TInt32 kMask = kBlockNodes - 1;

  ListEntryPool() = default;
  ListEntryPool(const ListEntryPool&) = delete;
  ListEntryPool& operator=(const ListEntryPool&) = delete;
  ~ListEntryPool() {
    for (Block* b : iBlocks) delete b;
  }

  // previous, value and next are the caller's to set.
  ListEntry<T>* acquire() {
    if (iFreeTop == 0) addBlock();
    const TInt32 index = iFree[--iFreeTop];
    Block* block = iBlocks[index >> kShift];
    block->inUse[index & kMask] = 1;
    ListEntry<T>* node = &block->nodes[index & kMask];
    node->poolIndex = index;
    return node;
  }

  void release(ListEntry<T>* node) {
    const TInt32 index = node->poolIndex;
    VM_ASSERT(lookup(index) == node);
    iBlocks[index >> kShift]->inUse[index & kMask] = 0;
    iFree[iFreeTop++] = index;
  }

  // The node at an index, or null when the index names no node in use.
  ListEntry<T>* lookup(TInt32 index) const {
    if (index < 0 || size_t(index >> kShift) >= iBlocks.size()) return nullptr;
    Block* block = iBlocks[index >> kShift];
    return block->inUse[index & kMask] ? &block->nodes[index & kMask] : nullptr;
  }

  bool inUse(TInt32 index) const { return lookup(index) != nullptr; }
  TInt32 usedNodes() const { return static_cast<TInt32>(iFree.size() - iFreeTop); }

 private:
  // One allocation per 256 nodes: the nodes and their in-use flags.
  struct Block {
    ListEntry<T> nodes[kBlockNodes] = {};
    TUint8 inUse[kBlockNodes] = {};
  };

  void addBlock() {
    const TInt32 block = static_cast<TInt32>(iBlocks.size());
    iBlocks.push_back(new Block());
    // Room for every index of every block, so release never grows the stack.
    iFree.resize(iBlocks.size() * kBlockNodes);
    // Pushed in reverse so nodes are handed out in address order.
    for (TInt32 i = kBlockNodes - 1; i >= 0; --i) iFree[iFreeTop++] = (block << kShift) | i;
  }

  std::vector<Block*> iBlocks;
  std::vector<TInt32> iFree;   // free indices of every block, used as a stack
  size_t iFreeTop = 0;
};
