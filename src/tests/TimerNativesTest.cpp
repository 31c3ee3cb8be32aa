// The Timer group against the host's scheduler: a collected handle stops
// its timer; and bytecode timers delivered through the machine.
#include "HostTestSupport.h"
#include "Scheduler.h"
#include "ScriptMachine.h"
#include "SystemTimerHandle.h"
#include "Timer.h"

namespace {

constexpr TInt32 kTimer = 33;

class TimerNatives : public ::testing::Test {
 protected:
  TimerNatives() {
    hosttest::app();
    host.start(&bench.vm);
  }
  // A timer object with its handle.
  TUint32 timerObject() {
    const TUint32 t = bench.cell();
    bench.push(t).call(kTimer, 1);
    return t;
  }
  SystemTimerHandle& handle(TUint32 t) { return *vmPtrAs<SystemTimerHandle>(native::load(t)); }
  TInt32 live() { return host.scheduler().liveTimers(); }

  hosttest::Sandbox box;
  HostServices host{box.appPath()};
  hosttest::NativeBench bench{&host};
};

TEST_F(TimerNatives, StartUpdateStop) {
  const TUint32 t = timerObject();
  EXPECT_EQ(handle(t).iId, 0);
  bench.push(t).call(kTimer, 3);               // idle: nothing to stop
  bench.push(t).push(100).call(kTimer, 4);     // idle: nothing to change
  EXPECT_EQ(live(), 0);

  bench.push(t).push(t).push(100).call(kTimer, 2);
  const TInt32 id = handle(t).iId;
  ASSERT_NE(id, 0);
  EXPECT_EQ(handle(t).iListener, t);
  bench.push(t).push(250).call(kTimer, 4);
  EXPECT_EQ(host.scheduler().timer(id)->delay(), 250);
  bench.push(t).call(kTimer, 3);
  EXPECT_EQ(handle(t).iId, 0);
  EXPECT_EQ(live(), 0);
  EXPECT_EQ(bench.depth(), 0);
}

TEST_F(TimerNatives, StartingTwiceLeavesTheFirstTimerRunning) {
  const TUint32 t = timerObject();
  bench.push(t).push(t).push(100).call(kTimer, 2);
  const TInt32 first = handle(t).iId;
  bench.push(t).push(t).push(100).call(kTimer, 2);
  EXPECT_EQ(live(), 2);
  bench.push(t).call(kTimer, 3);
  EXPECT_NE(host.scheduler().timer(first), nullptr);
}

TEST_F(TimerNatives, NegativeDelaysChangeNoTimer) {
  const TUint32 t = timerObject();
  bench.push(t).push(t).push(static_cast<TUint32>(-1)).call(kTimer, 2);
  EXPECT_EQ(handle(t).iId, 0);
  EXPECT_EQ(live(), 0);
  bench.push(t).push(t).push(50).call(kTimer, 2);
  bench.push(t).push(static_cast<TUint32>(-5)).call(kTimer, 4);
  EXPECT_EQ(host.scheduler().timer(handle(t).iId)->delay(), 50);
}

TEST_F(TimerNatives, CollectingTheHandleStopsItsTimer) {
  const TUint32 kept = timerObject();
  const TUint32 dropped = timerObject();
  bench.push(kept).push(kept).push(100).call(kTimer, 2);
  bench.push(dropped).push(dropped).push(100).call(kTimer, 2);
  const TInt32 droppedId = handle(dropped).iId;
  bench.heap().removeRoot(dropped);
  bench.heap().collect();
  EXPECT_EQ(live(), 1);
  EXPECT_EQ(host.scheduler().timer(droppedId), nullptr);
  EXPECT_NE(host.scheduler().timer(handle(kept).iId), nullptr);
}

TEST_F(TimerNatives, ForeignWordsAreRefused) {
  const TUint32 forged = bench.cell();
  native::store(forged, native::load(bench.string("not a timer")));
  EXPECT_EQ(hosttest::raised(ERR_RUNTIME, [&] { bench.push(forged).call(kTimer, 3); }), "RuntimeException: Invalid address");
  EXPECT_EQ(hosttest::raised(ERR_VM, [&] { bench.push(forged).call(kTimer, 5); }), "VMException: Timer: 5");
}

// Bytecode timers: main starts one that ticks three times and stops itself.
const char* const kTicker =
    ".globals 12\n"
    ".class Globals super=Object refs=1\n"
    ".method main export=\"main\"\n"
    "  PUSH_GLOBALS\n  SET_CLASS Globals\n"
    "  ALLOC REF_HOLDER, 1\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 1\n  LOAD_LOCAL -2\n  STORE_WORD\n"
    "  DUP\n  NATIVE_CALL Timer 1\n"
    "  LOAD_LOCAL -1\n  PUSH_IMM32 1\n  NATIVE_CALL Timer 2\n"
    "  RETURN 0, 1\n"
    ".method tick params=1 export=\"<systemtimerlistener>.systemtimerevent\"\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 2\n  INC_AT\n"
    "  PUSH_STRING_CELL \"tick\"\n  NATIVE_CALL Debug 1\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 2\n  DEREF\n  PUSH_IMM32 3\n  CMP_LT\n  JUMP_IF_FALSE last\n"
    "  RETURN 0, 2\n"
    "last:\n  PUSH_GLOBALS\n  FIELD_ADDR 1\n  DEREF\n  NATIVE_CALL Timer 3\n  RETURN 0, 2\n";

TEST(BytecodeTimers, DeliveredThroughTheMachineUntilStopped) {
  hosttest::app();
  hosttest::Sandbox box;
  hosttest::RecordingHost host(box.appPath());
  ClientVM vm(&host);
  host.start(&vm);
  const std::vector<TUint8> bytes = assembleImage(kTicker);
  ASSERT_FALSE(bytes.empty());
  Vec<TUint8> image;
  for (TUint8 b : bytes) image.append(b);
  vm.loadBytes(image, CAppsString("index.mcb"));
  host.guard().setAfterCall([&] {
    vm.heap().verify();
    if (host.scheduler().liveTimers() == 0) QCoreApplication::exit(0);
  });
  ASSERT_TRUE(host.guard().run([&] { vm.callMain(); }));
  hosttest::runLoop();
  EXPECT_EQ(host.logs, (std::vector<std::string>{"tick", "tick", "tick"}));
  EXPECT_TRUE(host.guard().running());
}

// An expiry while the machine is busy (here: the host runs the event loop
// inside a log call) is queued and runs after the call that was running.
const char* const kBusy =
    ".globals 8\n"
    ".class Globals super=Object refs=1\n"
    ".method main export=\"main\"\n"
    "  PUSH_GLOBALS\n  SET_CLASS Globals\n"
    "  ALLOC REF_HOLDER, 1\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 1\n  LOAD_LOCAL -2\n  STORE_WORD\n"
    "  DUP\n  NATIVE_CALL Timer 1\n"
    "  LOAD_LOCAL -1\n  PUSH_IMM32 0\n  NATIVE_CALL Timer 2\n"
    "  PUSH_STRING_CELL \"wait\"\n  NATIVE_CALL Debug 1\n"
    "  PUSH_STRING_CELL \"main ends\"\n  NATIVE_CALL Debug 1\n"
    "  RETURN 0, 1\n"
    ".method tick params=1 export=\"<systemtimerlistener>.systemtimerevent\"\n"
    "  PUSH_STRING_CELL \"tick\"\n  NATIVE_CALL Debug 1\n"
    "  PUSH_GLOBALS\n  FIELD_ADDR 1\n  DEREF\n  NATIVE_CALL Timer 3\n"
    "  RETURN 0, 2\n";

class WaitingHost : public hosttest::RecordingHost {
 public:
  using RecordingHost::RecordingHost;
  void log(const NString& message) override {
    RecordingHost::log(message);
    if (message == NString("wait")) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
};

TEST(BytecodeTimers, AnExpiryDuringACallWaitsForIt) {
  hosttest::app();
  hosttest::Sandbox box;
  WaitingHost host(box.appPath());
  ClientVM vm(&host);
  host.start(&vm);
  const std::vector<TUint8> bytes = assembleImage(kBusy);
  ASSERT_FALSE(bytes.empty());
  Vec<TUint8> image;
  for (TUint8 b : bytes) image.append(b);
  vm.loadBytes(image, CAppsString("index.mcb"));
  ASSERT_TRUE(host.guard().run([&] { vm.callMain(); }));
  EXPECT_EQ(host.logs, (std::vector<std::string>{"wait", "main ends", "tick"}));
  EXPECT_EQ(host.scheduler().liveTimers(), 0);
}

}  // namespace
