#pragma once
// Shared by the numeric, value-type, date and digest native tests: the
// container tests' helpers, readable QStrings in failures, and a machine
// state with a slot stack to drive group functions on.
#include "NativeHelpers.h"
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

  typedef void (*Group)(VMState&, TInt32);
  // op of group g on args pushed onto an empty stack; the top afterwards.
  TUint32 call(Group g, TInt32 op, std::initializer_list<TUint32> args) {
    state->sp = -1;
    push(args);
    g(*state, op);
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

  Vec<Vec<int>> refs, vecs;
  Vec<Vec<char>> flags;
  std::unique_ptr<VMState> state;
};
