// The dispatch loop.
//
// Hazard rules for this file:
//  1. ip and sp live in locals; anything that can raise, allocate or call out
//     (natives, boxing, string creation) runs after SYNC(), so the machine
//     state names the faulting instruction and the invoker can redirect pc.
//  2. ip points at the opcode of the instruction being executed until NEXT()
//     advances it; pc = ip - code.
//  3. Every address the bytecode supplies goes through MEM(); it raises
//     "NULL pointer" for 0 and "Invalid address" outside the committed arena.
//  4. sp is checked once per dispatch against [-1, kStackSlots). Each
//     instruction moves sp or indexes slots by a bounded amount (< the guard
//     slots) before that check; instructions with 32-bit counts check first.
//  5. Control transfers check their target against the code size; falling
//     off the end decodes the pad opcode 125, which is invalid.
//  6. Unaligned little-endian access goes through memcpy (ld32/st32...).
#include "Interpreter.h"

#include "Errors.h"
#include "Fusion.h"
#include "NString.h"
#include "NVector.h"
#include "ObjectWrapper.h"
#include "Opcodes.h"
#include "VirtualMachine.h"

#include <QString>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#if defined(__GNUC__) && !defined(VM_USE_SWITCH)
#define VM_COMPUTED_GOTO 1
#else
#define VM_COMPUTED_GOTO 0
// Every case also carries a label for the fused handlers' fallbacks.
#pragma GCC diagnostic ignored "-Wunused-label"
#endif

#define LIKELY(x) __builtin_expect(!!(x), 1)
#define UNLIKELY(x) __builtin_expect(!!(x), 0)

