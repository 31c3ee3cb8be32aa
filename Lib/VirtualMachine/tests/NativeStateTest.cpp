// Vector, System, Encoder, Screen and Graphics natives against a real
// machine state: the block and capacity rules, the cells that keep element
// blocks alive, the application-object and screen-listener roots, which
// bytecode cannot observe directly, and a font kind no native makes.
#include "CAppsFont.h"
#include "DrawHandle.h"
#include "Errors.h"
#include "GraphicsContainer.h"
#include "HeapEntry.h"
#include "Interpreter.h"
#include "NString.h"
#include "NativeHelpers.h"
#include "NativeTestSupport.h"
#include "TestHost.h"
#include "VMState.h"
#include "VectorStore.h"

#include <gtest/gtest.h>
#include <QString>
#include <memory>
#include <new>
#include <string>

namespace {

template <typename F> QString raised(TInt32 code, F body) {
  clearError();
  bool thrown = false;
  try {
    body();
  } catch (const ErrorHandlingException&) {
    thrown = true;
  }
  EXPECT_TRUE(thrown) << "no raise";
  EXPECT_EQ(currentErrorCode(), code) << currentErrorText().toStdString();
  return currentErrorText();
}


class NativeStateTest : public NativeGroupTest {
 protected:

  // A rooted vector cell (a two-word vector value) holding an empty vector.
  VMAddr vectorValue(TInt32 elementSize, bool references = false) {
    const VMAddr cell = heap().allocate(8, 0, references ? GC_CODE_REF_VECTOR_HOLDER : GC_CODE_VECTOR_HOLDER);
    native::store(cell, Interpreter::newVector(heap(), elementSize));
    native::store(cell + 4, static_cast<TUint32>(elementSize));
    heap().addRoot(cell);
    return cell;
  }
  vectors::VectorStore store(VMAddr value, TInt32 elementSize = 4) {
    return vectors::VectorStore(native::load(value), elementSize);
  }
  // Group 3 operations on int vectors.
  template <typename Op> void intOp(Op op) { run("IntVector", op); }
  VMAddr intVector(std::initializer_list<TInt32> values) {
    const VMAddr v = vectorValue(4);
    for (TInt32 x : values) {
      push(v);
      push(static_cast<TUint32>(x));
      intOp("appendElement");
    }
    return v;
  }
  TInt32 element(VMAddr value, TInt32 i) { return static_cast<TInt32>(native::load(store(value).addressOf(i))); }

  FixedHost host;
};

}  // namespace

TEST_F(NativeStateTest, FillFollowsTheCapacityRule) {
  const VMAddr v = vectorValue(4);
  for (auto [n, capacity] : {std::pair<TInt32, TInt32>{9, 10}, {8, 10}, {100, 120}, {0, 0}}) {
    push(v);
    push(42);
    push(static_cast<TUint32>(n));
    intOp("fill");
    EXPECT_EQ(state->sp, -1);
    EXPECT_EQ(store(v).count(), n);
    EXPECT_EQ(store(v).capacity(), capacity) << n;
  }
  push(v);
  push(1);
  push(static_cast<TUint32>(-1));
  raised(ERR_INVALID_ARGUMENT, [&] { intOp("fill"); });
}

TEST_F(NativeStateTest, EmptiedVectorGrowsAFreshBlock) {
  const VMAddr v = intVector({1, 2, 3});
  push(v);
  intOp("clear");
  EXPECT_EQ(store(v).data(), 0u);
  push(v);
  intOp("isEmpty");
  EXPECT_EQ(top(), 1u);
  state->sp = -1;
  // The collector drops an empty vector's block; growth must not reuse it.
  heap().collect();
  push(v);
  push(9);
  intOp("appendElement");
  EXPECT_EQ(store(v).capacity(), 10);
  EXPECT_TRUE(heap().isLiveBlock(store(v).data()));
  EXPECT_EQ(element(v, 0), 9);
}

