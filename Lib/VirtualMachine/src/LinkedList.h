#pragma once
// Doubly linked list whose nodes come from a ListEntryPool, or from plain
// new and delete when it has no allocator.
#include "ListEntryPool.h"

template <typename T>
class LinkedListIterator {
 public:
  LinkedListIterator() = default;
  explicit LinkedListIterator(ListEntry<T>* entry) : iEntry(entry) {}
  ListEntry<T>* entry() const { return iEntry; }
  bool operator==(const LinkedListIterator& o) const { return iEntry == o.iEntry; }
  bool operator!=(const LinkedListIterator& o) const { return iEntry != o.iEntry; }

 private:
  ListEntry<T>* iEntry = nullptr;
};

template <typename T>
class LinkedList {
 public:
  explicit LinkedList(ListEntryPool<T>* allocator = nullptr) : iAllocator(allocator) {}
  LinkedList(const LinkedList&) = delete;
  LinkedList& operator=(const LinkedList&) = delete;
  ~LinkedList() { clear(); }

  LinkedListIterator<T> append(const T& value) {
    ListEntry<T>* node = newNode();
    node->value = value;
    node->previous = iTail;
    node->next = nullptr;
    if (iTail) iTail->next = node; else iHead = node;
    iTail = node;
    ++iCount;
    return LinkedListIterator<T>(node);
  }

  void remove(LinkedListIterator<T> it) {
    ListEntry<T>* node = it.entry();
    VM_ASSERT(node);
    if (node->previous) node->previous->next = node->next; else iHead = node->next;
    if (node->next) node->next->previous = node->previous; else iTail = node->previous;
    --iCount;
    deleteNode(node);
  }

  void clear() {
    while (iHead) remove(LinkedListIterator<T>(iHead));
  }

  ListEntry<T>* head() const { return iHead; }
  ListEntry<T>* tail() const { return iTail; }
  TInt32 count() const { return iCount; }
  bool isEmpty() const { return iCount == 0; }

 private:
  ListEntry<T>* newNode() {
    if (iAllocator) return iAllocator->acquire();
    ListEntry<T>* node = new ListEntry<T>();
    node->poolIndex = -1;
    return node;
  }
  void deleteNode(ListEntry<T>* node) {
    if (iAllocator) iAllocator->release(node); else delete node;
  }

  ListEntryPool<T>* iAllocator;
  TInt32 iCount = 0;
  ListEntry<T>* iHead = nullptr;
  ListEntry<T>* iTail = nullptr;
};
