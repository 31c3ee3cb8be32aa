// The collector's slot stack scan: conservative and precise frames.
#include "HeapTestSupport.h"
#include "StackScan.h"

#include <vector>

namespace {

struct TestFrameMap {
  TInt32 paramSlots = 0, resultSlots = 0, localSlots = 0;
  std::vector<int> paramRefs, paramVectors, localRefs, localVectors;
  std::vector<char> paramVectorFlags, localVectorFlags;
};

class TestMaps : public MFrameMapSource {
 public:
  FrameGCMap frameMap(TInt32 record) const override {
    const TestFrameMap& m = maps.at(record);
    FrameGCMap g;
    g.paramSlots = m.paramSlots;
    g.resultSlots = m.resultSlots;
    g.localSlots = m.localSlots;
    g.paramRefSlots = {m.paramRefs.data(), nullptr, TInt32(m.paramRefs.size())};
    g.paramVectorSlots = {m.paramVectors.data(), m.paramVectorFlags.data(), TInt32(m.paramVectors.size())};
    g.localRefSlots = {m.localRefs.data(), nullptr, TInt32(m.localRefs.size())};
    g.localVectorSlots = {m.localVectors.data(), m.localVectorFlags.data(), TInt32(m.localVectors.size())};
    return g;
  }
  Vec<TestFrameMap> maps;
};

class StackScanTest : public HeapTest {
 protected:
  void SetUp() override {
    HeapTest::SetUp();
    slots = vmPtrAs<TUint32>(VMArena::commit(15256 * 4));
    view.slots = slots;
    view.frameRecords = &records;
    view.frameBases = &bases;
  }
  VMAddr leaf() { return heap->allocateWords(1, GC_CODE_LEAF); }

  TUint32* slots = nullptr;
  SlotStackView view;
  Vec<int> records, bases;
  TestMaps maps;
};

}  // namespace

TEST_F(StackScanTest, WithoutFramesEverySlotUpToTheTopIsConservative) {
  const VMAddr a = leaf(), b = heap->allocateWords(4, GC_CODE_LEAF), c = leaf();
  slots[0] = a;
  slots[1] = b + 8;   // address of a field
  slots[2] = 12345;
  slots[3] = c;       // above the top
  view.top = 2;
  collectGarbage(*heap, view, maps);
  EXPECT_TRUE(heap->isLiveBlock(a));
  EXPECT_TRUE(heap->isLiveBlock(b));
  EXPECT_FALSE(heap->isLiveBlock(c));
}

TEST_F(StackScanTest, FramesWithMapsAreReadPrecisely) {
  TestFrameMap m;
  m.resultSlots = 1;
  m.paramSlots = 2;
  m.localSlots = 4;
  m.paramRefs = {1};
  m.paramVectors = {2};
  m.paramVectorFlags = {char(0xFF)};
  m.localRefs = {4, 5};
  m.localVectors = {6};
  m.localVectorFlags = {0};
  maps.maps.append(m);
  records.append(0);
  bases.append(1);

  const VMAddr below = leaf(), result = leaf(), param = leaf(), retSlot = leaf(), local = leaf(), temp = leaf();
  const VMAddr byRefVector = vector(1, 4);
  const VMAddr byRefElement = leaf();
  heapWord(data(byRefVector)) = byRefElement;
  const VMAddr vectorValue = heap->allocateWords(2, GC_CODE_LEAF);   // the caller's two-word vector value
  heap->addRoot(vectorValue);
  heapWord(vectorValue) = byRefVector;
  const VMAddr frameVector = vector(2, 4);

  slots[0] = below;             // before the frame: conservative
  slots[1] = result;            // result slot, not in the map
  slots[2] = param;             // parameter reference
  slots[3] = vectorValue;       // parameter vector: address of a vector value
  slots[4] = retSlot;           // return address slot
  slots[5] = local;             // local reference
  slots[6] = 77;                // local reference holding an integer
  slots[7] = frameVector;       // local vector value, two slots
  slots[8] = 4;
  slots[9] = temp;              // temporaries after the locals: conservative
  view.top = 9;
  collectGarbage(*heap, view, maps);
  EXPECT_TRUE(heap->isLiveBlock(below));
  EXPECT_FALSE(heap->isLiveBlock(result));
  EXPECT_TRUE(heap->isLiveBlock(param));
  EXPECT_FALSE(heap->isLiveBlock(retSlot));
  EXPECT_TRUE(heap->isLiveBlock(local));
  EXPECT_TRUE(heap->isLiveBlock(temp));
  EXPECT_TRUE(heap->isLiveBlock(byRefVector));
  EXPECT_TRUE(heap->isLiveBlock(byRefElement));
  EXPECT_TRUE(heap->isLiveBlock(frameVector));
  EXPECT_TRUE(heap->isLiveBlock(data(frameVector)));
}

TEST_F(StackScanTest, SlotsBeyondTheTopAndStackAddressesAreNotFollowed) {
  TestFrameMap m;
  m.paramSlots = 1;
  m.localSlots = 3;
  m.paramRefs = {0};
  m.localRefs = {2, 3};
  m.localVectors = {3};
  m.localVectorFlags = {char(0xFF)};
  maps.maps.append(m);
  records.append(0);
  bases.append(0);
  const VMAddr hidden = leaf();
  slots[0] = vmAddr(slots + 4);   // a by-reference parameter naming a stack slot
  slots[4] = 0;
  slots[5] = hidden;              // local beyond the top
  view.top = 4;
  collectGarbage(*heap, view, maps);
  EXPECT_FALSE(heap->isLiveBlock(hidden));
}

TEST_F(StackScanTest, FramesWithoutRecordAreScannedConservatively) {
  records.append(-1);
  bases.append(0);
  const VMAddr a = leaf();
  slots[1] = a;
  view.top = 1;
  collectGarbage(*heap, view, maps);
  EXPECT_TRUE(heap->isLiveBlock(a));
}

TEST_F(StackScanTest, AnUnknownRecordRaisesAndLeavesNoMarks) {
  const VMAddr a = leaf();
  slots[0] = a;
  records.append(0);
  bases.append(2);
  view.top = 3;
  expectRaise(ERR_INDEX_OUT_OF_BOUNDS, [&] { collectGarbage(*heap, view, maps); });
  heap->verify();
  EXPECT_TRUE(heap->isLiveBlock(a));
}
