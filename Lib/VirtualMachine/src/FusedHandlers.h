// The handlers of the fused opcodes (Fusion.h), included inside
// VirtualMachine::run: they use its locals and macros.
//
// Each does exactly what its sequence does, for every operand value: the
// same slots written, above the top too (a later LOAD_LOCAL8 with a positive
// offset reads them), and reads made after the writes that precede them. Each
// needs room for the deepest stack its sequence reaches; otherwise, or when an
// address check would fail or its jump could fault or end a budget slice, it
// goes to the first original instruction before writing anything, and the
// plain handlers fault where they would.
// s is sp on entry; operand offsets are bytes from ip.
#define FUSED_ROOM(extra, plain)                                           \
  if (UNLIKELY(sp + 1 + (extra) > kStackSlots)) goto L_##plain
#define FUSED_DEPTH(least, plain)                                          \
  if (UNLIKELY(sp < (least))) goto L_##plain
// The jump of a comparison: the JUMP_IF_FALSE16 at byte `at` of the
// sequence. Its target was checked against the code size when the sequence
// was fused (Fusion.cpp; the code only grows), so only the budget remains:
// a jump that ends a slice runs plain.
#define FUSED_TARGET(at) (ip + (at) + 2 + rd16(ip + (at) + 1))
#define FUSED_TAKE_JUMP(t)                                                 \
  do {                                                                     \
    ip = (t);                                                              \
    DISPATCH();                                                            \
  } while (0)
#define FUSED_COUNT_JUMP(plain)                                            \
  if (UNLIKELY(iBudget >= 0)) {                                            \
    if (iBudget == 0) goto L_##plain;                                      \
    --iBudget;                                                             \
  }

  // LOAD_LOCAL8 d, <push b>, cmp, JUMP_IF_FALSE16: a local against a
  // constant or a second local; the flag and b stay above the top. A second
  // local is read after d's copy is pushed.
#define FUSED_LOCAL_FIRST_CMP_CASE(F, i, op, second, at, len)              \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(2, LOAD_LOCAL8);                                            \
    const TUint32 a = stk[sp + 1 + rd8(ip + 1)];                           \
    const TUint32 b = (second);                                            \
    if (!compare<OP_##op>(a, b)) {                                         \
      const TUint8* const t = FUSED_TARGET(at);                            \
      FUSED_COUNT_JUMP(LOAD_LOCAL8);                                       \
      stk[sp + 1] = 0;                                                     \
      stk[sp + 2] = b;                                                     \
      FUSED_TAKE_JUMP(t);                                                  \
    }                                                                      \
    stk[sp + 1] = TUint32(-1);                                             \
    stk[sp + 2] = b;                                                       \
    NEXT(len);                                                             \
  }
// Offset -1 names the slot d's copy goes to, not yet written: that copy.
#define FUSED_SECOND_LOCAL (sp + 2 + rd8(ip + 3) == sp + 1 ? a : stk[sp + 2 + rd8(ip + 3)])
#define FUSED_CMP_BRANCH_CASE(F, i, op) FUSED_LOCAL_FIRST_CMP_CASE(F, i, op, ld32(ip + 3), 8, 11)
#define FUSED_LOCALS_CMP_CASE(F, i, op) FUSED_LOCAL_FIRST_CMP_CASE(F, i, op, FUSED_SECOND_LOCAL, 5, 8)
  FUSED_COMPARISONS(FUSED_CMP_BRANCH_CASE, CMP_BRANCH)
  FUSED_COMPARISONS(FUSED_CMP_BRANCH_CASE, CMP_BRANCH_TWIN)
  FUSED_COMPARISONS(FUSED_LOCALS_CMP_CASE, LOCALS_CMP_BRANCH)
  FUSED_COMPARISONS(FUSED_LOCALS_CMP_CASE, LOCALS_CMP_BRANCH_TWIN)