namespace {

inline TInt32 rd8(const TUint8* p) { return static_cast<TInt8>(*p); }
inline TInt32 rd16(const TUint8* p) {
  TInt16 v;
  std::memcpy(&v, p, 2);
  return v;
}
inline TInt32 rd32(const TUint8* p) {
  TInt32 v;
  std::memcpy(&v, p, 4);
  return v;
}
inline TUint32 ld32(const TUint8* p) {
  TUint32 v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void st32(TUint8* p, TUint32 v) { std::memcpy(p, &v, 4); }
inline void st16(TUint8* p, TUint32 v) {
  TUint16 h = static_cast<TUint16>(v);
  std::memcpy(p, &h, 2);
}

inline TInt32 shl(TInt32 v, TInt32 n) {
  if (n >= 0) return n > 31 ? 0 : static_cast<TInt32>(static_cast<TUint32>(v) << n);
  return n >= -31 ? (v >> -n) : 0;   // no -n for INT_MIN
}
inline TInt32 shr(TInt32 v, TInt32 n) {
  if (n >= 0) return n > 31 ? 0 : (v >> n);
  return n >= -31 ? static_cast<TInt32>(static_cast<TUint32>(v) << -n) : 0;
}
// Byte forms: count is the unsigned low byte of the top.
inline TInt32 shlb(TInt32 v, TUint32 n) {
  const TInt32 b = static_cast<TInt8>(v);
  return n >= 32 ? 0 : static_cast<TInt32>(static_cast<TUint32>(b) << n);
}
inline TInt32 shrb(TInt32 v, TUint32 n) {
  const TInt32 b = static_cast<TInt8>(v);
  return n >= 32 ? (b < 0 ? -1 : 0) : (b >> n);
}
// In-place byte forms: count is the signed low byte of the top.
inline TUint8 shlbAt(TUint8 byte, TInt32 top) {
  const TInt32 b = static_cast<TInt8>(byte);
  const TInt32 n = static_cast<TInt8>(top);
  if (n > 0) return static_cast<TUint8>(n >= 32 ? 0 : static_cast<TUint32>(b) << n);
  const TUint32 u = static_cast<TUint8>(n);
  return static_cast<TUint8>(u >= 32 ? (b < 0 ? -1 : 0) : (b >> u));
}
inline TUint8 shrbAt(TUint8 byte, TInt32 top) {
  const TInt32 b = static_cast<TInt8>(byte);
  const TInt32 n = static_cast<TInt8>(top);
  if (n > 0) return static_cast<TUint8>(n >= 32 ? (b < 0 ? -1 : 0) : (b >> n));
  const TUint32 u = static_cast<TUint8>(n);
  return static_cast<TUint8>(u >= 32 ? 0 : static_cast<TUint32>(b) << u);
}

inline TInt32 divide(TInt32 a, TInt32 b) { return b == -1 ? static_cast<TInt32>(0u - static_cast<TUint32>(a)) : a / b; }
inline TInt32 remainder(TInt32 a, TInt32 b) { return b == -1 ? 0 : a % b; }

// The word operations and comparisons of the fused families, as their plain handlers do them.
template <int Op>
inline TUint32 wordOp(TUint32 a, TUint32 b) {
  switch (Op) {
    case OP_ADD: return a + b;
    case OP_SUB: return a - b;
    case OP_MUL: return a * b;
    case OP_AND: return a & b;
    case OP_OR: return a | b;
    case OP_XOR: return a ^ b;
    case OP_SHL: return static_cast<TUint32>(shl(static_cast<TInt32>(a), static_cast<TInt32>(b)));
    case OP_SHR: return static_cast<TUint32>(shr(static_cast<TInt32>(a), static_cast<TInt32>(b)));
  }
  return 0;
}
template <int Op>
inline bool compare(TUint32 x, TUint32 y) {
  const TInt32 a = static_cast<TInt32>(x), b = static_cast<TInt32>(y);
  switch (Op) {
    case OP_CMP_EQ: return a == b;
    case OP_CMP_LT: return a < b;
    case OP_CMP_LE: return a <= b;
    case OP_CMP_NE: return a != b;
    case OP_CMP_GT: return a > b;
    case OP_CMP_GE: return a >= b;
  }
  return false;
}

[[noreturn]] void divisionByZero() { raise(ERR_DIVISION_BY_ZERO, "Division by zero."); }
// sp below the frame's reach (-1 is an empty stack) is an underflow.
[[noreturn]] void stackFault(TInt64 sp) {
  if (sp < -1) raiseStackUnderflow();
  raiseStackOverflow();
}
[[noreturn]] void badTarget() { raise(ERR_RUNTIME, "Invalid jump target"); }
[[noreturn]] void tableIndex(TInt32 index) { raise(ERR_INVALID_ARGUMENT, "", index); }

}  // namespace

// Walks a superclass table from id; true when target is met. The walk is
// bounded by the table size so a cyclic table cannot hang the machine.
bool Interpreter::inherits(const Vec<int>& table, TInt32 id, TInt32 target, bool stopAtZero) {
  const TInt32 n = table.size();
  for (TInt32 steps = 0; steps <= n; ++steps) {
    if (stopAtZero ? id <= 0 : id == -1) return false;
    if (id == target) return true;
    if (static_cast<TUint32>(id) >= static_cast<TUint32>(n)) tableIndex(id);
    id = table.data()[id];
  }
  return false;
}

// By value: a caller's temporary is moved in, a named string shared.
TUint32 Interpreter::newString(VMHeap& heap, NString text) {
  const VMAddr a = heap.allocate(sizeof(NString), -1, GC_CODE_STRING);
  new (vmPtr(a)) NString(std::move(text));
  return a;
}

template <typename T>
static VMAddr newVectorObject(VMHeap& heap) {
  const VMAddr a = heap.allocate(sizeof(T), -1, GC_CODE_VECTOR);
  new (vmPtr(a)) T();
  return a;
}

TUint32 Interpreter::newVector(VMHeap& heap, TInt32 size) {
  switch (size) {
    case 1: return newVectorObject<NVector<ObjectWrapper<signed char, 1> > >(heap);
    case 4: return newVectorObject<NVector<ObjectWrapper<int, 1> > >(heap);
    case 8: return newVectorObject<NVector<ObjectWrapper<int, 2> > >(heap);
    case 12: return newVectorObject<NVector<ObjectWrapper<int, 3> > >(heap);
    case 16: return newVectorObject<NVector<ObjectWrapper<int, 4> > >(heap);
    default: raise(ERR_RUNTIME, "Invalid vector element size ", size);
  }
}

void VirtualMachine::run() {
  // Dispatch-table and case macros: computed goto or a portable switch.
#if VM_COMPUTED_GOTO
  // Label addresses exist only inside this function, so the table is filled
  // here on first use: once, under a lock, published with release/acquire so
  // machines started on two threads never see a half-filled table.
  static void* table[256];
  static std::atomic<bool> tableReady{false};
  if (UNLIKELY(!tableReady.load(std::memory_order_acquire))) {
    static std::mutex fill;
    std::lock_guard<std::mutex> lock(fill);
    for (auto& t : table) t = &&L_INVALID;
#define OPCODE(num, name, ops, ...) table[num] = &&L_##name;
#include "Opcodes.def"
#undef OPCODE
#define FUSED_MEMBER_ENTRY(F, i, op) table[FUSED_##F + i] = &&L_FUSED_##F##_##i;
#define FUSED_ENTRIES(name, members) members(FUSED_MEMBER_ENTRY, name)
    FUSED_OPCODES(FUSED_ENTRIES)
#undef FUSED_ENTRIES
#undef FUSED_MEMBER_ENTRY
    table[TRACED_INSTRUCTION] = &&L_TRACED_INSTRUCTION;
    tableReady.store(true, std::memory_order_release);
  }
#define CASE(name) L_##name:
#define FCASE(name) L_##name:
#define FMEMBER(F, i) L_FUSED_##F##_##i:
#define DISPATCH() goto* table[ip[execDelta]]
#define DISPATCH_ORIGINAL() goto* table[*ip]
#else
#define CASE(name) case OP_##name: L_##name:
#define FCASE(name) case name: L_##name:
#define FMEMBER(F, i) case FUSED_##F + i: L_FUSED_##F##_##i:
#define DISPATCH() goto dispatch
#define DISPATCH_ORIGINAL() \
  do {                      \
    op = *ip;               \
    goto redispatch;        \
  } while (0)
#endif

  if (UNLIKELY(iTables.exec.size() != iTables.code.size())) buildExecutionCode(iTables);
  const TUint8* const code = iTables.code.data();
  // Operands come from the code; the opcode to dispatch on from its execution copy.
  const std::ptrdiff_t execDelta = iTables.exec.data() - code;
  const TUint32 codeSize = static_cast<TUint32>(iTables.codeSize);
  TUint32* const stk = iState.stack;
  const VMAddr stackAddr = vmAddr(stk);
  VMHeap& heap = iState.heap;
  TInt32 sp = iState.sp;
  if (iState.pc < 0) return;
  if (static_cast<TUint32>(iState.pc) >= codeSize) badTarget();
  const TUint8* ip = code + iState.pc;
  VMAddr faultAddress = 0;

#define PC() static_cast<TInt32>(ip - code)
#define SYNC() (iState.pc = PC(), iState.sp = sp)
#define NEXT(len)                                                          \
  do {                                                                     \
    ip += (len);                                                           \
    if (UNLIKELY(static_cast<TUint32>(sp + 1) > TUint32(kStackSlots))) goto stack_fault; \
    DISPATCH();                                                            \
  } while (0)
  // Checked translation of a bytecode address of len bytes.
#define MEM(addr, len)                                                     \
  ({                                                                       \
    const VMAddr a_ = (addr);                                              \
    if (UNLIKELY(!vmOpen(a_, (len)))) {                                    \
      faultAddress = a_;                                                   \
      goto address_fault;                                                  \
    }                                                                      \
    vmPtr(a_);                                                             \
  })
#define TOP stk[sp]
#define NEXTSLOT stk[sp - 1]
#define JUMP_TO(target)                                                    \
  do {                                                                     \
    const TUint32 t_ = static_cast<TUint32>(target);                      \
    if (UNLIKELY(t_ >= codeSize)) goto bad_target;                         \
    if (UNLIKELY(iBudget >= 0) && iBudget-- == 0) {                        \
      SYNC();                                                              \
      nextBudgetSlice();                                                   \
    }                                                                      \
    ip = code + t_;                                                        \
    if (UNLIKELY(static_cast<TUint32>(sp + 1) > TUint32(kStackSlots))) goto stack_fault; \
    DISPATCH();                                                            \
  } while (0)
  // Binary word operation on next and top.
#define BINOP(name, expr)                                                  \
  CASE(name) {                                                             \
    const TInt32 a = static_cast<TInt32>(NEXTSLOT), b = static_cast<TInt32>(TOP); \
    (void)a; (void)b;                                                      \
    NEXTSLOT = static_cast<TUint32>(expr);                                 \
    --sp;                                                                  \
    NEXT(1);                                                               \
  }
  // Read-modify-write of the word at the address in next by top.
#define WORD_AT(name, expr)                                                \
  CASE(name) {                                                             \
    TUint8* p = MEM(NEXTSLOT, 4);                                          \
    const TInt32 a = static_cast<TInt32>(ld32(p)), b = static_cast<TInt32>(TOP); \
    (void)a; (void)b;                                                      \
    st32(p, static_cast<TUint32>(expr));                                   \
    sp -= 2;                                                               \
    NEXT(1);                                                               \
  }
#define BYTE_AT(name, expr)                                                \
  CASE(name) {                                                             \
    TUint8* p = MEM(NEXTSLOT, 1);                                          \
    const TUint8 a = *p;                                                   \
    const TUint32 b = TOP;                                                 \
    (void)a; (void)b;                                                      \
    *p = static_cast<TUint8>(expr);                                        \
    sp -= 2;                                                               \
    NEXT(1);                                                               \
  }
#define CMP(name, type, op)                                                \
  CASE(name) {                                                             \
    NEXTSLOT = static_cast<type>(NEXTSLOT) op static_cast<type>(TOP) ? TUint32(-1) : 0u; \
    --sp;                                                                  \
    NEXT(1);                                                               \
  }

  if (UNLIKELY(static_cast<TUint32>(sp + 1) > TUint32(kStackSlots))) goto stack_fault;
#if VM_COMPUTED_GOTO
  DISPATCH();
#else
  TUint8 op;
dispatch:
  op = ip[execDelta];
redispatch:
  switch (op) {
#endif

  CASE(NOP) NEXT(1);
  CASE(LOAD_LOCAL8) {
    const TUint32 v = stk[sp + 1 + rd8(ip + 1)];
    stk[++sp] = v;
    NEXT(2);
  }
  CASE(LOAD_LOCAL32) {
    const TInt64 i = static_cast<TInt64>(sp) + 1 + rd32(ip + 1);
    if (UNLIKELY(i < 0)) goto stack_underflow;
    if (UNLIKELY(i >= kStackSlots)) goto stack_fault;
    const TUint32 v = stk[i];
    stk[++sp] = v;
    NEXT(5);
  }
  CASE(LOAD_DEREF1) {
    TUint32 v = stk[sp + 1 + rd8(ip + 1)];
    v = ld32(MEM(v, 4));
    stk[++sp] = v;
    NEXT(2);
  }
  CASE(LOAD_DEREF2) {
    TUint32 v = stk[sp + 1 + rd8(ip + 1)];
    v = ld32(MEM(v, 4));
    v = ld32(MEM(v, 4));
    stk[++sp] = v;
    NEXT(2);
  }
  CASE(LOAD_DEREF3) {
    TUint32 v = stk[sp + 1 + rd8(ip + 1)];
    v = ld32(MEM(v, 4));
    v = ld32(MEM(v, 4));
    v = ld32(MEM(v, 4));
    stk[++sp] = v;
    NEXT(2);
  }
  CASE(ADDR_LOCAL8) {
    const TUint32 a = iState.slotAddr(sp + 1 + rd8(ip + 1));
    stk[++sp] = a;
    NEXT(2);
  }
  CASE(ADDR_LOCAL32) {
    const TUint32 a = iState.slotAddr(sp + 1 + rd32(ip + 1));
    stk[++sp] = a;
    NEXT(5);
  }
  CASE(DUP) {
    const TUint32 v = TOP;
    stk[++sp] = v;
    NEXT(1);
  }
  CASE(DEREF) {
    TOP = ld32(MEM(TOP, 4));
    NEXT(1);
  }
  CASE(PUSH_GLOBALS) {
    stk[++sp] = iTables.globals;
    NEXT(1);
  }
  CASE(FIELD_ADDR8) {
    if (UNLIKELY(TOP == 0)) goto null_fault;
    TOP += 4u * static_cast<TUint32>(rd8(ip + 1));
    NEXT(2);
  }
  CASE(FIELD_ADDR32) {
    if (UNLIKELY(TOP == 0)) goto null_fault;
    TOP += 4u * static_cast<TUint32>(rd32(ip + 1));
    NEXT(5);
  }
  CASE(BOX) {
    SYNC();
    const VMAddr cell = heap.allocateWords(1, GC_CODE_REF_HOLDER);
    st32(vmPtr(cell), TOP);
    TOP = cell;
    NEXT(1);
  }
  CASE(BOX_DATA) {
    SYNC();
    const VMAddr cell = heap.allocateWords(1, GC_CODE_LEAF);
    st32(vmPtr(cell), TOP);
    TOP = cell;
    NEXT(1);
  }
  CASE(PACK8) {
    SYNC();
    sp = Interpreter::pack(heap, stk, sp, rd8(ip + 1));
    NEXT(2);
  }
  CASE(PACK32) {
    SYNC();
    sp = Interpreter::pack(heap, stk, sp, rd32(ip + 1));
    NEXT(5);
  }
  CASE(RESERVE8) {
    const TInt32 n = rd8(ip + 1);
    if (n > 0) {
      std::memset(stk + sp + 1, 0, 4u * static_cast<TUint32>(n));
      sp += n;
    } else {
      if (UNLIKELY(sp + n < -1)) goto stack_underflow;
      sp += n;
    }
    NEXT(2);
  }
  CASE(RESERVE32) {
    const TInt32 n = rd32(ip + 1);
    const TInt64 nsp = static_cast<TInt64>(sp) + n;
    if (UNLIKELY(nsp < -1)) goto stack_underflow;
    if (UNLIKELY(nsp >= kStackSlots)) goto stack_fault;
    if (n > 0) std::memset(stk + sp + 1, 0, 4u * static_cast<TUint32>(n));
    sp = static_cast<TInt32>(nsp);
    NEXT(5);
  }
  CASE(JUMP_IF_FALSE16) {
    const TUint32 v = stk[sp--];
    if (v == 0) JUMP_TO(PC() + 2 + rd16(ip + 1));
    NEXT(3);
  }
  CASE(JUMP_IF_FALSE32) {
    const TUint32 v = stk[sp--];
    if (v == 0) JUMP_TO(static_cast<TInt64>(PC()) + 4 + rd32(ip + 1));
    NEXT(5);
  }
  CASE(JUMP16) JUMP_TO(PC() + 2 + rd16(ip + 1));
  CASE(JUMP32) JUMP_TO(static_cast<TInt64>(PC()) + 4 + rd32(ip + 1));
  CASE(PUSH_IMM32) {
    stk[++sp] = ld32(ip + 1);
    NEXT(5);
  }
  CASE(PUSH_IMM64) {
    stk[sp + 1] = ld32(ip + 1);
    stk[sp + 2] = ld32(ip + 5);
    sp += 2;
    NEXT(9);
  }
  CASE(PUSH_STRING) {
    const TInt32 id = rd32(ip + 1);
    SYNC();
    if (UNLIKELY(static_cast<TUint32>(id) >= static_cast<TUint32>(iTables.strings.size()))) tableIndex(id);
    const TUint32 s = Interpreter::newString(heap, iTables.strings.data()[id]);
    stk[++sp] = s;
    NEXT(5);
  }
  CASE(STORE_WORD)
  CASE(STORE_WORD_ALT) {
    st32(MEM(NEXTSLOT, 4), TOP);
    sp -= 2;
    NEXT(1);
  }
  CASE(SET_CLASS) {
    st32(MEM(TOP, 4), static_cast<TUint32>(rd32(ip + 1)));
    --sp;
    NEXT(5);
  }
  CASE(CHECK_CAST) {
    const TInt32 cls = static_cast<TInt32>(ld32(MEM(TOP, 4)));
    SYNC();
    if (!Interpreter::inherits(iTables.superclassA, cls, rd32(ip + 1), false)) raise(ERR_TYPE_CONVERSION, "");
    NEXT(5);
  }
  CASE(INSTANCE_OF) {
    const TInt32 cls = static_cast<TInt32>(ld32(MEM(TOP, 4)));
    SYNC();
    TOP = Interpreter::inherits(iTables.superclassA, cls, rd32(ip + 1), false) ? TUint32(-1) : 0u;
    NEXT(5);
  }
  CASE(NATIVE_CALL) {
    SYNC();
    nativeCall(rd8(ip + 1), rd8(ip + 2));
    sp = iState.sp;
    NEXT(3);
  }
  CASE(EXTENSION_CALL) {
    SYNC();
    extensionCall(rd8(ip + 1), rd8(ip + 2));
    sp = iState.sp;
    NEXT(3);
  }
  CASE(CLEAR_WORDS8) {
    const TInt32 n = rd8(ip + 1);
    const VMAddr a = stk[sp--];
    if (n > 0) std::memset(MEM(a, 4u * n), 0, 4u * n);
    NEXT(2);
  }
  CASE(CLEAR_WORDS32) {
    const TInt32 n = rd32(ip + 1);
    const VMAddr a = stk[sp--];
    if (n > 0) {
      if (UNLIKELY(n > (1 << 29))) goto address_fault_at_a;
      std::memset(MEM(a, 4u * n), 0, 4u * static_cast<TUint32>(n));
    }
    NEXT(5);
  address_fault_at_a:
    faultAddress = a;
    goto address_fault;
  }
  CASE(COPY_WORDS8) {
    const TInt32 n = rd8(ip + 1);
    SYNC();
    Interpreter::copyWords(NEXTSLOT, TOP, n);
    --sp;
    NEXT(2);
  }
  CASE(COPY_WORDS32) {
    const TInt32 n = rd32(ip + 1);
    SYNC();
    Interpreter::copyWords(NEXTSLOT, TOP, n);
    --sp;
    NEXT(5);
  }
  CASE(LOAD_WORDS8) {
    const TInt32 n = rd8(ip + 1);
    SYNC();
    sp = Interpreter::loadWords(stk, sp, n);
    NEXT(2);
  }
  CASE(LOAD_WORDS32) {
    const TInt32 n = rd32(ip + 1);
    SYNC();
    sp = Interpreter::loadWords(stk, sp, n);
    NEXT(5);
  }
  CASE(STORE_WORDS8) {
    const TInt32 n = rd8(ip + 1);
    SYNC();
    sp = Interpreter::storeWords(stk, sp, n);
    NEXT(2);
  }
  CASE(STORE_WORDS32) {
    const TInt32 n = rd32(ip + 1);
    SYNC();
    sp = Interpreter::storeWords(stk, sp, n);
    NEXT(5);
  }
  CASE(SIGN_EXTEND_BYTES) {
    const TInt32 n = rd8(ip + 1);
    for (TInt32 i = 0; i < n; ++i) stk[sp - i] = static_cast<TUint32>(static_cast<TInt32>(static_cast<TInt8>(stk[sp - i])));
    NEXT(2);
  }
  CASE(CLEAR_WORD) {
    st32(MEM(TOP, 4), 0);
    --sp;
    NEXT(1);
  }
  CASE(CLEAR_HALF) {
    st16(MEM(TOP, 2), 0);
    --sp;
    NEXT(1);
  }
  CASE(CLEAR_BYTE) {
    *MEM(TOP, 1) = 0;
    --sp;
    NEXT(1);
  }
  CASE(STORE_HALF) {
    st16(MEM(NEXTSLOT, 2), TOP);
    sp -= 2;
    NEXT(1);
  }
  CASE(STORE_BYTE) {
    *MEM(NEXTSLOT, 1) = static_cast<TUint8>(TOP);
    sp -= 2;
    NEXT(1);
  }
  BINOP(ADD, static_cast<TUint32>(a) + static_cast<TUint32>(b))
  BINOP(SUB, static_cast<TUint32>(a) - static_cast<TUint32>(b))
  BINOP(MUL, static_cast<TUint32>(a) * static_cast<TUint32>(b))
  CASE(DIV) {
    const TInt32 b = static_cast<TInt32>(TOP);
    if (UNLIKELY(b == 0)) goto division_fault;
    NEXTSLOT = static_cast<TUint32>(divide(static_cast<TInt32>(NEXTSLOT), b));
    --sp;
    NEXT(1);
  }
  CASE(REM) {
    const TInt32 b = static_cast<TInt32>(TOP);
    if (UNLIKELY(b == 0)) goto division_fault;
    NEXTSLOT = static_cast<TUint32>(remainder(static_cast<TInt32>(NEXTSLOT), b));
    --sp;
    NEXT(1);
  }
  CASE(DIVB) {
    const TInt32 b = static_cast<TInt8>(TOP);
    if (UNLIKELY(b == 0)) goto division_fault;
    NEXTSLOT = static_cast<TUint32>(static_cast<TInt8>(NEXTSLOT) / b);
    --sp;
    NEXT(1);
  }
  CASE(REMB) {
    const TInt32 b = static_cast<TInt8>(TOP);
    if (UNLIKELY(b == 0)) goto division_fault;
    NEXTSLOT = static_cast<TUint32>(static_cast<TInt8>(NEXTSLOT) % b);
    --sp;
    NEXT(1);
  }
  CASE(NEG) {
    TOP = 0u - TOP;
    NEXT(1);
  }
  CASE(INC_AT) {
    TUint8* p = MEM(TOP, 4);
    st32(p, ld32(p) + 1);
    --sp;
    NEXT(1);
  }
  CASE(DEC_AT) {
    TUint8* p = MEM(TOP, 4);
    st32(p, ld32(p) - 1);
    --sp;
    NEXT(1);
  }
  CASE(INCB_AT) {
    TUint8* p = MEM(TOP, 1);
    *p = static_cast<TUint8>(*p + 1);
    --sp;
    NEXT(1);
  }
  CASE(DECB_AT) {
    TUint8* p = MEM(TOP, 1);
    *p = static_cast<TUint8>(*p - 1);
    --sp;
    NEXT(1);
  }
  WORD_AT(ADD_AT, static_cast<TUint32>(a) + static_cast<TUint32>(b))
  WORD_AT(SUB_AT, static_cast<TUint32>(a) - static_cast<TUint32>(b))
  WORD_AT(MUL_AT, static_cast<TUint32>(a) * static_cast<TUint32>(b))
  BYTE_AT(ADDB_AT, a + b)
  BYTE_AT(SUBB_AT, a - b)
  BYTE_AT(MULB_AT, a * b)
  CASE(DIV_AT) {
    TUint8* p = MEM(NEXTSLOT, 4);
    const TInt32 b = static_cast<TInt32>(TOP);
    if (UNLIKELY(b == 0)) goto division_fault;
    st32(p, static_cast<TUint32>(divide(static_cast<TInt32>(ld32(p)), b)));
    sp -= 2;
    NEXT(1);
  }
  CASE(REM_AT) {
    TUint8* p = MEM(NEXTSLOT, 4);
    const TInt32 b = static_cast<TInt32>(TOP);
    if (UNLIKELY(b == 0)) goto division_fault;
    st32(p, static_cast<TUint32>(remainder(static_cast<TInt32>(ld32(p)), b)));
    sp -= 2;
    NEXT(1);
  }
  CASE(DIVB_AT) {
    TUint8* p = MEM(NEXTSLOT, 1);
    const TInt32 b = static_cast<TInt8>(TOP);
    // A non-zero divisor word whose low byte is 0 is a division by zero too.
    if (UNLIKELY(b == 0)) goto division_fault;
    *p = static_cast<TUint8>(static_cast<TInt8>(*p) / b);
    sp -= 2;
    NEXT(1);
  }
  CASE(REMB_AT) {
    TUint8* p = MEM(NEXTSLOT, 1);
    const TInt32 b = static_cast<TInt8>(TOP);
    if (UNLIKELY(b == 0)) goto division_fault;
    *p = static_cast<TUint8>(static_cast<TInt8>(*p) % b);
    sp -= 2;
    NEXT(1);
  }
  CMP(CMP_EQ, TInt32, ==)
  CMP(CMP_LT, TInt32, <)
  CMP(CMP_LE, TInt32, <=)
  CMP(CMP_NE, TInt32, !=)
  CMP(CMP_GT, TInt32, >)
  CMP(CMP_GE, TInt32, >=)
  CMP(CMPH_EQ, TInt16, ==)
  CMP(CMPH_LT, TInt16, <)
  CMP(CMPH_LE, TInt16, <=)
  CMP(CMPH_NE, TInt16, !=)
  CMP(CMPH_GT, TInt16, >)
  CMP(CMPH_GE, TInt16, >=)
  CMP(CMPB_EQ, TInt8, ==)
  CMP(CMPB_LT, TInt8, <)
  CMP(CMPB_LE, TInt8, <=)
  CMP(CMPB_NE, TInt8, !=)
  CMP(CMPB_GT, TInt8, >)
  CMP(CMPB_GE, TInt8, >=)
  BINOP(AND, a & b)
  BINOP(OR, a | b)
  BINOP(XOR, a ^ b)
  BINOP(SHL, shl(a, b))
  BINOP(SHR, shr(a, b))
  BINOP(SHLB, shlb(a, static_cast<TUint8>(b)))
  BINOP(SHRB, shrb(a, static_cast<TUint8>(b)))
  WORD_AT(AND_AT, a & b)
  WORD_AT(OR_AT, a | b)
  WORD_AT(XOR_AT, a ^ b)
  BYTE_AT(ANDB_AT, a & b)
  BYTE_AT(ORB_AT, a | b)
  BYTE_AT(XORB_AT, a ^ b)
  WORD_AT(SHL_AT, shl(a, b))
  WORD_AT(SHR_AT, shr(a, b))
  BYTE_AT(SHLB_AT, shlbAt(a, static_cast<TInt32>(b)))
  BYTE_AT(SHRB_AT, shrbAt(a, static_cast<TInt32>(b)))
  CASE(INT_TO_STRING) {
    SYNC();
    TOP = Interpreter::newString(heap, NString::number(static_cast<TInt32>(TOP)));
    NEXT(1);
  }
  CASE(ZERO_EXTEND_BYTE) {
    TOP &= 0xFFu;
    NEXT(1);
  }
  CASE(PUSH_TRUE) {
    stk[++sp] = TUint32(-1);
    NEXT(1);
  }
  CASE(PUSH_FALSE) {
    stk[++sp] = 0;
    NEXT(1);
  }
  CASE(NOT) {
    TOP = TOP == 0 ? TUint32(-1) : 0u;
    NEXT(1);
  }
  BINOP(LAND, (a != 0 && b != 0) ? -1 : 0)
  BINOP(LOR, (a != 0 || b != 0) ? -1 : 0)
  BINOP(LXOR, ((a != 0) != (b != 0)) ? -1 : 0)
  BINOP(BOOL_EQ, ((a != 0) == (b != 0)) ? 1 : 0)
  BINOP(BOOL_NE, ((a != 0) != (b != 0)) ? 1 : 0)
  CASE(FREE) {
    const VMAddr r = stk[sp--];
    SYNC();
    if (r != 0) Interpreter::freeObject(heap, r);
    NEXT(1);
  }
  CASE(FREE_INDIRECT) {
    const VMAddr r = TOP;
    const VMAddr inner = ld32(MEM(r, 4));
    --sp;
    SYNC();
    if (!heap.isLiveBlock(r) || heap.isRoot(r)) vmInvalidAddress(r);
    if (inner != 0 && inner != r) Interpreter::freeObject(heap, inner);
    heap.freeObject(r);
    NEXT(1);
  }
  CASE(ALLOC) {
    const TUint32 gc = ip[1];
    SYNC();
    const VMAddr a = Interpreter::allocChecked(heap, gc, rd32(ip + 2));
    stk[++sp] = a;
    NEXT(6);
  }
  CASE(ALLOC_STORE) {
    const TUint32 gc = ip[1];
    SYNC();
    const TUint32 v = box(Interpreter::allocChecked(heap, gc, rd32(ip + 2)), rd8(ip + 6));
    st32(MEM(TOP, 4), v);
    NEXT(7);
  }
  CASE(ALLOC_STORE_POP) {
    const TUint32 gc = ip[1];
    SYNC();
    const TUint32 v = box(Interpreter::allocChecked(heap, gc, rd32(ip + 2)), rd8(ip + 6));
    st32(MEM(TOP, 4), v);
    --sp;
    NEXT(7);
  }
  CASE(CALL) {
    const TInt32 target = rd32(ip + 1);
    const TInt32 record = rd32(ip + 5);
    if (UNLIKELY(static_cast<TUint32>(target) >= codeSize)) goto bad_target;
    SYNC();
    ++sp;
    if (UNLIKELY(sp >= kStackSlots)) goto stack_fault;
    pushFrame(record, sp);
    stk[sp] = static_cast<TUint32>(PC() + 9);
    JUMP_TO(target);
  }
  CASE(CALL_VIRTUAL) {
    const TInt32 method = rd32(ip + 1);
    SYNC();
    const TInt32 entry = virtualEntry(method, static_cast<TInt32>(TOP));
    const MethodEntry& e = iTables.exportedMethods.data()[method].entries.data()[entry];
    TOP = static_cast<TUint32>(PC() + 5);
    pushFrame(e.methodInfo, sp);
    JUMP_TO(e.codeOffset);
  }
  CASE(RETURN) {
    const TInt64 at = static_cast<TInt64>(sp) - rd32(ip + 1);
    const TInt64 nsp = static_cast<TInt64>(sp) - rd32(ip + 5);
    if (UNLIKELY(at < 0 || nsp < -1)) goto stack_underflow;
    if (UNLIKELY(at >= kStackSlots || nsp >= kStackSlots)) goto stack_fault;
    const TInt32 target = static_cast<TInt32>(stk[at]);
    if (iFrameRecords.size() > 0) {
      iFrameRecords.removeLast();
      iFrameBases.removeLast();
    }
    sp = static_cast<TInt32>(nsp);
    if (target < 0) {
      iState.pc = target;
      iState.sp = sp;
      return;
    }
    JUMP_TO(target);
  }
  CASE(TRY) {
    if (UNLIKELY(iHandlerCount + 1 >= kHandlerRecords)) {
      SYNC();
      raise(ERR_RUNTIME, "Too many active exception handlers");
    }
    Handler& h = iHandlers[++iHandlerCount];
    h.classId = rd32(ip + 1);
    h.sp = sp;
    h.frames = iFrameRecords.size();
    h.pc = static_cast<TInt32>(static_cast<TUint32>(rd32(ip + 5)) + static_cast<TUint32>(PC()) + 8u);
    NEXT(9);
  }
  CASE(END_TRY) {
    const TInt32 n = iHandlerCount + rd8(ip + 1);
    if (UNLIKELY(n < 0 || n >= kHandlerRecords)) {
      SYNC();
      raise(ERR_RUNTIME, n < 0 ? "Exception handler stack underflow" : "Too many active exception handlers");
    }
    iHandlerCount = n;
    NEXT(2);
  }
  CASE(THROW) {
    const TUint32 thrown = TOP;
    if (thrown == 0) NEXT(1);
    const TInt32 cls = static_cast<TInt32>(ld32(MEM(thrown, 4)));
    SYNC();
    iConverting = false;   // an error conversion ends with its throw
    while (iHandlerCount > 0) {
      const Handler h = iHandlers[iHandlerCount--];
      if (h.classId <= 0 || Interpreter::inherits(iTables.superclassB, cls, h.classId, true)) {
        if (UNLIKELY(h.sp + 1 < 0 || h.sp + 1 >= kStackSlots)) goto stack_fault;
        dropFramesAbove(h.frames);
        sp = h.sp + 1;
        stk[sp] = thrown;
        JUMP_TO(static_cast<TInt64>(h.pc) + 1);
      }
    }
    throwUncaught(thrown, PC(), sp);
    sp = iState.sp;
    JUMP_TO(iState.pc);
  }
  CASE(NEW_VECTOR) {
    const TInt32 size = rd8(ip + 1);
    SYNC();
    // Allocate before checking the target: the allocation may carve its
    // block where a freed one lay, over the very address on the stack.
    const VMAddr v = Interpreter::newVector(heap, size);
    TUint8* p = MEM(TOP, 8);
    st32(p + 4, static_cast<TUint32>(size));
    st32(p, v);
    --sp;
    NEXT(2);
  }

#include "FusedHandlers.h"

  // Traced code (VirtualMachine::setTraceRange): the observer sees the
  // instruction, which then runs from its original opcode, unfused.
  FCASE(TRACED_INSTRUCTION) {
    SYNC();
    if (iObserver) iObserver->step(PC(), sp);
    if (UNLIKELY(*ip >= FUSED_FIRST)) goto L_INVALID;
    DISPATCH_ORIGINAL();
  }

#if !VM_COMPUTED_GOTO
  default:
    goto invalid;
  }
#endif

L_INVALID:
#if !VM_COMPUTED_GOTO
invalid:
#endif
  SYNC();
  raise(ERR_RUNTIME, "Internal error: invalid opcode ", static_cast<TInt8>(*ip));

address_fault:
  SYNC();
  vmInvalidAddress(faultAddress);
null_fault:
  SYNC();
  vmInvalidAddress(0);
division_fault:
  SYNC();
  divisionByZero();
stack_fault:
  SYNC();
  stackFault(sp);
stack_underflow:
  SYNC();
  stackFault(-2);
bad_target:
  SYNC();
  badTarget();

#undef CASE
#undef FCASE
#undef FMEMBER
#undef DISPATCH
#undef DISPATCH_ORIGINAL
#undef PC
#undef SYNC
#undef NEXT
#undef MEM
#undef TOP
#undef NEXTSLOT
#undef JUMP_TO
#undef BINOP
#undef WORD_AT
#undef BYTE_AT
#undef CMP
}
