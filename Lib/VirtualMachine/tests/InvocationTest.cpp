// Name resolution, the deferred-call queue, the busy guard and results
// across the host boundary.
#include "Errors.h"
#include "GcCode.h"
#include "ScriptMachine.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>

namespace {

// A host that lets a test act while the machine is inside a native.
class ReentrantHost : public FixedHost {
 public:
  std::function<void(const std::string&)> onLog;
  void log(const NString& m) override {
    FixedHost::log(m);
    if (onLog) onLog(logs.back());
  }
};

const char* const kMethods =
    ".method main export=\"main\"\n  PUSH_STRING_CELL \"main\"\n  NATIVE_CALL Debug 1\n  RETURN 0, 1\n"
    ".method second export=\"second\"\n  PUSH_STRING_CELL \"second\"\n  NATIVE_CALL Debug 1\n  RETURN 0, 1\n"
    ".method third export=\"third\"\n  PUSH_STRING_CELL \"third\"\n  NATIVE_CALL Debug 1\n  RETURN 0, 1\n"
    // twice(n) -> 2n, through a result slot
    ".method twice params=1 results=1 export=\"(<int>)twice<int>\"\n"
    "  ADDR_LOCAL -3\n  LOAD_LOCAL -3\n  DUP\n  ADD\n  STORE_WORD\n  RETURN 0, 2\n"
    ".method draw params=2 export=\"<application>.draw to*<canvas>\"\n  RETURN 0, 3\n"
    ".method keep params=1 export=\"keep<object>\"\n  PUSH_STRING_CELL \"keep\"\n  NATIVE_CALL Debug 1\n  RETURN 0, 2\n";

class InvocationTest : public ::testing::Test {
 protected:
  ReentrantHost host;
  ClientVM vm{&host};
  void SetUp() override {
    std::string errors;
    const std::vector<TUint8> bytes = assembleImage(kMethods, true, &errors);
    ASSERT_FALSE(bytes.empty()) << errors;
    Vec<TUint8> image;
    for (TUint8 b : bytes) image.append(b);
    vm.loadBytes(image, CAppsString("invocation"));
  }
  TInt32 handle(const char* name) { return vm.resolveMethod(QString::fromLatin1(name), 0); }
};

TEST_F(InvocationTest, NamesResolveToOneHandleEach) {
  const TInt32 main = handle("main");
  EXPECT_GE(main, 0);
  EXPECT_EQ(handle("main"), main);
  EXPECT_EQ(handle("nothing"), -1);
  EXPECT_EQ(vm.call(-1, Vec<int>(), Vec<int>(), 0), 0);
  const TInt32 draw = handle("<application>.draw to<canvas>");
  ASSERT_GE(draw, 0);
  const MethodHandle& h = vm.handles()[draw];
  ASSERT_EQ(h.parameterLevels.size(), 2);
  EXPECT_EQ(h.parameterLevels[0], 0);
  EXPECT_EQ(h.parameterLevels[1], 1);
  // A requested name must match piece by piece: a different piece fails.
  EXPECT_EQ(handle("<application>.draw onto<canvas>"), -1);
}

TEST_F(InvocationTest, ResultsComeBackThroughTheResultSlot) {
  const TInt32 twice = handle("(<int>)twice<int>");
  ASSERT_GE(twice, 0);
  Vec<int> values, levels;
  values.append(21);
  levels.append(0);
  EXPECT_EQ(vm.call(twice, values, levels, 0), 42);
  EXPECT_EQ(vm.busyHandle(), -1);
}

TEST_F(InvocationTest, CallsMadeWhileBusyAreQueuedInOrder) {
  bool queuedFromSecond = false, queuedFromMain = false;
  host.onLog = [&](const std::string& line) {
    if (line == "main" && !queuedFromMain) {
      queuedFromMain = true;
      EXPECT_EQ(vm.callMethod(handle("second"), Vec<int>(), Vec<int>(), 0), 0);
      EXPECT_EQ(vm.callMethod(handle("third"), Vec<int>(), Vec<int>(), 0), 1);
    } else if (line == "second" && !queuedFromSecond) {
      queuedFromSecond = true;
      vm.callMethod(handle("main"), Vec<int>(), Vec<int>(), 0);   // runs after "third"
    }
  };
  vm.callMain();
  host.onLog = nullptr;
  EXPECT_EQ(host.logs, (std::vector<std::string>{"main", "second", "third", "main"}));
  EXPECT_EQ(vm.queuedCalls(), 0);
  EXPECT_EQ(vm.busyHandle(), -1);
}

TEST_F(InvocationTest, AnImmediateCallWhileBusyIsAConcurrencyError) {
  host.onLog = [&](const std::string&) {
    host.onLog = nullptr;
    vm.call(handle("second"), Vec<int>(), Vec<int>(), 0);
  };
  try {
    vm.callMain();
    FAIL() << "no error";
  } catch (const ErrorHandlingException&) {
    EXPECT_EQ(currentErrorCode(), 11);
    EXPECT_NE(currentErrorText().indexOf("VM concurrency error"), -1) << currentErrorText().toStdString();
    clearError();
  }
  EXPECT_NE(vm.busyHandle(), -1);   // the machine stays busy; the host ends the program
}

// An object made for a queued call and referenced by nothing else survives
// the collection after the running call; its roots go once the call starts,
// also when that call fails.
TEST_F(InvocationTest, QueuedCallsKeepTheirArgumentsAlive) {
  VMHeap& heap = vm.heap();
  const TInt32 roots = heap.rootCount();
  const TUint32 kSeal = 0x5EED5EED;
  VMAddr fresh = 0;
  bool sawKeep = false;
  host.onLog = [&](const std::string& line) {
    if (line == "main") {
      fresh = heap.allocateWords(2, GC_CODE_LEAF);
      vmPtrAs<TUint32>(fresh)[1] = kSeal;
      Vec<int> values, levels;
      values.append(static_cast<int>(fresh));
      levels.append(0);
      vm.callMethod(handle("keep<object>"), values, levels, 0);
      values.append(7);   // one argument too many: this one fails when it runs
      levels.append(0);
      vm.callMethod(handle("keep<object>"), values, levels, 0);
      EXPECT_EQ(heap.rootCount(), roots + 2);
    } else if (line == "keep" && !sawKeep) {
      sawKeep = true;
      EXPECT_TRUE(heap.isLiveBlock(fresh));
      EXPECT_EQ(vmPtrAs<TUint32>(fresh)[1], kSeal);
      heap.verify();
    }
  };
  EXPECT_THROW(vm.callMain(), ErrorHandlingException);
  clearError();
  host.onLog = nullptr;
  EXPECT_TRUE(sawKeep);
  EXPECT_EQ(vm.queuedCalls(), 0);
  EXPECT_EQ(heap.rootCount(), roots);
  heap.collect();
  EXPECT_FALSE(heap.isLiveBlock(fresh));
}

TEST_F(InvocationTest, ATerminationRequestLeavesTheCall) {
  const std::vector<TUint8> bytes =
      assembleImage(".method main export=\"main\"\n  PUSH_STRING_CELL \"bye\"\n  NATIVE_CALL System 2\n  RETURN 0, 1\n");
  Vec<TUint8> image;
  for (TUint8 b : bytes) image.append(b);
  FixedHost h;
  ClientVM other(&h);
  other.loadBytes(image, CAppsString("bye"));
  EXPECT_THROW(other.callMain(), VMTermination);
  EXPECT_EQ(h.requests, 1);
}

}  // namespace

namespace {

// Memory the system refuses below a native (std::bad_alloc) is code 6, a
// bytecode exception the image catches, not the end of the process.
TEST(Invocation, RefusedHostMemoryIsCode6) {
  ScriptMachine m(
      ".method main export=\"main\"\n  TRY Throwable, caught\n  EXTENSION_CALL 1 1\n  END_TRY -1\n  RETURN 0, 1\n"
      "caught:\n  FIELD_ADDR 2\n  DEREF\n  NATIVE_CALL Debug 1\n  PUSH_STRING_CELL \"after\"\n"
      "  NATIVE_CALL Debug 1\n  RETURN 0, 1\n");
  ASSERT_TRUE(m.assembled()) << m.assemblyErrors();
  m.host.extensions = [](VMState&, TInt32, TInt32) -> TInt32 { throw std::bad_alloc(); };
  const RunResult r = m.runMain();
  EXPECT_EQ(r.errorCode, 0) << r.error;
  EXPECT_EQ(r.logs, (std::vector<std::string>{"InvalidArgumentException: Host memory exhausted", "after"}));
}

}  // namespace