#undef FUSED_CMP_BRANCH_CASE
#undef FUSED_LOCALS_CMP_CASE
#undef FUSED_SECOND_LOCAL
#undef FUSED_LOCAL_FIRST_CMP_CASE

  // <push v>, cmp, JUMP_IF_FALSE16: the top against a constant or a local,
  // popped; v stays above it.
#define FUSED_TOP_FIRST_CMP_CASE(F, i, op, plain, value, at, len)          \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(1, plain);                                                  \
    FUSED_DEPTH(0, plain);                                                 \
    const TUint32 v = (value);                                             \
    if (!compare<OP_##op>(TOP, v)) {                                       \
      const TUint8* const t = FUSED_TARGET(at);                            \
      FUSED_COUNT_JUMP(plain);                                             \
      stk[sp + 1] = v;                                                     \
      stk[sp--] = 0;                                                       \
      FUSED_TAKE_JUMP(t);                                                  \
    }                                                                      \
    stk[sp + 1] = v;                                                       \
    stk[sp--] = TUint32(-1);                                               \
    NEXT(len);                                                             \
  }
#define FUSED_TOP_CMP_CASE(F, i, op) FUSED_TOP_FIRST_CMP_CASE(F, i, op, PUSH_IMM32, ld32(ip + 1), 6, 9)
#define FUSED_LOCAL_CMP_CASE(F, i, op) FUSED_TOP_FIRST_CMP_CASE(F, i, op, LOAD_LOCAL8, stk[sp + 1 + rd8(ip + 1)], 3, 6)
  FUSED_COMPARISONS(FUSED_TOP_CMP_CASE, TOP_CMP_BRANCH)
  FUSED_COMPARISONS(FUSED_TOP_CMP_CASE, TOP_CMP_BRANCH_TWIN)
  FUSED_COMPARISONS(FUSED_LOCAL_CMP_CASE, LOCAL_CMP_BRANCH)
  FUSED_COMPARISONS(FUSED_LOCAL_CMP_CASE, LOCAL_CMP_BRANCH_TWIN)
#undef FUSED_TOP_CMP_CASE
#undef FUSED_LOCAL_CMP_CASE
#undef FUSED_TOP_FIRST_CMP_CASE

  // cmp, JUMP_IF_FALSE16: two computed values; the flag stays above the top.
#define FUSED_CMP_JUMP_CASE(F, i, op)                                      \
  FMEMBER(F, i) {                                                          \
    FUSED_DEPTH(1, op);                                                    \
    if (!compare<OP_##op>(NEXTSLOT, TOP)) {                                \
      const TUint8* const t = FUSED_TARGET(1);                             \
      FUSED_COUNT_JUMP(op);                                                \
      NEXTSLOT = 0;                                                        \
      sp -= 2;                                                             \
      FUSED_TAKE_JUMP(t);                                                  \
    }                                                                      \
    NEXTSLOT = TUint32(-1);                                                \
    sp -= 2;                                                               \
    NEXT(4);                                                               \
  }
  FUSED_COMPARISONS(FUSED_CMP_JUMP_CASE, CMP_JUMP)
  FUSED_COMPARISONS(FUSED_CMP_JUMP_CASE, CMP_JUMP_TWIN)
#undef FUSED_CMP_JUMP_CASE

  // ADDR_LOCAL8 d, LOAD_LOCAL8 e, <push b>, op, STORE_WORD: the address and
  // the result stay above the top, and b above them. The target is a stack or
  // guard slot, inside the arena, so the plain STORE_WORD's check passes.
#define FUSED_SET_CASE(F, i, op, second, len)                              \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(3, ADDR_LOCAL8);                                            \
    const TInt32 t = sp + 1 + rd8(ip + 1);                                 \
    stk[sp + 1] = stackAddr + 4u * static_cast<TUint32>(t);                \
    const TUint32 a = stk[sp + 2 + rd8(ip + 3)];                           \
    stk[sp + 2] = a;                                                       \
    const TUint32 b = (second);                                            \
    stk[sp + 3] = b;                                                       \
    const TUint32 r = wordOp<OP_##op>(a, b);                               \
    stk[sp + 2] = r;                                                       \
    stk[t] = r;                                                            \
    NEXT(len);                                                             \
  }
