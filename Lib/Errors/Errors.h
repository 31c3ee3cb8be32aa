#pragma once
// The single error model: raise stores code and message in the calling
// thread's record and throws an empty ErrorHandlingException.
#include "Types.h"

class NString;
class QString;

class ErrorHandlingException {};

// Error codes. 12 is a termination request, not an error.
enum ErrorCode : TInt32 {
  ERR_NULL_POINTER = 1,
  ERR_INDEX_OUT_OF_BOUNDS = 2,
  ERR_DIVISION_BY_ZERO = 3,
  ERR_DATA_FORMAT = 4,
  ERR_RANGE = 5,
  ERR_INVALID_ARGUMENT = 6,
  ERR_IO = 7,
  ERR_MATH = 8,
  ERR_ASSERTION_FAILED = 9,
  ERR_VM = 10,
  ERR_RUNTIME = 11,
  ERR_TERMINATE = 12,
  ERR_UNSUPPORTED_FEATURE = 13,
  ERR_TYPE_CONVERSION = 14,
};

// One-argument calls use the defaulted detail. There is deliberately no
// raise(TInt32) overload: it would clash with the C library's int raise(int)
// in any file that also sees <signal.h> (gtest, <thread>...). Where both are
// visible a one-argument call is ambiguous, so write raise(code, "").
[[noreturn]] void raise(TInt32 code, const char* detail = nullptr);   // detail is UTF-8
[[noreturn]] void raise(TInt32 code, const QString& detail);
[[noreturn]] void raise(TInt32 code, const NString& detail);
// Detail made of a prefix and a decimal number ("FileSystem: " 11).
[[noreturn]] void raise(TInt32 code, const char* prefix, TInt64 number);
[[noreturn]] void rethrow();

// The texts raised from many places, each written once (code 11 unless
// named).
[[noreturn]] void raiseNullPointer();      // "NULL pointer", code 1
[[noreturn]] void raiseStackOverflow();    // "Stack overflow"
[[noreturn]] void raiseStackUnderflow();   // "Stack underflow"
[[noreturn]] void raiseInvalidAddress();   // "Invalid address"

TInt32 currentErrorCode();
NString currentErrorMessage();
QString currentErrorText();   // same message, as a QString
void clearError();

// The message raise composes for code and detail (exposed for tests and
// for the places that must print it).
QString composeErrorMessage(TInt32 code, const QString& detail);

// Internal invariants: the failing expression and source file are named.
#define VM_ASSERT(expr) \
  do { if (!(expr)) assertFailed(#expr, __FILE__, __LINE__); } while (0)
[[noreturn]] void assertFailed(const char* expr, const char* file, int line);
