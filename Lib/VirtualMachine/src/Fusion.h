#pragma once
// Superinstructions. The interpreter reads operands from the code area but
// dispatches on a parallel copy in which the first byte of some common
// instruction sequences is replaced by a fused opcode (128 and up) that does
// the whole sequence in one dispatch. Only sequence starts change, so a jump
// into the middle of a sequence runs the original instructions from there. A fused handler whose sequence could
// fault (stack limits, a bad jump target, a budgeted run) falls back to the
// first original instruction, so faults happen exactly where they would.
#include "Types.h"

struct ImageTables;

enum FusedOpcode : TUint8 {
  // LOAD_LOCAL8 d, PUSH_IMM32 k, CMP_xx, JUMP_IF_FALSE16 off; one per comparison
  FUSED_CMP_BRANCH = 128,    // CMP_EQ
  FUSED_CMP_BRANCH_LT,
  FUSED_CMP_BRANCH_LE,
  FUSED_CMP_BRANCH_NE,
  FUSED_CMP_BRANCH_GT,
  FUSED_CMP_BRANCH_GE,
  FUSED_LOCAL_ADD_LOCAL,     // ADDR_LOCAL8 d, LOAD_LOCAL8 e, ADD_AT
  FUSED_LOCAL_SUB_LOCAL,     // ADDR_LOCAL8 d, LOAD_LOCAL8 e, SUB_AT
  FUSED_LOCAL_ADD_IMM,       // ADDR_LOCAL8 d, PUSH_IMM32 k, ADD_AT
  FUSED_LOCAL_SUB_IMM,       // ADDR_LOCAL8 d, PUSH_IMM32 k, SUB_AT
  FUSED_LOCAL_INC,           // ADDR_LOCAL8 d, INC_AT
  FUSED_LOCAL_DEC,           // ADDR_LOCAL8 d, DEC_AT
  FUSED_PUSH_LOCAL_ADD_IMM,  // LOAD_LOCAL8 d, PUSH_IMM32 k, ADD
  FUSED_PUSH_LOCAL_SUB_IMM,  // LOAD_LOCAL8 d, PUSH_IMM32 k, SUB
  FUSED_LOAD_LOCAL2,         // LOAD_LOCAL8 d, LOAD_LOCAL8 e
  FUSED_END,
  // A traced instruction: the observer sees it, then it runs unfused.
  TRACED_INSTRUCTION = 255
};

// Rebuilds the dispatch copy of the whole code area: bytes of 128 and up
// become 125 (they are invalid either way, and must not reach a fused
// handler), fusible sequences inside one image get their fused opcode, and
// instructions in the trace range become TRACED_INSTRUCTION.
void buildExecutionCode(ImageTables& t);
