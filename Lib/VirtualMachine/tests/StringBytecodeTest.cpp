// The String group through assembled programs: the argument and result
// conventions of the single operations and of each family (with and
// without the case flag, with ranges, characters and two-slot results).
#include "ScriptMachine.h"

#include <gtest/gtest.h>

namespace {

const char* const LOG = "  INT_TO_STRING\n  BOX\n  NATIVE_CALL Debug 1\n";
using Logs = std::vector<std::string>;

RunResult run(const std::string& body) {
  ScriptMachine m(".method main export=\"main\" locals=1 localrefs=1\n" + body + "  RESERVE -1\n  RETURN 0, 1\n");
  EXPECT_TRUE(m.assembled()) << m.assemblyErrors();
  return m.runMain();
}

// Slot 1 holds s = "Hello hello"; `S` pushes it again.
const std::string kSetUp = "  PUSH_STRING_CELL \"Hello hello\"\n";
const std::string S = "  LOAD_LOCAL -1\n";

TEST(StringBytecode, SearchAndCountFamilies) {
  const RunResult r = run(kSetUp +
      S + "  PUSH_STRING_CELL \"hello\"\n  PUSH_IMM32 1\n  NATIVE_CALL String 18\n" + LOG +      // indexOf C, case
      S + "  PUSH_STRING_CELL \"hello\"\n  PUSH_IMM32 0\n  NATIVE_CALL String 18\n" + LOG +      // without case
      S + "  PUSH_STRING_CELL \"HELLO\"\n  PUSH_IMM32 1\n  PUSH_IMM32 -1\n  NATIVE_CALL String 17\n" + LOG +  // B, to the end
      S + "  PUSH_STRING_CELL \"LLO\"\n  NATIVE_CALL String 16\n" + LOG + LOG +                    // (index, length)
      S + "  PUSH_IMM32 108\n  NATIVE_CALL String 28\n" + LOG +                                    // lastIndexOf E: 'l'
      S + "  PUSH_STRING_CELL \"HELLO\"\n  NATIVE_CALL String 36\n" + LOG +                        // count A
      S + "  PUSH_IMM32 72\n  PUSH_IMM32 1\n  NATIVE_CALL String 42\n" + LOG +                     // count G: 'H', case
      S + "  PUSH_IMM32 0\n  PUSH_IMM32 5\n  PUSH_IMM32 0\n  NATIVE_CALL String 35\n" + LOG);     // most frequent in range
  EXPECT_EQ(r.logs, (Logs{"6", "0", "6", "3", "2", "9", "2", "1", "108"}));
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

TEST(StringBytecode, EditsInPlaceAndNewStrings) {
  const RunResult r = run(kSetUp +
      S + "  PUSH_STRING_CELL \"HELLO\"\n  PUSH_STRING_CELL \"bye\"\n  NATIVE_CALL String 85\n" +   // replaceAll A
      S + "  NATIVE_CALL Debug 1\n" +
      S + "  PUSH_STRING_CELL \"bye\"\n  NATIVE_CALL String 103\n" +                               // removeFirst A
      S + "  NATIVE_CALL Debug 1\n" +
      S + "  PUSH_IMM32 1\n  PUSH_IMM32 -1\n  NATIVE_CALL String -106\n  NATIVE_CALL Debug 1\n" +  // substring to the end
      S + "  PUSH_IMM32 33\n  NATIVE_CALL String 63\n" +                                           // append '!'
      S + "  NATIVE_CALL String 10\n" + LOG +
      "  TRY any, bad\n" + S + "  PUSH_IMM32 -1\n  PUSH_IMM32 2\n  NATIVE_CALL String -106\n"
      "  END_TRY -1\n  RESERVE -1\n  JUMP after\n"
      "bad:\n  FIELD_ADDR 1\n  DEREF\n" + LOG + "after:\n");
  EXPECT_EQ(r.logs, (Logs{"bye bye", " bye", "bye", "5", "5"}));
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

TEST(StringBytecode, SplitGivesAVectorOfStrings) {
  const RunResult r = run(std::string(
      "  PUSH_STRING_CELL \"a;b;;c;\"\n  PUSH_IMM32 59\n  NATIVE_CALL String 52\n") +
      "  LOAD_LOCAL -1\n  NATIVE_CALL RefVector 11\n" + LOG +
      "  LOAD_LOCAL -1\n  PUSH_IMM32 2\n  NATIVE_CALL RefVector 8\n  NATIVE_CALL Debug 1\n");
  EXPECT_EQ(r.logs, (Logs{"3", "c"}));
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

}  // namespace