#define FUSED_SET_LOCALS_CASE(F, i, op) FUSED_SET_CASE(F, i, op, stk[sp + 3 + rd8(ip + 5)], 8)
#define FUSED_SET_LOCAL_IMM_CASE(F, i, op) FUSED_SET_CASE(F, i, op, ld32(ip + 5), 11)
  FUSED_OPERATIONS(FUSED_SET_LOCALS_CASE, SET_LOCALS)
  FUSED_OPERATIONS(FUSED_SET_LOCAL_IMM_CASE, SET_LOCAL_IMM)
#undef FUSED_SET_LOCALS_CASE
#undef FUSED_SET_LOCAL_IMM_CASE
#undef FUSED_SET_CASE

  // LOAD_LOCAL8 d, PUSH_IMM32 k, op: k stays above the result.
#define FUSED_LOCAL_IMM_CASE(F, i, op)                                     \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(2, LOAD_LOCAL8);                                            \
    const TUint32 v = stk[sp + 1 + rd8(ip + 1)];                           \
    const TUint32 k = ld32(ip + 3);                                        \
    stk[sp + 2] = k;                                                       \
    stk[++sp] = wordOp<OP_##op>(v, k);                                     \
    NEXT(8);                                                               \
  }
  FUSED_OPERATIONS(FUSED_LOCAL_IMM_CASE, LOCAL_IMM)
#undef FUSED_LOCAL_IMM_CASE

  // <push v>, op: the top combined with a local or a constant, v above it.
#define FUSED_OP_CASE(F, i, op, plain, value, len)                         \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(1, plain);                                                  \
    const TUint32 v = (value);                                             \
    stk[sp + 1] = v;                                                       \
    TOP = wordOp<OP_##op>(TOP, v);                                         \
    NEXT(len);                                                             \
  }
#define FUSED_OP_LOCAL_CASE(F, i, op) FUSED_OP_CASE(F, i, op, LOAD_LOCAL8, stk[sp + 1 + rd8(ip + 1)], 3)
#define FUSED_OP_IMM_CASE(F, i, op) FUSED_OP_CASE(F, i, op, PUSH_IMM32, ld32(ip + 1), 6)
  FUSED_OPERATIONS(FUSED_OP_LOCAL_CASE, OP_LOCAL)
  FUSED_OPERATIONS(FUSED_OP_IMM_CASE, OP_IMM)
#undef FUSED_OP_LOCAL_CASE
#undef FUSED_OP_IMM_CASE
#undef FUSED_OP_CASE

  // op, STORE_WORD: an expression's value stored at the address below its
  // operands; the value stays above the top.
#define FUSED_OP_STORE_CASE(F, i, op)                                      \
  FMEMBER(F, i) {                                                          \
    FUSED_DEPTH(2, op);                                                    \
    const VMAddr a = stk[sp - 2];                                          \
    if (UNLIKELY(!vmOpen(a, 4))) goto L_##op;                              \
    const TUint32 r = wordOp<OP_##op>(NEXTSLOT, TOP);                      \
    NEXTSLOT = r;                                                          \
    st32(vmPtr(a), r);                                                     \
    sp -= 3;                                                               \
    NEXT(2);                                                               \
  }
  FUSED_OPERATIONS(FUSED_OP_STORE_CASE, OP_STORE)
#undef FUSED_OP_STORE_CASE

  // LOAD_LOCAL8 b, LOAD_LOCAL8 i, PUSH_IMM32 k, scale, ADD: the address of
  // element i of the array at b; the scaled index and k stay above it. The
  // index is read after b's copy is pushed.
#define FUSED_INDEX_ADDRESS(scale)                                         \
  const TUint32 base = stk[sp + 1 + rd8(ip + 1)];                          \
  const TInt32 ii = sp + 2 + rd8(ip + 3);                                  \
  const TUint32 index = ii == sp + 1 ? base : stk[ii];                     \
  const TUint32 k = ld32(ip + 5);                                          \
  const TUint32 scaled = wordOp<OP_##scale>(index, k);                     \
  const VMAddr element = base + scaled
