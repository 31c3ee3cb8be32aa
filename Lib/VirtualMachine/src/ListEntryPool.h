#pragma once
// Node allocator for the heap's lists: blocks of 256 nodes, so filing and
// unfiling a free block never calls the system allocator per node.
#include "Errors.h"
#include "Types.h"
#include "Vec.h"

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
    for (TInt32 b = 0; b < iBlocks.size(); ++b) {
      delete[] iBlocks[b];
      delete[] iInUse[b];
    }
  }

  ListEntry<T>* acquire() {
    if (iFree.isEmpty()) addBlock();
    const TInt32 index = iFree.last();
    iFree.removeLast();
    iInUse[index >> kShift][index & kMask] = 1;
    ++iUsed;
    ListEntry<T>* node = &iBlocks[index >> kShift][index & kMask];
    node->poolIndex = index;
    node->previous = node->next = nullptr;
    node->value = T();
    return node;
  }

  void release(ListEntry<T>* node) {
    const TInt32 index = node->poolIndex;
    VM_ASSERT(inUse(index) && node == &iBlocks[index >> kShift][index & kMask]);
    iInUse[index >> kShift][index & kMask] = 0;
    --iUsed;
    iFree.append(index);
  }

  // The node at an index, or null when the index names no node in use.
  ListEntry<T>* lookup(TInt32 index) const {
    if (!inUse(index)) return nullptr;
    return &iBlocks[index >> kShift][index & kMask];
  }

  bool inUse(TInt32 index) const {
    if (index < 0 || (index >> kShift) >= iBlocks.size()) return false;
    return iInUse[index >> kShift][index & kMask] != 0;
  }

  TInt32 usedNodes() const { return iUsed; }

 private:
  void addBlock() {
    const TInt32 block = iBlocks.size();
    iBlocks.append(new ListEntry<T>[kBlockNodes]());
    iInUse.append(new TUint8[kBlockNodes]());
    // Pushed in reverse so nodes are handed out in address order.
    for (TInt32 i = kBlockNodes - 1; i >= 0; --i) iFree.append((block << kShift) | i);
  }

  Vec<ListEntry<T>*> iBlocks;
  Vec<TUint8*> iInUse;
  Vec<TInt32> iFree;   // free indices of every block, used as a stack
  TInt32 iUsed = 0;
};
