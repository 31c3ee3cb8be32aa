#pragma once
// Superinstructions. The interpreter reads operands from the code area but
// dispatches on a parallel copy in which the first byte of some common
// instruction sequences is replaced by a fused opcode (128 and up) that does
// the whole sequence in one dispatch. Only sequence starts change, so a jump
// into the middle of a sequence runs the original instructions from there. A
// fused handler whose sequence could fault (stack limits, an address check, a
// bad jump target, a budgeted run) falls back to the first original
// instruction before it writes anything, so faults happen exactly where they
// would.
//
// The sequences come from one table of patterns (Fusion.cpp) built from
// families: an operand pushed from a local or a constant and consumed by a
// word operation, a comparison and its branch, a load-operate-store into a
// local, an indexed element load or store. Each family holds every
// comparison or word operation, so the shapes a compiler emits for the same
// statement (an update in place or by load-operate-store, a test at the top
// or at the bottom of a loop, against a constant, a local or a computed
// value) all run fused.
#include "Types.h"

struct ImageTables;

// Members of the families, by index: X(family, index, plain opcode).
#define FUSED_COMPARISONS(X, F) \
  X(F, 0, CMP_EQ) X(F, 1, CMP_LT) X(F, 2, CMP_LE) X(F, 3, CMP_NE) X(F, 4, CMP_GT) X(F, 5, CMP_GE)
#define FUSED_OPERATIONS(X, F) \
  X(F, 0, ADD) X(F, 1, SUB) X(F, 2, MUL) X(F, 3, AND) X(F, 4, OR) X(F, 5, XOR) X(F, 6, SHL) X(F, 7, SHR)
// Index scaling: an index shifted or multiplied by a constant.
#define FUSED_SCALINGS(X, F) X(F, 0, SHL) X(F, 1, MUL)
// A single sequence.
#define FUSED_ONE(X, F) X(F, 0, NOP)

// Every fused opcode: X(name, members); a family's members follow its name.
// The patterns are in Fusion.cpp, the handlers in FusedHandlers.h.
#define FUSED_OPCODES(X)                                                   \
  X(CMP_BRANCH, FUSED_COMPARISONS)         /* LOAD_LOCAL8 d, PUSH_IMM32 k, cmp, JUMP_IF_FALSE16 */ \
  X(LOCALS_CMP_BRANCH, FUSED_COMPARISONS)  /* LOAD_LOCAL8 d, LOAD_LOCAL8 e, cmp, JUMP_IF_FALSE16 */ \
  X(TOP_CMP_BRANCH, FUSED_COMPARISONS)     /* PUSH_IMM32 k, cmp, JUMP_IF_FALSE16 */ \
  X(LOCAL_CMP_BRANCH, FUSED_COMPARISONS)   /* LOAD_LOCAL8 d, cmp, JUMP_IF_FALSE16 */ \
  X(CMP_JUMP, FUSED_COMPARISONS)           /* cmp, JUMP_IF_FALSE16 */ \
  FUSED_BRANCH_TWINS(X)                                                    \
  X(SET_LOCALS, FUSED_OPERATIONS)          /* ADDR_LOCAL8 d, LOAD_LOCAL8 e, LOAD_LOCAL8 f, op, STORE_WORD */ \
  X(SET_LOCAL_IMM, FUSED_OPERATIONS)       /* ADDR_LOCAL8 d, LOAD_LOCAL8 e, PUSH_IMM32 k, op, STORE_WORD */ \
  X(LOCAL_IMM, FUSED_OPERATIONS)           /* LOAD_LOCAL8 d, PUSH_IMM32 k, op */ \
  X(OP_LOCAL, FUSED_OPERATIONS)            /* LOAD_LOCAL8 d, op */ \
  X(OP_IMM, FUSED_OPERATIONS)              /* PUSH_IMM32 k, op */ \
  X(OP_STORE, FUSED_OPERATIONS)            /* op, STORE_WORD */ \
  X(INDEX_LOAD, FUSED_SCALINGS)            /* LOAD_LOCAL8 b, LOAD_LOCAL8 i, PUSH_IMM32 k, scale, ADD, DEREF */ \
  X(INDEX_STORE, FUSED_SCALINGS)           /* ... ADD, LOAD_LOCAL8 v, STORE_WORD */ \
  X(INDEX_ADDR, FUSED_SCALINGS)            /* LOAD_LOCAL8 b, LOAD_LOCAL8 i, PUSH_IMM32 k, scale, ADD */ \
  X(LOCAL_ADD_LOCAL, FUSED_ONE)            /* ADDR_LOCAL8 d, LOAD_LOCAL8 e, ADD_AT */ \
  X(LOCAL_SUB_LOCAL, FUSED_ONE)            /* ADDR_LOCAL8 d, LOAD_LOCAL8 e, SUB_AT */ \
  X(LOCAL_ADD_IMM, FUSED_ONE)              /* ADDR_LOCAL8 d, PUSH_IMM32 k, ADD_AT */ \
  X(LOCAL_SUB_IMM, FUSED_ONE)              /* ADDR_LOCAL8 d, PUSH_IMM32 k, SUB_AT */ \
  X(LOCAL_INC, FUSED_ONE)                  /* ADDR_LOCAL8 d, INC_AT */ \
  X(LOCAL_DEC, FUSED_ONE)                  /* ADDR_LOCAL8 d, DEC_AT */ \
  X(COPY_LOCAL, FUSED_ONE)                 /* ADDR_LOCAL8 d, LOAD_LOCAL8 e, STORE_WORD */ \
  X(SET_IMM, FUSED_ONE)                    /* ADDR_LOCAL8 d, PUSH_IMM32 k, STORE_WORD */ \
  X(STORE_THROUGH, FUSED_ONE)              /* LOAD_LOCAL8 a, LOAD_LOCAL8 v, STORE_WORD */ \
  X(LOAD_FIELD, FUSED_ONE)                 /* LOAD_LOCAL8 d, FIELD_ADDR8 k, DEREF */ \
  X(LOAD_THROUGH, FUSED_ONE)               /* LOAD_LOCAL8 d, DEREF */ \
  X(LOAD_LOCAL2, FUSED_ONE)                /* LOAD_LOCAL8 d, LOAD_LOCAL8 e */ \
  X(LOCAL_BRANCH, FUSED_ONE)               /* LOAD_LOCAL8 d, JUMP_IF_FALSE16 */

