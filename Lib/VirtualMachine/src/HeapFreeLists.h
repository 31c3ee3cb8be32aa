#pragma once
// The heap's 32 free lists: oldest block at the head, new blocks appended at
// the tail. Nodes live in one array and are named by index (a ticket), so
// filing, unfiling and the identity check of a ticket read from a header
// are a few loads and stores without branches on the list ends: each list
// is a ring through its own sentinel node.
#include "Types.h"

#include <vector>

class HeapFreeLists {
 public:
  static constexpr TInt32 kLists = 32;

  HeapFreeLists() : iNodes(kFirstNode + kGrowth) {
    for (TUint32 k = 0; k < kLists; ++k) iNodes[sentinel(k)] = Node{0, sentinel(k), sentinel(k), 0};
    chainSpare(kFirstNode);
  }

  // Files header at the tail of list k; the ticket is never 0.
  TUint32 append(TInt32 k, VMAddr header) {
    if (!iSpare) grow();
    const TUint32 t = iSpare, s = sentinel(k);
    Node* nodes = iNodes.data();
    iSpare = nodes[t].next;
    const TUint32 last = nodes[s].previous;
    nodes[t] = Node{header, last, s, 0};
    nodes[last].next = t;
    nodes[s].previous = t;
    iNonEmpty |= 1u << k;
    return t;
  }

  // Whether ticket t is a node in use that files header. Tickets come from
  // headers, so they are checked before use.
  bool holds(TUint32 t, VMAddr header) const { return t < iNodes.size() && header && iNodes[t].value == header; }

  // Unfiles ticket t from list k (t must hold a block of list k).
  void remove(TInt32 k, TUint32 t) {
    Node* nodes = iNodes.data();
    const Node n = nodes[t];
    nodes[n.previous].next = n.next;
    nodes[n.next].previous = n.previous;
    if (nodes[sentinel(k)].next == sentinel(k)) iNonEmpty &= ~(1u << k);
    nodes[t] = Node{0, 0, iSpare, 0};
    iSpare = t;
  }

  TUint32 nonEmpty() const { return iNonEmpty; }
  // The oldest ticket of list k, 0 when it is empty; then next() up to 0.
  TUint32 head(TInt32 k) const { return endToZero(k, iNodes[sentinel(k)].next); }
  TUint32 next(TInt32 k, TUint32 t) const { return endToZero(k, iNodes[t].next); }
  VMAddr value(TUint32 t) const { return iNodes[t].value; }
  TInt32 count(TInt32 k) const {
    TInt32 n = 0;
    for (TUint32 t = head(k); t; t = next(k, t)) ++n;
    return n;
  }
  TInt32 usedNodes() const {
    TInt32 spare = 0;
    for (TUint32 t = iSpare; t; t = iNodes[t].next) ++spare;
    return TInt32(iNodes.size() - kFirstNode) - spare;
  }

 private:
  struct Node {
    VMAddr value;   // the free block's header; 0 for sentinels and spare nodes
    TUint32 previous;
    TUint32 next;
    TUint32 unused;   // 16 bytes: an index scales by a shift
  };
  static constexpr TUint32 kFirstNode = 1 + kLists;   // 0 is never a ticket
  static constexpr TUint32 kGrowth = 256;

  static TUint32 sentinel(TUint32 k) { return 1 + k; }
  static TUint32 endToZero(TInt32 k, TUint32 t) { return t == sentinel(k) ? 0 : t; }

  void chainSpare(TUint32 from) {
    // Spare nodes are handed out in index order.
    for (TUint32 t = TUint32(iNodes.size()); t-- > from;) iNodes[t] = Node{0, 0, iSpare, 0}, iSpare = t;
  }
  void grow() {
    const TUint32 from = TUint32(iNodes.size());
    iNodes.resize(from * 2);
    chainSpare(from);
  }

  std::vector<Node> iNodes;
  TUint32 iSpare = 0;      // first spare node, chained through next
  TUint32 iNonEmpty = 0;   // bit k: list k has a node
};
