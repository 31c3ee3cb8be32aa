// Timers on a real Qt event loop: ids, order of expiries, removal from
// inside an expiry.
#include "HostTestSupport.h"
#include "Scheduler.h"
#include "Timer.h"

#include <functional>
#include <utility>

namespace {

// Records every expiry and hands it to a test's reaction.
class RecordingScheduler : public Scheduler {
 public:
  std::vector<std::pair<TInt32, TInt32>> fired;   // (listener, id)
  std::function<void(TInt32 listener, TInt32 id)> react;

 protected:
  void deliver(TInt32 listener, TInt32 id) override {
    fired.emplace_back(listener, id);
    if (react) react(listener, id);
  }
};

class SchedulerTest : public ::testing::Test {
 protected:
  SchedulerTest() {
    hosttest::app();
    scheduler.setVM(&vm);
  }
  ClientVM vm{nullptr};
  RecordingScheduler scheduler;
};

TEST_F(SchedulerTest, ExpiriesArriveInOrderAndATimerMayRemoveItself) {
  const TInt32 first = scheduler.addTimer(7, 0);
  TInt32 second = 0;
  scheduler.react = [&](TInt32 listener, TInt32 id) {
    if (listener == 7 && scheduler.fired.size() == 3) {
      EXPECT_EQ(scheduler.removeTimer(id), 7);
      second = scheduler.addTimer(8, 1);
    } else if (listener == 8 && scheduler.fired.size() == 5) {
      scheduler.removeTimer(id);
      QCoreApplication::exit(0);
    }
  };
  hosttest::runLoop();
  EXPECT_EQ(second, first + 1);
  const std::vector<std::pair<TInt32, TInt32>> expected = {
      {7, first}, {7, first}, {7, first}, {8, second}, {8, second}};
  EXPECT_EQ(scheduler.fired, expected);
  EXPECT_EQ(scheduler.liveTimers(), 0);
  EXPECT_EQ(scheduler.removeTimer(first), 0);
  EXPECT_EQ(scheduler.addTimer(1, 1000), second + 1);   // ids are never reused
}

TEST_F(SchedulerTest, AddingWithoutAMachineIsABrokenInvariant) {
  Scheduler bare;
  EXPECT_DEATH(bare.addTimer(1, 0), "vm != 0");
}

TEST(TimerIds, TheFirstTimerOfAProcessIsTen) {
  // A fresh process: the id counter is process-wide.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        hosttest::app();
        ClientVM vm(nullptr);
        Scheduler s;
        s.setVM(&vm);
        const TInt32 a = s.addTimer(1, 1000);
        s.removeTimer(a);
        const TInt32 b = s.addTimer(1, 1000);
        std::exit(a == 10 && b == 11 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  GTEST_FLAG_SET(death_test_style, "fast");
}

}  // namespace
