#pragma once
// Shared by the numeric, value-type, date and digest native tests: the
// container tests' helpers, readable QStrings in failures, and a machine
// state with a slot stack to drive group functions on.
#include "NativeHelpers.h"
#include "RandomGenerator.h"
#include "TestSupport.h"
#include "VMState.h"

#include <gtest/gtest.h>
#include <QString>
#include <initializer_list>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class NativeGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.reset(new VMState(nullptr, VMHeap::kDefaultPoolSize, refs, vecs, flags));
    state->stack = vmPtrAs<TUint32>(VMArena::commit(kStackSlots * 4));
    state->sp = -1;
  }
  void TearDown() override {
    state->heap.verify();
    state.reset();
  }

  // Groups and operations are named as in assembly; a number stands for an
  // operation the group does not have.
  typedef const char* Group;
  static TInt32 groupNumber(Group g) {
    TInt32 count = 0;
    const native::GroupInfo* all = native::groups(count);
    for (TInt32 i = 0; i < count; ++i)
      if (QString::fromLatin1(all[i].name) == QLatin1String(g)) return all[i].number;
    ADD_FAILURE() << "no group " << g;
    return 0;
  }
  static TInt32 opNumber(Group g, const char* op) {
    const native::Operation* row = native::operationNamed(groupNumber(g), op);
    if (!row) ADD_FAILURE() << "no operation " << g << " " << op;
    return row ? row->op : 0;
  }
  // Runs an operation on the current stack, through the registry as bytecode does.
  void run(Group g, TInt32 op) {
    native::Context cx{*state, groupNumber(g), op, services, &applicationObject, randomState};
    native::dispatch(cx);
  }
  void run(Group g, const char* op) { run(g, opNumber(g, op)); }
  // op of group g on args pushed onto an empty stack; the top afterwards.
  template <typename Op> TUint32 call(Group g, Op op, std::initializer_list<TUint32> args) {
    state->sp = -1;
    push(args);
    run(g, op);
    return state->sp >= 0 ? top() : 0;
  }
  QString topString() { return text(native::stringAt(top())); }

  VMHeap& heap() { return state->heap; }
  void push(TUint32 w) { state->stack[++state->sp] = w; }
  void push(std::initializer_list<TUint32> words) {
    for (TUint32 w : words) push(w);
  }
  TUint32 top(TInt32 below = 0) const { return state->stack[state->sp - below]; }
  TInt32 sp() const { return state->sp; }
  // A slot address, for arguments passed by reference.
  VMAddr slot(TInt32 i) const { return state->slotAddr(i); }
  TUint32 word(VMAddr a) const { return *vmPtrAs<TUint32>(a); }

  FrameworkServices* services = nullptr;
  TUint32 applicationObject = 0;
  TUint8 randomRecord[random_state::kBytes] = {};
  TUint8* randomState = randomRecord;
  Vec<Vec<int>> refs, vecs;
  Vec<Vec<char>> flags;
  std::unique_ptr<VMState> state;
};
