// Hostile programs: every one must end with a clean error (or keep running
// correctly), never touch memory outside the machine, and leave a heap
// that verifies.
#include "ScriptMachine.h"

#include <gtest/gtest.h>

namespace {

std::string mainMethod(const std::string& body, const std::string& attributes = "") {
  return ".method main export=\"main\" " + attributes + "\n" + body + "\n  RETURN 0, 1\n";
}

RunResult run(const std::string& source, bool withRuntime = true, long long budget = -1) {
  ScriptMachine m(source, withRuntime);
  EXPECT_TRUE(m.assembled()) << m.assemblyErrors();
  if (!m.assembled()) return RunResult();
  m.vm().setBudget(budget);
  return m.runMain();
}

// A runtime error (code 11) leaves the call unconverted, with this text.
void expectRuntimeError(const RunResult& r, const std::string& text) {
  EXPECT_EQ(r.errorCode, 11) << r.error;
  EXPECT_NE(r.error.find(text), std::string::npos) << r.error;
}

TEST(InterpreterSafety, AddressesOutsideTheArenaAreRefused) {
  expectRuntimeError(run(mainMethod("  PUSH_IMM32 0x7FFFFFF0\n  DEREF\n  RESERVE -1")), "Invalid address");
  expectRuntimeError(run(mainMethod("  PUSH_IMM32 -4\n  PUSH_IMM32 1\n  STORE_WORD")), "Invalid address");
  expectRuntimeError(run(mainMethod("  PUSH_IMM32 0x7FFFFFF0\n  LOAD_WORDS 100\n  RESERVE -100")), "Invalid address");
}

TEST(InterpreterSafety, NullAccessIsABytecodeException) {
  const RunResult r = run(mainMethod(
      "  TRY any, caught\n  PUSH_IMM32 0\n  DEREF\n  END_TRY -1\n  RESERVE -1\n  RETURN 0, 1\n"
      "caught:\n  FIELD_ADDR 2\n  DEREF\n  NATIVE_CALL Debug 1"));
  EXPECT_EQ(r.logs, (std::vector<std::string>{"NullPointerException: NULL pointer"}));
}

TEST(InterpreterSafety, ControlFlowStaysInsideTheCode) {
  expectRuntimeError(run(mainMethod("  JUMP32 100000")), "Invalid jump target");
  expectRuntimeError(run(mainMethod("  JUMP16 -200")), "Invalid jump target");
  expectRuntimeError(run(mainMethod("  CALL 99999, -1")), "Invalid jump target");
  // An instruction cut off by the end of the code is refused by the loader.
  const RunResult cut = run(mainMethod("") + "  .bytes 23 1");
  EXPECT_EQ(cut.errorCode, 6) << cut.error;
  expectRuntimeError(run(mainMethod("  .bytes 200")), "Internal error: invalid opcode -56");
}

TEST(InterpreterSafety, StacksAreBounded) {
  expectRuntimeError(run(".method rec\n  CALL rec\n  RETURN 0, 1\n" + mainMethod("  CALL rec")), "Stack overflow");
  expectRuntimeError(run(mainMethod("  RESERVE32 20000")), "Stack overflow");
  expectRuntimeError(run(mainMethod("  RESERVE -5")), "Stack underflow");
  expectRuntimeError(run(mainMethod("  RESERVE32 -5")), "Stack underflow");
  expectRuntimeError(run(mainMethod("  PACK32 -100000")), "Stack overflow");
  std::string tries;
  for (int i = 0; i < 130; ++i) tries += "  TRY any, out\n";
  expectRuntimeError(run(mainMethod(tries + "out:")), "Too many active exception handlers");
  expectRuntimeError(run(mainMethod("  END_TRY -1")), "Exception handler stack underflow");
}

TEST(InterpreterSafety, NegativeCountsAreRefused) {
  for (const char* op : {"STORE_WORDS -3", "LOAD_WORDS32 -70000", "CLEAR_WORDS -2", "COPY_WORDS -1"}) {
    const RunResult r = run(mainMethod("  ALLOC LEAF, 2\n  DUP\n  " + std::string(op) + "\n  RESERVE -2"));
    EXPECT_NE(r.errorCode, 0) << op;
  }
}

TEST(InterpreterSafety, FreeOnlyFreesLiveBlocks) {
  expectRuntimeError(run(mainMethod("  ALLOC LEAF, 4\n  PUSH_IMM32 4\n  ADD\n  FREE")), "Invalid address");
  expectRuntimeError(run(mainMethod("  ALLOC LEAF, 4\n  DUP\n  FREE\n  FREE")), "Invalid address");
  expectRuntimeError(run(mainMethod("  PUSH_IMM32 12345\n  FREE")), "Invalid address");
  // FREE_INDIRECT of a cell whose word is not a block frees nothing.
  expectRuntimeError(run(mainMethod("  PUSH_IMM32 8\n  BOX\n  FREE_INDIRECT")), "Invalid address");
  const RunResult ok = run(mainMethod("  ALLOC LEAF, 1\n  BOX\n  FREE_INDIRECT\n  PUSH_IMM32 0\n  FREE"));
  EXPECT_EQ(ok.errorCode, 0) << ok.error;
}

TEST(InterpreterSafety, AllocationOperandsAreChecked) {
  // ALLOC accepts 1 to 17 except 8, codes with a name or without.
  for (int code = 0; code < 256; code += code < 20 ? 1 : 47) {
    const RunResult r = run(mainMethod("  ALLOC " + std::to_string(code) + ", 1\n  RESERVE -1"));
    if (code >= 1 && code <= 17 && code != 8) EXPECT_EQ(r.errorCode, 0) << code << ": " << r.error;
    else expectRuntimeError(r, "Invalid mem alloc gc code");
  }
  EXPECT_EQ(run(mainMethod("  ALLOC STREAM_HOLDER, 2\n  RESERVE -1")).errorCode, 0);
  expectRuntimeError(run(mainMethod("  RESERVE 2\n  ADDR_LOCAL -2\n  NEW_VECTOR 3\n  RESERVE -2")),
                     "Invalid vector element size");
}

TEST(InterpreterSafety, TheCollectorOnlyFollowsLiveBlocks) {
  // The globals claim three reference fields in a two-word object and hold
  // a small integer and an address inside another block.
  const RunResult r = run(
      ".globals 8\n.class Holder super=Object refs=1,2,3\n" +
      mainMethod("  PUSH_GLOBALS\n  SET_CLASS Holder\n"
                 "  PUSH_GLOBALS\n  FIELD_ADDR 1\n  ALLOC LEAF, 4\n  PUSH_IMM32 6\n  ADD\n  STORE_WORD\n"
                 "  PUSH_GLOBALS\n  FIELD_ADDR 1\n  PUSH_IMM32 12345\n  STORE_WORD\n"));
  EXPECT_EQ(r.errorCode, 0) << r.error;
  const RunResult tiny = run(".globals 3\n" + mainMethod("  PUSH_GLOBALS\n  RESERVE -1"));
  EXPECT_EQ(tiny.errorCode, 0) << tiny.error;
}

TEST(InterpreterSafety, MissingHooksAreReported) {
  const std::string divide = mainMethod("  PUSH_IMM32 1\n  PUSH_IMM32 0\n  DIV");
  expectRuntimeError(run(divide, false), "Missing runtime hook vminternalthrow<int>,<string>");
  expectRuntimeError(run(".class T\n" + mainMethod("  ALLOC CLASS_OBJECT, 1\n  THROW"), false),
                     "Missing runtime hook vmprintthrowableandexit<throwable>");
}

TEST(InterpreterSafety, TheBudgetEndsEndlessLoops) {
  expectRuntimeError(run(mainMethod("top:\n  JUMP top"), true, 100000), "Instruction budget exhausted");
}

TEST(InterpreterSafety, ByteDivisionByAZeroLowByte) {
  const RunResult r = run(mainMethod("  TRY any, caught\n  PUSH_IMM32 5\n  PUSH_IMM32 0x100\n  DIVB\n"
                                     "caught:\n  FIELD_ADDR 1\n  DEREF\n  INT_TO_STRING\n  BOX\n  NATIVE_CALL Debug 1"));
  EXPECT_EQ(r.logs, (std::vector<std::string>{"3"}));
}

}  // namespace

