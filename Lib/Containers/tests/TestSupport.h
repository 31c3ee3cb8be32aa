#pragma once
// Helpers shared by the container tests.
#include "Errors.h"
#include "MVectorStorage.h"
#include "NString.h"
#include "VMArena.h"

#include <gtest/gtest.h>
#include <QString>

// Runs f and expects it to raise `code`; returns the composed message.
template <typename F>
QString raisedMessage(TInt32 code, F f) {
  try {
    f();
  } catch (const ErrorHandlingException&) {
    EXPECT_EQ(currentErrorCode(), code);
    return currentErrorText();
  }
  ADD_FAILURE() << "expected code " << code;
  return QString();
}
#define EXPECT_RAISES(code, stmt) raisedMessage(code, [&] { stmt; })

inline QString text(const NString& s) {
  return QString(reinterpret_cast<const QChar*>(s.units()), s.length());
}
inline NString ns(const char* s) { return NString(s); }

// Element blocks from plain arena regions; freed blocks are only counted.
class ArenaStorage : public MVectorStorage {
 public:
  VMAddr allocateElements(TInt32 bytes) override {
    ++allocations;
    return VMArena::commit(static_cast<TUint32>(bytes));
  }
  void freeElements(VMAddr) override { ++frees; }
  int allocations = 0;
  int frees = 0;
 private:
  VMArenaUser iArena;
};