TEST_F(NativeStateTest, DropAllReleasesTheBlockAndTooManyRaises) {
  const VMAddr v = intVector({1, 2, 3, 4});
  push(v);
  push(5);
  raised(ERR_INVALID_ARGUMENT, [&] { intOp("dropFirst"); });
  state->sp = -1;
  push(v);
  push(0);
  intOp("dropLast");
  EXPECT_EQ(store(v).count(), 4);
  push(v);
  push(4);
  intOp("dropFirst");
  EXPECT_EQ(store(v).count(), 0);
  EXPECT_EQ(store(v).data(), 0u);
}

TEST_F(NativeStateTest, RemovalReallocatesAtHalfCapacity) {
  const VMAddr v = vectorValue(4);
  push(v);
  push(1);
  push(20);
  intOp("fill");   // 20 elements, capacity 24
  const VMAddr before = store(v).addressOf(0);
  push(v);
  push(0);
  push(1);
  intOp("removeRange");   // 19 left > 12: in place
  EXPECT_EQ(store(v).addressOf(0), before);
  push(v);
  push(0);
  push(7);
  intOp("removeRange");   // 12 left <= 12: a block for 12
  EXPECT_NE(store(v).addressOf(0), before);
  EXPECT_EQ(store(v).capacity(), 14);
  EXPECT_EQ(store(v).count(), 12);
}

TEST_F(NativeStateTest, GetLeavesTheVectorBelowOnPrimitiveGroupsOnly) {
  const VMAddr v = intVector({5, 6, 7});
  push(v);
  push(1);
  intOp("get");
  EXPECT_EQ(state->sp, 1);
  EXPECT_EQ(top(1), v);
  EXPECT_EQ(top(), 6u);
  state->sp = -1;
  push(v);
  push(1);
  run("RefVector", "get");
  EXPECT_EQ(state->sp, 0);
  EXPECT_EQ(top(), 6u);
  state->sp = -1;
  push(v);
  push(3);
  raised(ERR_INDEX_OUT_OF_BOUNDS, [&] { intOp("get"); });
  EXPECT_EQ(state->sp, 1);   // an exception leaves sp where it was
}

TEST_F(NativeStateTest, ByteElementsAreSignExtended) {
  const VMAddr v = vectorValue(1);
  push(v);
  push(200);
  run("ByteVector", "appendElement");
  push(v);
  run("ByteVector", "first");
  EXPECT_EQ(static_cast<TInt32>(top()), -56);
}

TEST_F(NativeStateTest, ReservedAndUnknownOperations) {
  const VMAddr v = intVector({1});
  push(v);
  push(0);
  EXPECT_EQ(raised(ERR_RUNTIME, [&] { intOp("elementAddress"); }), "RuntimeException: Reserved native operation");
  push(v);
  push(0);
  run("RefVector", "elementAddress");
  EXPECT_EQ(top(), store(v).addressOf(0));
  raised(ERR_RUNTIME, [&] { intOp("reserved1"); });
  EXPECT_EQ(raised(ERR_VM, [&] { intOp(30); }), "VMException: Vector: 30");
  EXPECT_EQ(raised(ERR_VM, [&] { intOp(0); }), "VMException: Vector: 0");
}