namespace {

TEST(InterpreterSafety, HeapMetadataAndNativeObjectsAreSealed) {
  // A string object holds host pointers: no bytecode store or load reaches it.
  expectRuntimeError(run(mainMethod("  PUSH_STRING \"x\"\n  PUSH_IMM32 0\n  STORE_WORD")), "Invalid address");
  expectRuntimeError(run(mainMethod("  PUSH_STRING \"x\"\n  FIELD_ADDR 2\n  DEREF\n  RESERVE -1")), "Invalid address");
  // Block headers and footers.
  expectRuntimeError(run(mainMethod("  ALLOC LEAF, 2\n  PUSH_IMM32 24\n  SUB\n  PUSH_IMM32 1\n  STORE_WORD")),
                     "Invalid address");
  expectRuntimeError(run(mainMethod("  ALLOC LEAF, 2\n  PUSH_IMM32 2\n  SUB\n  DEREF\n  RESERVE -1")), "Invalid address");
  expectRuntimeError(run(mainMethod("  ALLOC LEAF, 2\n  FIELD_ADDR 2\n  DEREF\n  RESERVE -1")), "Invalid address");
  // The block's own words stay open.
  const RunResult ok = run(mainMethod("  ALLOC LEAF, 2\n  FIELD_ADDR 1\n  PUSH_IMM32 5\n  STORE_WORD"));
  EXPECT_EQ(ok.errorCode, 0) << ok.error;
}

TEST(InterpreterSafety, NativesOnlyTakeObjectsTheyMade) {
  // A plain block dressed up as a string, and a string given as a vector.
  expectRuntimeError(run(mainMethod("  ALLOC LEAF, 4\n  BOX\n  NATIVE_CALL Debug 1")), "Invalid address");
  expectRuntimeError(run(mainMethod("  PUSH_IMM32 70000\n  BOX\n  NATIVE_CALL Debug 1")), "Invalid address");
  expectRuntimeError(run(mainMethod("  PUSH_STRING_CELL \"x\"\n  NATIVE_CALL IntVector 11\n  RESERVE -1")),
                     "Invalid vector");
  // A byte vector is not an int vector.
  expectRuntimeError(run(mainMethod("  RESERVE 2\n  ADDR_LOCAL -2\n  NEW_VECTOR 1\n  ADDR_LOCAL -2\n"
                                    "  NATIVE_CALL IntVector 11\n  RESERVE -3", "locals=2 localvectors=1:data")),
                     "Invalid vector");
}

}  // namespace

namespace {

TEST(InterpreterSafety, AFreedElementBlockIsNotWrittenThrough) {
  // Free the element block of a live vector, let a string take its space,
  // then append to the vector: refused, and the heap still verifies.
  const RunResult r = run(mainMethod(
      "  RESERVE 2\n  ADDR_LOCAL -2\n  NEW_VECTOR 4\n"
      "  ADDR_LOCAL -2\n  PUSH_IMM32 7\n  PUSH_IMM32 3\n  NATIVE_CALL IntVector 3\n"   // [7, 7, 7]
      "  ADDR_LOCAL -2\n  PUSH_IMM32 0\n  NATIVE_CALL IntVector 6\n  FREE\n"            // free its block
      "  PUSH_STRING_CELL \"takes the space\"\n  RESERVE -1\n"
      "  ADDR_LOCAL -2\n  PUSH_IMM32 9\n  NATIVE_CALL IntVector 19\n"                   // append
      "  RESERVE -2", "locals=2 localvectors=1:data"));
  EXPECT_EQ(r.errorCode, 11) << r.error;
}

}  // namespace
