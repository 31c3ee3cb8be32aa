#pragma once
// Shared fixture for the heap tests: a heap over empty class tables that
// the test can fill, checked with verify() when each test ends.

#include "Errors.h"

#include "Heap.h"

#include <gtest/gtest.h>
#include <memory>
#include <new>

// Runs body, expects a raise of the given code and returns the message.
template <typename F>
QString expectRaise(TInt32 code, F body) {
  clearError();
  bool raised = false;
  try {
    body();
  } catch (const ErrorHandlingException&) {
    raised = true;
  }
  EXPECT_TRUE(raised) << "no raise";
  EXPECT_EQ(currentErrorCode(), code) << currentErrorText().toStdString();
  return currentErrorText();
}

GCOBJECT_PACK_BEGIN
// A native object that counts its destruction and can hold one reference.
class Probe : public GCObject {
 public:
  Probe(int* deaths, VMAddr ref = 0, int content = 0) : iDeaths(deaths), iRef(ref), iContent(content) {}
  ~Probe() override { ++*iDeaths; }
  void addReferences(Vec<int>& out) override {
    if (iRef) out.append(static_cast<int>(iRef));
  }
  int getContentSize() const override { return iContent; }
  int* iDeaths;
  VMAddr iRef;
  int iContent;
};
GCOBJECT_PACK_END

class HeapTest : public ::testing::Test {
 protected:
  void SetUp() override { heap.reset(new VMHeap(nullptr, VMHeap::kDefaultPoolSize, refFields, vecFields, vecFlags)); }
  void TearDown() override {
    if (heap) heap->verify();
    heap.reset();
  }

  HeapEntry* he(VMAddr object) { return heapEntry(object - kHeaderSize); }
  TUint32& word(VMAddr object, TUint32 index) { return heapWord(object + 4 * index); }
  VMAddr cell(VMAddr target, TUint32 gcCode = GC_CODE_REF_HOLDER) {
    const VMAddr c = heap->allocateWords(1, gcCode);
    word(c, 0) = target;
    return c;
  }
  VMAddr probe(int* deaths, VMAddr ref = 0, TUint32 gcCode = GC_CODE_LEAF, int content = 0) {
    const VMAddr o = heap->allocate(sizeof(Probe), -1, gcCode);
    new (vmPtr(o)) Probe(deaths, ref, content);
    return o;
  }
  // An NVector-shaped block (plain data, so no table needed) with `count`
  // elements in a fresh buffer of `capacity` words.
  VMAddr vector(TInt32 count, TInt32 capacity) {
    const VMAddr v = heap->allocate(kNVectorSize, 0, GC_CODE_VECTOR);
    if (capacity > 0) heapWord(v + kNVectorDataOffset) = heap->allocateWords(capacity, GC_CODE_LEAF);
    heapWord(v + kNVectorDataOffset + 4) = static_cast<TUint32>(capacity);
    heapWord(v + kNVectorCountOffset) = static_cast<TUint32>(count);
    return v;
  }
  VMAddr data(VMAddr vec) { return heapWord(vec + kNVectorDataOffset); }

  Vec<Vec<int>> refFields;
  Vec<Vec<int>> vecFields;
  Vec<Vec<char>> vecFlags;
  int deaths = 0;   // Probe destructors run until the heap is gone
  std::unique_ptr<VMHeap> heap;
};