TEST_F(NativeStateTest, CheckedReplaceInsertsOnCountZero) {
  const VMAddr v = intVector({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  const VMAddr other = intVector({70, 71});
  push(v);
  push(2);
  push(0);
  push(other);
  intOp("checkedReplace");
  EXPECT_EQ(store(v).count(), 12);
  EXPECT_EQ(element(v, 2), 70);
  EXPECT_EQ(element(v, 4), 2);
  const VMAddr ten = intVector({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  push(ten);
  push(8);
  push(3);
  push(other);
  EXPECT_EQ(raised(ERR_RANGE, [&] { intOp("checkedReplace"); }), "RangeException: Invalid Range, range out of bounds: 11 > 10");
}

TEST_F(NativeStateTest, NewVectorCellsKeepTheirBlocksAcrossCollections) {
  const VMAddr v = intVector({1, 2, 3, 4});
  push(v);
  push(1);
  push(static_cast<TUint32>(-1));
  intOp("checkedCopy");
  const VMAddr cell = top();
  EXPECT_EQ(heapEntry(cell - kHeaderSize)->gcCode, static_cast<TUint32>(GC_CODE_VECTOR_HOLDER));
  heap().addRoot(cell);
  state->sp = -1;
  heap().collect();
  EXPECT_TRUE(heap().isLiveBlock(store(cell).data()));
  EXPECT_EQ(element(cell, 0), 2);
  EXPECT_EQ(element(cell, 2), 4);
  // 84: b's range then a's range.
  // b = [2, 3, 4]: its range (1, 2) is [3, 4]; a's range (0, 1) is [1].
  push(v);
  push(1);
  push(2);
  push(cell);
  push(0);
  push(1);
  run("RefVector", "joinRanges");
  EXPECT_EQ(heapEntry(top() - kHeaderSize)->gcCode, static_cast<TUint32>(GC_CODE_REF_VECTOR_HOLDER));
  EXPECT_EQ(store(top()).count(), 3);
  EXPECT_EQ(element(top(), 0), 3);
  EXPECT_EQ(element(top(), 2), 1);
}

TEST_F(NativeStateTest, ApplicationObjectIsOneRoot) {
  services = &host;
  TUint32& slot = applicationObject;
  const TInt32 roots = heap().rootCount();
  const VMAddr first = heap().allocateWords(2, GC_CODE_LEAF);
  for (int k = 0; k < 2; ++k) {
    push(first);
    run("System", "setApplicationObject");
  }
  EXPECT_EQ(heap().rootCount(), roots + 1);
  const VMAddr second = heap().allocateWords(2, GC_CODE_LEAF);
  push(second);
  run("System", "setApplicationObject");
  EXPECT_EQ(slot, second);
  EXPECT_EQ(heap().rootCount(), roots + 1);
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(first));
  EXPECT_TRUE(heap().isLiveBlock(second));
  push(0);
  run("System", "setApplicationObject");
  EXPECT_EQ(heap().rootCount(), roots);
  EXPECT_EQ(state->sp, -1);

  // Only a live block becomes the root: a word inside one, a freed block, a
  // word outside the arena are refused and leave the slot as it was.
  push(second);
  run("System", "setApplicationObject");
  const VMAddr freed = heap().allocateWords(2, GC_CODE_LEAF);
  heap().freeObject(freed);
  for (TUint32 forged : {second + 4, freed, 0x7FFFFFF0u, 1u}) {
    push(forged);
    EXPECT_EQ(raised(ERR_RUNTIME, [&] { run("System", "setApplicationObject"); }), "RuntimeException: Invalid address");
    state->sp = -1;
    EXPECT_EQ(slot, second);
    EXPECT_EQ(heap().rootCount(), roots + 1);
  }
  heap().collect();
  EXPECT_TRUE(heap().isLiveBlock(second));
}

// A listener added in a loop holds one root; removals count down to it,
// and removing what the Screen group never added leaves others' roots alone.
TEST_F(NativeStateTest, ScreenListenerIsOneRootHoweverOftenAdded) {
  services = &host;
  const VMAddr listener = heap().allocateWords(2, GC_CODE_LEAF);
  const VMAddr held = heap().allocateWords(2, GC_CODE_LEAF);
  heap().addRoot(held);
  const TInt32 roots = heap().rootCount();
  for (int k = 0; k < 10000; ++k) {
    push(listener);
    run("Screen", "addListener");
  }
  EXPECT_EQ(heap().rootCount(), roots + 1);
  for (int k = 0; k < 9999; ++k) {
    push(listener);
    run("Screen", "removeListener");
  }
  heap().collect();
  EXPECT_TRUE(heap().isLiveBlock(listener));
  push(listener);
  run("Screen", "removeListener");
  EXPECT_EQ(heap().rootCount(), roots);
  testing::internal::CaptureStderr();
  push(held);
  run("Screen", "removeListener");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Removing non-existing root: " + std::to_string(static_cast<TInt32>(held)) + "\n");
  EXPECT_EQ(heap().rootCount(), roots);
  heap().collect();
  EXPECT_FALSE(heap().isLiveBlock(listener));
  EXPECT_TRUE(heap().isLiveBlock(held));
  // Only heap objects are kept: any other word is refused, null ignored.
  push(listener + 4);
  EXPECT_EQ(raised(ERR_RUNTIME, [&] { run("Screen", "addListener"); }), "RuntimeException: Invalid address");
  state->sp = -1;
  push(0);
  run("Screen", "addListener");
  EXPECT_EQ(heap().rootCount(), roots);
  EXPECT_EQ(state->sp, -1);
}

// Every font the natives make is of kind 0 or 1; draw string refuses any
// other kind. An ended canvas is a target without a painter, so no display
// is needed to reach the check.
TEST_F(NativeStateTest, DrawStringRefusesAFontOfAnotherKind) {
  GCOBJECT_PACK_BEGIN
  struct OddFont final : CAppsFont {
    TInt32 ascent() override { return 0; }
    TInt32 height() override { return 0; }
    TInt32 textWidth(const NString&, TInt32, TInt32) override { return 0; }
    TInt32 fitCount(const NString&, TInt32, TInt32, TInt32) override { return 0; }
    TInt32 fontKind() override { return 2; }
  };
  GCOBJECT_PACK_END
  const VMAddr canvas = heap().allocate(sizeof(GraphicsContainer), -1, GC_CODE_LEAF);
  new (vmPtr(canvas)) GraphicsContainer(GraphicsContainer::PaintingPtr());
  const VMAddr handle = heap().allocate(12, 0, GC_CODE_BITMAP_HANDLE);
  native::store(handle, drawhandle::CANVAS);
  native::store(handle + 4, canvas);
  const VMAddr font = heap().allocate(sizeof(OddFont), -1, GC_CODE_FONT);
  new (vmPtr(font)) OddFont();
  auto cell = [&](VMAddr object) {
    const VMAddr c = native::newCell(heap(), 1, GC_CODE_REF_HOLDER);
    native::store(c, object);
    return c;
  };
  push({cell(handle), native::newStringFrom(heap(), NString("text")), 0, 0, 0xFFFFFFFFu, cell(font)});
  EXPECT_EQ(raised(ERR_INVALID_ARGUMENT, [&] { run("Graphics", "drawText"); }),
            "InvalidArgumentException: Draw string: invalid font type");
}

TEST_F(NativeStateTest, SystemQueriesAndEnding) {
  services = &host;
  run("System", "elapsedMillis");
  EXPECT_EQ(top(), 3u);   // low 32 bits
  run("System", "currentTimeMillis");
  EXPECT_EQ(top(), 5u);
  run("System", "integerQueryB");
  run("System", "integerQueryA");
  EXPECT_EQ(top(1), 8u);
  EXPECT_EQ(top(), 7u);
  run("System", "callStack");
  EXPECT_EQ(native::stringAt(top()), NString("No Callstack available"));
  EXPECT_EQ(state->sp, 4);
  run("System", "discardTwo");
  EXPECT_EQ(state->sp, 2);
  run("System", "exit");
  EXPECT_EQ(host.exits, 1);
  push(native::newStringFrom(heap(), NString("bye")));
  raised(ERR_TERMINATE, [&] { run("System", "hostRequest"); });
  EXPECT_EQ(host.lastRequest, NString("bye"));
  EXPECT_EQ(raised(ERR_VM, [&] { run("System", 99); }), "VMException: System:99");
  // Fonts need a GUI application, which this machine has not: refused, no abort.
  EXPECT_EQ(raised(ERR_RUNTIME, [&] { run("System", "newFont"); }),
            "RuntimeException: Internal error: drawing needs a GUI application");
}

TEST_F(NativeStateTest, EncoderRoundTrip) {
  push(native::newStringFrom(heap(), NString::filled(0x20AC, 1)));
  run("Encoder", "toUtf8");
  const VMAddr bytes = top();
  EXPECT_EQ(state->sp, 0);
  const vectors::VectorStore v = store(bytes, 1);
  ASSERT_EQ(v.count(), 3);
  EXPECT_EQ(v.at(0)[0], 0xE2);
  EXPECT_EQ(v.at(1)[0], 0x82);
  EXPECT_EQ(v.at(2)[0], 0xAC);
  EXPECT_EQ(v.capacity(), 10);
  run("Encoder", "fromUtf8");
  EXPECT_EQ(native::stringAt(top()), NString::filled(0x20AC, 1));
  const VMAddr bad = vectorValue(1);
  for (TUint32 b : {0xC0u, 0x80u}) {
    push(bad);
    push(b);
    run("ByteVector", "appendElement");
  }
  push(bad);
  raised(ERR_DATA_FORMAT, [&] { run("Encoder", "fromUtf8"); });
}

TEST_F(NativeStateTest, BoxingWrapsInReferenceCellsAtEveryLevel) {
  const VMAddr object = heap().allocateWords(1, GC_CODE_LEAF);
  EXPECT_EQ(Interpreter::box(heap(), object, 0), object);
  for (TInt32 level = 1; level <= 3; ++level) {
    TUint32 v = Interpreter::box(heap(), object, level);
    heap().addRoot(v);
    heap().collect();   // every cell is a reference holder, so the object survives
    EXPECT_TRUE(heap().isLiveBlock(object)) << level;
    heap().removeRoot(v);
    for (TInt32 k = 0; k < level; ++k) {
      EXPECT_EQ(heapEntry(v - kHeaderSize)->gcCode, static_cast<TUint32>(GC_CODE_REF_HOLDER)) << level;
      v = native::load(v);
    }
    EXPECT_EQ(v, object);
    EXPECT_EQ(Interpreter::box(heap(), Interpreter::box(heap(), object, level), -level), object);
  }
  EXPECT_EQ(Interpreter::box(heap(), object, 4), 0u);
  EXPECT_EQ(Interpreter::box(heap(), object, -4), 0u);
  const VMAddr nullCell = Interpreter::box(heap(), 0, 1);
  EXPECT_EQ(Interpreter::box(heap(), nullCell, -1), 0u);
  raised(ERR_NULL_POINTER, [&] { Interpreter::box(heap(), nullCell, -2); });
}

// A split's vector grows while its pieces are made; the blocks it outgrows
// were never seen by bytecode and go back at once, so a split of n pieces
// leaves exactly its cell, vector, element block and n string cells.
TEST_F(NativeStateTest, SplitLeavesNoOutgrownBlocks) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "ab;";
  const TUint32 s = native::newStringFrom(heap(), NString(text.c_str()));
  const TInt32 before = heap().nOfEntries();
  push(s);
  push(';');
  run("String", "splitAtChar");
  const VMAddr vector = native::load(top());
  EXPECT_EQ(vectors::VectorStore(vector, 4).count(), 1000);
  EXPECT_EQ(heap().nOfEntries() - before, 3 + 2 * 1000);   // a string is its object and its cell
  heap().verify();
}

// The natives' word access: aligned words take one seal bit, others every
// word they touch; either way a sealed word, null or an address outside the
// arena is refused.
TEST_F(NativeStateTest, WordAccessRefusesSealedNullAndStraddlingWords) {
  const VMAddr a = heap().allocate(16, 0, GC_CODE_LEAF);   // the footer follows at a + 16
  native::store(a + 12, 7);
  EXPECT_EQ(native::load(a + 12), 7u);
  native::store(a + 10, 0x00050006);                       // unaligned, inside the data
  EXPECT_EQ(native::load(a + 10), 0x00050006u);
  EXPECT_TRUE(raised(ERR_RUNTIME, [&] { native::load(a + 16); }).contains("Invalid address"));
  raised(ERR_RUNTIME, [&] { native::load(a + 14); });     // straddles data and footer
  raised(ERR_RUNTIME, [&] { native::store(a - 4, 1); });  // the header
  raised(ERR_NULL_POINTER, [&] { native::load(0); });
  raised(ERR_RUNTIME, [&] { native::load(0xFFFFFFF0u); });
  const VMAddr s = heap().allocate(sizeof(NString), -1, GC_CODE_STRING);
  new (vmPtr(s)) NString("text");
  raised(ERR_RUNTIME, [&] { native::load(s); });          // a native object
  heap().freeObject(s);
}
