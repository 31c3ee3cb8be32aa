// The location extension with a stand-in position source: request values
// reach the source, and reports and errors reach the image's exported
// observer methods with the values the opcodes read back.
#include "DateTime.h"
#include "ExtensionTestSupport.h"
#include "LocationWrapper.h"


namespace {

// Records what the image asked for; plays reports when the test says.
class PlayedSource : public MPositionSource {
 public:
  void start(MPositionObserver& o, TInt32 a, TInt32 b, TInt32 interval) override {
    observer = &o;
    context = a;
    starts.push_back({a, b, interval});
  }
  void stop(MPositionObserver&) override { ++stops; }

  MPositionObserver* observer = nullptr;
  TInt32 context = 0;
  std::vector<std::vector<TInt32>> starts;
  int stops = 0;
};

PlayedSource* gSource = nullptr;

std::string script() {
  return withHelpers(R"(
.class Observer super=Object
.method on_event params=2
  LOAD_LOCAL -3
  DEREF
  CALL log_int                    ; the observer's class
  LOAD_LOCAL -2
  CALL wrap
  EXTENSION_CALL 27, 12
  CALL log_fixed2
  EXTENSION_CALL 27, 13
  CALL log_fixed2
  EXTENSION_CALL 27, 11
  CALL log_fixed2
  DUP
  EXTENSION_CALL 27, 9
  CALL log_int
  DUP
  EXTENSION_CALL 27, 10
  NATIVE_CALL DateTime 21
  NATIVE_CALL Debug 1
  DUP
  EXTENSION_CALL 27, 16
  CALL log_fixed2
  RETURN 0, 3
.virtual "*<locationobserver>.handle location event<location>"
  Observer on_event
.end
.method on_error params=2
  LOAD_LOCAL -3
  DEREF
  CALL log_int
  LOAD_LOCAL -2
  CALL log_int
  RETURN 0, 3
.virtual "*<locationobserver>.handle location error<locationerror>"
  Observer on_error
.end
.method main export="main"
  PUSH_GLOBALS
  SET_CLASS Globals
  ALLOC CLASS_OBJECT, 1
  DUP
  SET_CLASS Observer
  PUSH_IMM32 1
  CALL put
  PUSH_IMM32 0
  CALL wrap
  DUP
  PUSH_IMM32 2
  CALL put
  PUSH_IMM32 1
  CALL get                        ; a: the observer
  PUSH_IMM32 2                    ; b
  PUSH_IMM32 5                    ; seconds
  EXTENSION_CALL 27, 1
  PUSH_IMM32 2
  CALL get
  EXTENSION_CALL 27, 3
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 5
  EXTENSION_CALL 27, 2
  PUSH_IMM32 2
  CALL get
  PUSH_IMM32 8
  EXTENSION_CALL 27, 17
  PUSH_IMM32 2
  CALL get
  EXTENSION_CALL 27, 3
  PUSH_IMM32 2
  CALL get
  EXTENSION_CALL 27, 4
  RETURN 0, 1
)");
}

TInt64 fixed(double v) { return static_cast<TInt64>(v * 4294967296.0); }

}  // namespace

class Location : public ::testing::Test {
 protected:
  void SetUp() override {
    gSource = &source;
    setPositionSource(&source);
  }
  void TearDown() override {
    setPositionSource(nullptr);
    gSource = nullptr;
  }
  PlayedSource source;
};

TEST_F(Location, RequestsReachTheSourceWithTheirInterval) {
  ExtensionRun r(script());
  EXPECT_EQ(r.run().error, "");
  ASSERT_EQ(source.starts.size(), 2u);
  EXPECT_EQ(source.starts[0][1], 2);
  EXPECT_EQ(source.starts[0][2], 5000);   // seconds, scaled at creation
  EXPECT_EQ(source.starts[1][1], 8);
  EXPECT_EQ(source.starts[1][2], 5);      // set as given
  EXPECT_EQ(source.stops, 1);
}

TEST_F(Location, ReportsAndErrorsCallTheObserverMethods) {
  ExtensionRun r(script());
  ASSERT_EQ(r.run().error, "");
  ASSERT_TRUE(source.observer);
  const RunResult report = r.machine.capture([](ClientVM&) {
    TInt64 first = fixed(24.94), second = fixed(60.17), third = fixed(12.5), fourth = fixed(3.25);
    const Nerim::DateTime at(5, 3, 2010, 7, 8, 9, 0);
    gSource->observer->positionUpdated(first, second, third, fourth, at, 42, gSource->context);
  });
  EXPECT_EQ(report.error, "");
  // The observer's class is 4 (after Object, Throwable, Globals, Holder);
  // the report's second value is the first coordinate, its first the second.
  EXPECT_EQ(report.logs, (std::vector<std::string>{"4", "60.17", "24.94", "12.50", "42", "2010-03-05 07:08:09",
                                                   "3.25"}));
  const RunResult error = r.machine.capture([](ClientVM&) {
    gSource->observer->positionErrorForwarded(-7, gSource->context);
  });
  EXPECT_EQ(error.error, "");
  EXPECT_EQ(error.logs, (std::vector<std::string>{"4", "-7"}));
}

TEST_F(Location, AnImageWithoutObserverMethodsIgnoresReports) {
  ExtensionRun r(mainWith(
      "  PUSH_IMM32 0\n  CALL wrap\n  DUP\n  PUSH_IMM32 1\n  PUSH_IMM32 2\n  PUSH_IMM32 3\n  EXTENSION_CALL 27, 1\n"
      "  EXTENSION_CALL 27, 3"));
  ASSERT_EQ(r.run().error, "");
  ASSERT_TRUE(source.observer);
  const RunResult report = r.machine.capture([](ClientVM&) {
    TInt64 v = 0;
    gSource->observer->positionUpdated(v, v, v, v, Nerim::DateTime(), 0, 0);
    gSource->observer->positionError(1, 0);
  });
  EXPECT_EQ(report.error, "");
  EXPECT_TRUE(report.logs.empty());
}
