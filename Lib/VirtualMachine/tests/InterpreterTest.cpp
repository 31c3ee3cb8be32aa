// The instruction set end to end: assembled programs run on a ClientVM,
// observed through what they log.
#include "Opcodes.h"
#include "ScriptMachine.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Logs the integer on the top of the stack and pops it.
const char* const LOG = "\n  INT_TO_STRING\n  BOX\n  NATIVE_CALL Debug 1\n";

std::string mainMethod(const std::string& body, const std::string& attributes = "") {
  return ".method main export=\"main\" " + attributes + "\n" + body + "\n  RETURN 0, 1\n";
}

RunResult run(const std::string& source) {
  ScriptMachine m(source);
  EXPECT_TRUE(m.assembled()) << m.assemblyErrors();
  if (!m.assembled()) return RunResult();
  return m.runMain();
}

using Logs = std::vector<std::string>;

TEST(Interpreter, WordArithmeticWrapsAndDividesByTheRules) {
  const RunResult r = run(mainMethod(std::string() +
      "  PUSH_IMM32 -2147483648\n  PUSH_IMM32 -1\n  DIV" + LOG +
      "  PUSH_IMM32 7\n  PUSH_IMM32 -1\n  REM" + LOG +
      "  PUSH_IMM32 -7\n  PUSH_IMM32 2\n  REM" + LOG +
      "  PUSH_IMM32 2147483647\n  PUSH_IMM32 1\n  ADD" + LOG +
      "  PUSH_IMM32 65536\n  PUSH_IMM32 65536\n  MUL" + LOG +
      "  PUSH_IMM32 -300\n  PUSH_IMM32 7\n  DIVB" + LOG));   // low bytes: -44 / 7
  EXPECT_EQ(r.logs, (Logs{"-2147483648", "0", "-1", "-2147483648", "0", "-6"}));
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

TEST(Interpreter, ShiftCounts) {
  const RunResult r = run(mainMethod(std::string() +
      "  PUSH_IMM32 1\n  PUSH_IMM32 32\n  SHL" + LOG +
      "  PUSH_IMM32 -8\n  PUSH_IMM32 -1\n  SHL" + LOG +      // right by one
      "  PUSH_IMM32 -8\n  PUSH_IMM32 40\n  SHR" + LOG +
      "  PUSH_IMM32 1\n  PUSH_IMM32 -2\n  SHR" + LOG +       // left by two
      "  PUSH_IMM32 3\n  PUSH_IMM32 0x102\n  SHLB" + LOG +   // count is the low byte
      "  PUSH_IMM32 1\n  PUSH_IMM32 255\n  SHLB" + LOG +     // 255 unsigned: 0
      "  PUSH_IMM32 -128\n  PUSH_IMM32 -1\n  SHRB" + LOG +   // 255 unsigned: the sign
      "  PUSH_IMM32 64\n  PUSH_IMM32 3\n  SHRB" + LOG));
  EXPECT_EQ(r.logs, (Logs{"0", "-4", "0", "4", "12", "0", "-1", "8"}));
}

TEST(Interpreter, ComparisonsAndTruth) {
  const RunResult r = run(mainMethod(std::string() +
      "  PUSH_IMM32 -1\n  PUSH_IMM32 5\n  BOOL_EQ" + LOG +
      "  PUSH_IMM32 9\n  PUSH_IMM32 9\n  CMP_EQ" + LOG +
      "  PUSH_IMM32 0x8000\n  PUSH_IMM32 1\n  CMPH_LT" + LOG +
      "  PUSH_IMM32 0x17F\n  PUSH_IMM32 2\n  CMPB_GT" + LOG +
      "  PUSH_IMM32 0\n  PUSH_IMM32 3\n  LXOR" + LOG +
      "  PUSH_IMM32 0\n  NOT" + LOG +
      "  PUSH_IMM32 0x1FF\n  ZERO_EXTEND_BYTE" + LOG));
  EXPECT_EQ(r.logs, (Logs{"1", "-1", "-1", "-1", "-1", "-1", "255"}));
}

TEST(Interpreter, MemoryIsLittleEndianAndUnaligned) {
  // A two-word block; a word stored at byte 1 straddles both words.
  const RunResult r = run(mainMethod(
      "  ALLOC LEAF, 2\n"        // local 1 = the block
      "  LOAD_LOCAL -1\n  PUSH_IMM32 1\n  ADD\n  PUSH_IMM32 0x11223344\n  STORE_WORD\n"
      "  LOAD_LOCAL -1\n  DEREF" + std::string(LOG) +
      "  LOAD_LOCAL -1\n  FIELD_ADDR 1\n  DEREF" + LOG +
      "  LOAD_LOCAL -1\n  PUSH_IMM32 4\n  ADD\n  PUSH_IMM32 0x7F\n  STORE_BYTE\n"
      "  LOAD_LOCAL -1\n  FIELD_ADDR 1\n  DEREF" + LOG +
      "  RESERVE -1", "locals=1 localrefs=1"));
  EXPECT_EQ(r.logs, (Logs{"573785088", "17", "127"}));   // 0x22334400, 0x11, 0x7F
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

TEST(Interpreter, JumpOffsetsAreLiteral) {
  // JUMP16 at A goes to A + 2 + off: skip the 5-byte PUSH_IMM32 that follows it.
  const RunResult r = run(mainMethod(
      "  JUMP16 6\n"          // at A: lands on A + 8, past the PUSH_IMM32 at A + 3
      "  PUSH_IMM32 1\n"
      "  PUSH_IMM32 2" + std::string(LOG) +
      "  PUSH_IMM32 0\n  JUMP_IF_FALSE32 6\n"   // at B: lands on B + 10, past the next PUSH_IMM32
      "  PUSH_IMM32 3\n"
      "  PUSH_IMM32 4" + LOG));
  EXPECT_EQ(r.logs, (Logs{"2", "4"}));
}

TEST(Interpreter, LoopsAndLongJumps) {
  std::string padding;
  for (int i = 0; i < 40000; ++i) padding += "  NOP\n";
  const RunResult r = run(mainMethod(
      "  RESERVE 2\n"                 // slot 1 = i, slot 2 = sum
      "top:\n"
      "  LOAD_LOCAL -2\n  PUSH_IMM32 1000\n  CMP_LT\n  JUMP_IF_FALSE done\n"
      "  ADDR_LOCAL -1\n  LOAD_LOCAL -3\n  ADD_AT\n"
      "  ADDR_LOCAL -2\n  INC_AT\n"
      "  JUMP top\n"
      "far:\n" + padding + "  JUMP back\n"
      "done:\n  JUMP far\n"
      "back:\n  LOAD_LOCAL -1" + LOG + "  RESERVE -2", "locals=2"));
  EXPECT_EQ(r.logs, (Logs{"499500"}));
}

const char* const kFib =
    ".method fib params=1 results=1\n"
    "  LOAD_LOCAL -2\n  PUSH_IMM32 2\n  CMP_LT\n  JUMP_IF_FALSE recurse\n"
    "  ADDR_LOCAL -3\n  LOAD_LOCAL -3\n  STORE_WORD\n  RETURN 0, 2\n"
    "recurse:\n"
    "  ADDR_LOCAL -3\n"
    "  PUSH_IMM32 0\n  LOAD_LOCAL -4\n  PUSH_IMM32 1\n  SUB\n  CALL fib\n"
    "  PUSH_IMM32 0\n  LOAD_LOCAL -5\n  PUSH_IMM32 2\n  SUB\n  CALL fib\n"
    "  ADD\n  STORE_WORD\n  RETURN 0, 2\n";

TEST(Interpreter, RecursiveCalls) {
  const RunResult r = run(std::string(kFib) + mainMethod(std::string(
      "  PUSH_IMM32 0\n  PUSH_IMM32 20\n  CALL fib") + LOG));
  EXPECT_EQ(r.logs, (Logs{"6765"}));
}

TEST(Interpreter, VirtualCallsAndTypeTests) {
  const RunResult r = run(
      ".class Shape super=Object\n.class Square super=Shape\n.class Circle super=Shape\n"
      ".virtual \"<shape>.name\"\n  Square square_name\n  Circle circle_name\n.end\n"
      ".method square_name params=1 paramrefs=0\n  PUSH_STRING_CELL \"square\"\n  NATIVE_CALL Debug 1\n  RETURN 0, 2\n"
      ".method circle_name params=1 paramrefs=0\n  PUSH_STRING_CELL \"circle\"\n  NATIVE_CALL Debug 1\n  RETURN 0, 2\n" +
      mainMethod(std::string(
          "  ALLOC CLASS_OBJECT, 1\n  DUP\n  SET_CLASS Circle\n"        // slot 1: a circle
          "  DUP\n  DUP\n  DEREF\n  CALL_VIRTUAL \"<shape>.name\"\n"
          "  ALLOC CLASS_OBJECT, 1\n  DUP\n  SET_CLASS Square\n"        // slot 2: a square
          "  DUP\n  DUP\n  DEREF\n  CALL_VIRTUAL \"<shape>.name\"\n"
          "  INSTANCE_OF Shape") + LOG +
          "  DUP\n  INSTANCE_OF Square" + LOG +
          "  CHECK_CAST Shape\n  TRY Throwable, failed\n  CHECK_CAST Square\n  END_TRY -1\n  RESERVE -1\n  RETURN 0, 1\n"
          "failed:\n  FIELD_ADDR 1\n  DEREF" + LOG + "  RESERVE -1\n"));
  EXPECT_EQ(r.logs, (Logs{"circle", "square", "-1", "0", "14"}));
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

TEST(Interpreter, ErrorsBecomeBytecodeExceptions) {
  const RunResult r = run(mainMethod(
      "  TRY Throwable, caught\n"
      "  PUSH_IMM32 1\n  PUSH_IMM32 0\n  DIV\n"
      "  PUSH_STRING_CELL \"not reached\"\n  NATIVE_CALL Debug 1\n"
      "  END_TRY -1\n  RETURN 0, 1\n"
      "caught:\n  DUP\n  FIELD_ADDR 1\n  DEREF" + std::string(LOG) +
      "  FIELD_ADDR 2\n  DEREF\n  NATIVE_CALL Debug 1\n"
      "  PUSH_IMM32 0\n  THROW\n  RESERVE -1"));   // a null throw does nothing else
  EXPECT_EQ(r.logs, (Logs{"3", "DivisionByZeroException: Division by zero."}));
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

TEST(Interpreter, ThrowsAcrossFramesToTheNearestMatchingHandler) {
  const RunResult r = run(
      ".class Other super=Object\n"
      ".method thrower\n  ALLOC CLASS_OBJECT, 3\n  DUP\n  SET_CLASS Throwable\n  THROW\n"
      ".method middle\n  TRY Other, wrong\n  CALL thrower\n  END_TRY -1\n  RETURN 0, 1\n"
      "wrong:\n  PUSH_STRING_CELL \"wrong handler\"\n  NATIVE_CALL Debug 1\n  RESERVE -1\n  RETURN 0, 1\n" +
      mainMethod("  TRY any, caught\n  CALL middle\n  END_TRY -1\n  RETURN 0, 1\n"
                 "caught:\n  PUSH_STRING_CELL \"caught\"\n  NATIVE_CALL Debug 1\n  RESERVE -1\n"));
  EXPECT_EQ(r.logs, (Logs{"caught"}));
  EXPECT_EQ(r.errorCode, 0) << r.error;
}

TEST(Interpreter, UncaughtThrowReachesTheImagesHook) {
  ScriptMachine m(mainMethod("  PUSH_IMM32 1\n  PUSH_IMM32 0\n  REM"));
  const RunResult r = m.runMain();
  EXPECT_EQ(r.logs, (Logs{"Uncaught exception", "DivisionByZeroException: Division by zero."}));
  EXPECT_EQ(m.host.exits, 1);
  EXPECT_TRUE(r.terminated);   // the hook ends the run when the host does not exit
}

TEST(Interpreter, StringsAreNewObjectsEachTime) {
  const RunResult r = run(mainMethod(std::string(
      "  PUSH_STRING \"x\"\n  PUSH_STRING \"x\"\n  CMP_EQ") + LOG +
      "  PUSH_IMM32 -42\n  INT_TO_STRING\n  BOX\n  NATIVE_CALL Debug 1\n"));
  EXPECT_EQ(r.logs, (Logs{"0", "-42"}));
}

}  // namespace

namespace {

// Common sequences run fused (one dispatch); jumping into the middle of one
// and running out of budget inside one behave as the plain instructions.
TEST(Interpreter, FusedSequencesKeepTheirParts) {
  const RunResult r = run(mainMethod(
      "  PUSH_IMM32 1\n  JUMP mid\n"
      "  LOAD_LOCAL -1\n"                  // starts a compare-and-branch sequence
      "mid:\n  PUSH_IMM32 3\n  CMP_LT\n  JUMP_IF_FALSE no\n"
      "  PUSH_STRING_CELL \"yes\"\n  NATIVE_CALL Debug 1\n"
      "no:\n"
      "  PUSH_IMM32 10\n  ADDR_LOCAL -1\n  PUSH_IMM32 5\n  SUB_AT\n"   // fused: slot -= 5
      "  ADDR_LOCAL -1\n  DEC_AT\n"
      "  LOAD_LOCAL -1\n  PUSH_IMM32 100\n  ADD" + std::string(LOG) +
      "  LOAD_LOCAL -1\n  LOAD_LOCAL -1\n  MUL" + LOG + "  RESERVE -1"));
  EXPECT_EQ(r.logs, (Logs{"yes", "104", "16"}));
  ScriptMachine m(mainMethod("  PUSH_IMM32 0\ntop:\n  LOAD_LOCAL -1\n  PUSH_IMM32 0\n  CMP_NE\n  JUMP_IF_FALSE top"));
  m.vm().setBudget(1000);
  const RunResult budget = m.runMain();
  EXPECT_NE(budget.error.find("Instruction budget exhausted"), std::string::npos) << budget.error;
}

}  // namespace

namespace {
// Records what the machine shows an observer.
struct Recorder : MRunObserver {
  std::vector<TInt32> steps, raisedAt, uncaughtAt;
  void step(TInt32 pc, TInt32) override { steps.push_back(pc); }
  void raised(TInt32 pc) override { raisedAt.push_back(pc); }
  void uncaught(TUint32, TInt32 pc) override { uncaughtAt.push_back(pc); }
};
}  // namespace

// Only the traced range reaches the observer, each instruction once and
// unfused (the loop below would fuse), and the results do not change.
TEST(Interpreter, TracedCodeIsObservedAndRunsTheSame) {
  ScriptMachine m(mainMethod(
      "  PUSH_IMM32 0\nloop:\n  LOAD_LOCAL -1\n  PUSH_IMM32 3\n  CMP_LT\n  JUMP_IF_FALSE16 done\n"
      "  ADDR_LOCAL -1\n  INC_AT\n  JUMP loop\ndone:\n  INT_TO_STRING\n  BOX\n  NATIVE_CALL Debug 1"));
  ASSERT_TRUE(m.assembled()) << m.assemblyErrors();
  Recorder r;
  m.vm().setObserver(&r);
  const TInt32 size = m.vm().tables().codeSize;
  const TInt32 main = size - 36;   // main is last: 36 bytes
  m.vm().setTraceRange(main, size);
  EXPECT_EQ(m.runMain().logs, (std::vector<std::string>{"3"}));
  ASSERT_FALSE(r.steps.empty());
  EXPECT_EQ(r.steps.front(), main);
  // The push, 4 loop tests of 4, 3 increments of 3, the log's 3 and RETURN.
  EXPECT_EQ(r.steps.size(), 1u + 16 + 9 + 3 + 1);
  EXPECT_EQ(std::count(r.steps.begin(), r.steps.end(), main + 5), 4);
  // A fused sequence that starts before the range and reaches into it runs
  // plain: the loop test's PUSH_IMM32, the first traced byte, is seen on every pass.
  m.vm().setTraceRange(main + 7, size);
  r.steps.clear();
  EXPECT_EQ(m.runMain().logs, (std::vector<std::string>{"3"}));
  EXPECT_EQ(std::count(r.steps.begin(), r.steps.end(), main + 7), 4);
  m.vm().setTraceRange(0, 0);
  r.steps.clear();
  EXPECT_EQ(m.runMain().logs, (std::vector<std::string>{"3"}));
  EXPECT_TRUE(r.steps.empty());
}

// Converted errors and uncaught throws reach the observer with their pc.
TEST(Interpreter, ObserverSeesRaisesAndUncaughtThrows) {
  ScriptMachine m(mainMethod("  PUSH_IMM32 1\n  PUSH_IMM32 0\n  DIV"));
  ASSERT_TRUE(m.assembled()) << m.assemblyErrors();
  Recorder r;
  m.vm().setObserver(&r);
  m.runMain();
  ASSERT_EQ(r.raisedAt.size(), 1u);
  EXPECT_EQ(m.vm().tables().code[r.raisedAt[0]], OP_DIV);
  ASSERT_EQ(r.uncaughtAt.size(), 1u);
  EXPECT_EQ(m.vm().tables().code[r.uncaughtAt[0]], OP_THROW);
}
