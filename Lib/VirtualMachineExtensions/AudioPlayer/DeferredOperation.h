#pragma once
// A player operation waiting for the server connection. Its player object
// is a heap root while it waits, so the collector cannot free it first.
#include "Heap.h"
#include "Types.h"

class Player;

class DeferredOperation {
 public:
  typedef void (Player::*Member)();

  DeferredOperation(VMHeap& heap, VMAddr object, Player& player, Member member)
      : iHeap(heap), iObject(object), iPlayer(player), iMember(member) {
    iHeap.addRoot(iObject);
  }
  virtual ~DeferredOperation() { iHeap.removeRoot(iObject); }
  DeferredOperation(const DeferredOperation&) = delete;
  DeferredOperation& operator=(const DeferredOperation&) = delete;

  void run() { (iPlayer.*iMember)(); }
  const Player* player() const { return &iPlayer; }

 private:
  VMHeap& iHeap;
  VMAddr iObject;
  Player& iPlayer;
  Member iMember;
};