// Twins of the branching families: the same handlers again, given to every
// second site of a family in code order. A handler's dispatch jump is one
// indirect branch whose target the processor predicts from where it went
// before; two sites of one handler in one loop (a test at the top and one at
// the bottom) going to different successors would mispredict on every pass.
#define FUSED_BRANCH_TWINS(X)                                              \
  X(CMP_BRANCH_TWIN, FUSED_COMPARISONS)                                    \
  X(LOCALS_CMP_BRANCH_TWIN, FUSED_COMPARISONS)                             \
  X(TOP_CMP_BRANCH_TWIN, FUSED_COMPARISONS)                                \
  X(LOCAL_CMP_BRANCH_TWIN, FUSED_COMPARISONS)                              \
  X(CMP_JUMP_TWIN, FUSED_COMPARISONS)

#define FUSED_COUNT_MEMBER(F, i, op) +1
constexpr int kFusedComparisons = 0 FUSED_COMPARISONS(FUSED_COUNT_MEMBER, _);
constexpr int kFusedOperations = 0 FUSED_OPERATIONS(FUSED_COUNT_MEMBER, _);
constexpr int kFusedScalings = 0 FUSED_SCALINGS(FUSED_COUNT_MEMBER, _);

enum FusedOpcode : TUint8 {
  FUSED_FIRST = 128,
  FUSED_BEFORE_FIRST = FUSED_FIRST - 1,
#define FUSED_ENUM(name, members) FUSED_##name, FUSED_##name##_LAST = FUSED_##name - 1 members(FUSED_COUNT_MEMBER, _),
  FUSED_OPCODES(FUSED_ENUM)
#undef FUSED_ENUM
  FUSED_END,
  // A traced instruction: the observer sees it, then it runs unfused.
  TRACED_INSTRUCTION = 255
};
#undef FUSED_COUNT_MEMBER
static_assert(FUSED_END <= TRACED_INSTRUCTION, "fused opcodes overflow the byte");

// Rebuilds the dispatch copy of the whole code area: bytes of 128 and up
// become 125 (they are invalid either way, and must not reach a fused
// handler), fusible sequences inside one image get their fused opcode
// (unless a traced instruction lies inside them), and instructions in the
// trace range become TRACED_INSTRUCTION.
void buildExecutionCode(ImageTables& t);