#define FUSED_INDEX_ADDR_CASE(F, i, scale)                                 \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(3, LOAD_LOCAL8);                                            \
    FUSED_INDEX_ADDRESS(scale);                                            \
    stk[sp + 3] = k;                                                       \
    stk[sp + 2] = scaled;                                                  \
    stk[++sp] = element;                                                   \
    NEXT(11);                                                              \
  }
  // ... then DEREF: one address check for the element.
#define FUSED_INDEX_LOAD_CASE(F, i, scale)                                 \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(3, LOAD_LOCAL8);                                            \
    FUSED_INDEX_ADDRESS(scale);                                            \
    if (UNLIKELY(!vmOpen(element, 4))) goto L_LOAD_LOCAL8;                 \
    stk[sp + 3] = k;                                                       \
    stk[sp + 2] = scaled;                                                  \
    stk[++sp] = element;                                                   \
    TOP = ld32(vmPtr(element));                                            \
    NEXT(12);                                                              \
  }
  // ... then LOAD_LOCAL8 v, STORE_WORD: v is read after the address is made.
#define FUSED_INDEX_STORE_CASE(F, i, scale)                                \
  FMEMBER(F, i) {                                                          \
    FUSED_ROOM(3, LOAD_LOCAL8);                                            \
    FUSED_INDEX_ADDRESS(scale);                                            \
    if (UNLIKELY(!vmOpen(element, 4))) goto L_LOAD_LOCAL8;                 \
    stk[sp + 3] = k;                                                       \
    stk[sp + 2] = scaled;                                                  \
    stk[sp + 1] = element;                                                 \
    const TUint32 v = stk[sp + 2 + rd8(ip + 12)];                          \
    stk[sp + 2] = v;                                                       \
    st32(vmPtr(element), v);                                               \
    NEXT(14);                                                              \
  }
  FUSED_SCALINGS(FUSED_INDEX_ADDR_CASE, INDEX_ADDR)
  FUSED_SCALINGS(FUSED_INDEX_LOAD_CASE, INDEX_LOAD)
  FUSED_SCALINGS(FUSED_INDEX_STORE_CASE, INDEX_STORE)
#undef FUSED_INDEX_ADDR_CASE
#undef FUSED_INDEX_LOAD_CASE
#undef FUSED_INDEX_STORE_CASE
#undef FUSED_INDEX_ADDRESS

  // ADDR_LOCAL8 d, <push v>, ADD_AT / SUB_AT: the pushed address and v stay
  // in the two slots above the top, and the update reads its target after
  // they are written (d = 0 or 1 names one of them). The target is a stack
  // or guard slot, inside the arena, so the plain ADD_AT's check passes.
#define FUSED_LOCAL_UPDATE_CASE(name, value, len, op)                      \
  FMEMBER(name, 0) {                                                       \
    FUSED_ROOM(2, ADDR_LOCAL8);                                            \
    const TInt32 t = sp + 1 + rd8(ip + 1);                                 \
    stk[sp + 1] = stackAddr + 4u * static_cast<TUint32>(t);                \
    const TUint32 v = (value);                                             \
    stk[sp + 2] = v;                                                       \
    stk[t] op v;                                                           \
    NEXT(len);                                                             \
  }
  FUSED_LOCAL_UPDATE_CASE(LOCAL_ADD_LOCAL, stk[sp + 2 + rd8(ip + 3)], 5, +=)
  FUSED_LOCAL_UPDATE_CASE(LOCAL_SUB_LOCAL, stk[sp + 2 + rd8(ip + 3)], 5, -=)
  FUSED_LOCAL_UPDATE_CASE(LOCAL_ADD_IMM, ld32(ip + 3), 8, +=)
  FUSED_LOCAL_UPDATE_CASE(LOCAL_SUB_IMM, ld32(ip + 3), 8, -=)
  FUSED_LOCAL_UPDATE_CASE(COPY_LOCAL, stk[sp + 2 + rd8(ip + 3)], 5, =)
  FUSED_LOCAL_UPDATE_CASE(SET_IMM, ld32(ip + 3), 8, =)
