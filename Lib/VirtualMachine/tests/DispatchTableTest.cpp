// The computed-goto table is filled on the first run of any machine. Its
// own process, so that first run happens here: machines entered on several
// threads at once each find the whole table (a sanitizer build sees a race
// if the fill is not guarded), and code then runs through it.
#include "ScriptMachine.h"
#include "TestHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

class IdleMachine : public ClientVM {
 public:
  explicit IdleMachine(FrameworkServices* host) : ClientVM(host) {}
  // Fills the table if needed, then returns at once (no current method).
  void enter() {
    state().pc = -1;
    run();
  }
};

TEST(DispatchTable, FirstUseFromSeveralThreads) {
  FixedHost host;
  std::vector<std::unique_ptr<IdleMachine>> machines;
  for (int i = 0; i < 4; ++i) machines.emplace_back(new IdleMachine(&host));
  std::vector<std::thread> threads;
  for (auto& m : machines) threads.emplace_back([&m] { m->enter(); });
  for (std::thread& t : threads) t.join();

  ScriptMachine m(".method main export=\"main\"\n  PUSH_IMM32 7\n  PUSH_IMM32 5\n  ADD\n  INT_TO_STRING\n"
                  "  BOX\n  NATIVE_CALL Debug log\n  RETURN 0, 1\n");
  const RunResult r = m.runMain();
  EXPECT_EQ(r.errorCode, 0) << r.error;
  EXPECT_EQ(r.logs, std::vector<std::string>{"12"});
}

}  // namespace
