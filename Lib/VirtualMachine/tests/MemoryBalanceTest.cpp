// Each top-level call ends with a collection, so a program that builds
// strings and vectors and drops them leaves the heap as it found it.
#include "ScriptMachine.h"

#include <gtest/gtest.h>

namespace {

const char* const kWork =
    ".method work export=\"work\" locals=4 localvectors=1:data localrefs=3\n"
    "  RESERVE 2\n  ADDR_LOCAL -2\n  NEW_VECTOR 4\n"
    "  ADDR_LOCAL -2\n  PUSH_IMM32 5\n  PUSH_IMM32 100\n  NATIVE_CALL IntVector 3\n"   // 100 fives
    "  PUSH_STRING_CELL \"\"\n"                                                          // slot 3: s
    "  PUSH_IMM32 0\n"                                                                   // slot 4: i
    "loop:\n  LOAD_LOCAL -1\n  PUSH_IMM32 50\n  CMP_LT\n  JUMP_IF_FALSE done\n"
    "  LOAD_LOCAL -2\n  LOAD_LOCAL -2\n  INT_TO_STRING\n  BOX\n  NATIVE_CALL String 62\n"   // s += i
    "  LOAD_LOCAL -2\n  PUSH_IMM32 59\n  NATIVE_CALL String 63\n"                          // s += ';'
    "  ADDR_LOCAL -4\n  LOAD_LOCAL -2\n  NATIVE_CALL IntVector 19\n"                       // v += i
    "  ADDR_LOCAL -1\n  INC_AT\n  JUMP loop\n"
    "done:\n  LOAD_LOCAL -2\n  PUSH_IMM32 59\n  NATIVE_CALL String 52\n  RESERVE -1\n"     // split, dropped
    "  ADDR_LOCAL -4\n  NATIVE_CALL IntVector 11\n  RESERVE -1\n"
    "  RESERVE -4\n  RETURN 0, 1\n";

TEST(MemoryBalance, RepeatedCallsReturnToTheSameTotal) {
  ScriptMachine m(kWork);
  ASSERT_TRUE(m.assembled()) << m.assemblyErrors();
  ClientVM& vm = m.vm();
  const TInt32 work = vm.resolveMethod(QStringLiteral("work"), 0);
  ASSERT_GE(work, 0);
  vm.call(work, Vec<int>(), Vec<int>(), 0);
  const TInt64 settled = vm.heap().getMemUsage(nullptr);
  for (int i = 0; i < 200; ++i) {
    vm.call(work, Vec<int>(), Vec<int>(), 0);
    ASSERT_EQ(vm.heap().getMemUsage(nullptr), settled) << "after call " << i;
  }
  vm.heap().verify();
  EXPECT_TRUE(m.host.logs.empty());
}

}  // namespace