#undef FUSED_LOCAL_UPDATE_CASE
  FMEMBER(LOCAL_INC, 0) {
    FUSED_ROOM(1, ADDR_LOCAL8);
    const TInt32 t = sp + 1 + rd8(ip + 1);
    stk[sp + 1] = stackAddr + 4u * static_cast<TUint32>(t);
    stk[t] += 1;
    NEXT(3);
  }
  FMEMBER(LOCAL_DEC, 0) {
    FUSED_ROOM(1, ADDR_LOCAL8);
    const TInt32 t = sp + 1 + rd8(ip + 1);
    stk[sp + 1] = stackAddr + 4u * static_cast<TUint32>(t);
    stk[t] -= 1;
    NEXT(3);
  }
  // LOAD_LOCAL8 a, LOAD_LOCAL8 v, STORE_WORD: v stored at the address in a
  // local; both stay above the top. v is read after a's copy is pushed.
  FMEMBER(STORE_THROUGH, 0) {
    FUSED_ROOM(2, LOAD_LOCAL8);
    const VMAddr a = stk[sp + 1 + rd8(ip + 1)];
    const TInt32 vi = sp + 2 + rd8(ip + 3);
    const TUint32 v = vi == sp + 1 ? a : stk[vi];
    if (UNLIKELY(!vmOpen(a, 4))) goto L_LOAD_LOCAL8;
    stk[sp + 1] = a;
    stk[sp + 2] = v;
    st32(vmPtr(a), v);
    NEXT(5);
  }
  // LOAD_LOCAL8 d, FIELD_ADDR8 k, DEREF: word k of the object in a local.
  FMEMBER(LOAD_FIELD, 0) {
    FUSED_ROOM(1, LOAD_LOCAL8);
    const TUint32 r = stk[sp + 1 + rd8(ip + 1)];
    const VMAddr a = r + 4u * static_cast<TUint32>(rd8(ip + 3));
    if (UNLIKELY(r == 0 || !vmOpen(a, 4))) goto L_LOAD_LOCAL8;
    stk[++sp] = a;
    TOP = ld32(vmPtr(a));
    NEXT(5);
  }
  // LOAD_LOCAL8 d, DEREF: the word at the address in a local.
  FMEMBER(LOAD_THROUGH, 0) {
    FUSED_ROOM(1, LOAD_LOCAL8);
    const VMAddr a = stk[sp + 1 + rd8(ip + 1)];
    if (UNLIKELY(!vmOpen(a, 4))) goto L_LOAD_LOCAL8;
    stk[++sp] = a;
    TOP = ld32(vmPtr(a));
    NEXT(3);
  }
  // LOAD_LOCAL8 d, JUMP_IF_FALSE16: a test of a local against zero.
  FMEMBER(LOCAL_BRANCH, 0) {
    FUSED_ROOM(1, LOAD_LOCAL8);
    const TUint32 v = stk[sp + 1 + rd8(ip + 1)];
    if (v == 0) {
      const TUint8* const t = FUSED_TARGET(2);
      FUSED_COUNT_JUMP(LOAD_LOCAL8);
      stk[sp + 1] = 0;
      FUSED_TAKE_JUMP(t);
    }
    stk[sp + 1] = v;
    NEXT(5);
  }
  FMEMBER(LOAD_LOCAL2, 0) {
    FUSED_ROOM(2, LOAD_LOCAL8);
    const TUint32 v = stk[sp + 1 + rd8(ip + 1)];
    stk[sp + 1] = v;
    const TUint32 w = stk[sp + 2 + rd8(ip + 3)];
    stk[sp + 2] = w;
    sp += 2;
    NEXT(4);
  }
#undef FUSED_ROOM
#undef FUSED_DEPTH
#undef FUSED_TARGET
#undef FUSED_TAKE_JUMP
#undef FUSED_COUNT_JUMP
