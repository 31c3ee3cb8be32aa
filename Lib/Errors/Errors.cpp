#include "Errors.h"

#include <QString>
#include <QThreadStorage>
#include <cstdio>
#include <cstdlib>

namespace {

struct ErrorRecord {
  QString message;
  TInt32 code = 0;
};

QThreadStorage<ErrorRecord*> gRecords;

// QThreadStorage frees the main thread's data only when a QCoreApplication
// is destroyed; without one (tests, tools) the record would outlive the
// thread. This per-thread guard drops the record when its thread ends.
struct RecordGuard {
  ~RecordGuard() {
    if (gRecords.hasLocalData()) gRecords.setLocalData(nullptr);
  }
};

ErrorRecord& record() {
  if (!gRecords.hasLocalData()) {
    static thread_local RecordGuard guard;
    (void)guard;
    gRecords.setLocalData(new ErrorRecord);
  }
  return *gRecords.localData();
}

const char* const kNames[] = {
  nullptr,
  "NullPointerException",
  "IndexOutOfBoundsException",
  "DivisionByZeroException",
  "DataFormatException: ",
  "RangeException",
  "InvalidArgumentException",
  "IOException",
  "MathException",
  "AssertionFailedException",
  "VMException",
  "RuntimeException",
  nullptr,
  "UnsupportedFeatureException",
};

}  // namespace

QString composeErrorMessage(TInt32 code, const QString& detail) {
  QString message;
  if (code >= 1 && code <= 13 && kNames[code])
    message = QString::fromLatin1(kNames[code]);
  else
    message = QStringLiteral("UnknownException (CODE:") + QString::number(code) + QLatin1Char(')');
  if (!detail.isEmpty()) message += QStringLiteral(": ") + detail;
  return message;
}

void raise(TInt32 code, const QString& detail) {
  ErrorRecord& r = record();
  r.message = composeErrorMessage(code, detail);
  r.code = code;
  throw ErrorHandlingException();
}

void raise(TInt32 code, const char* detail) {
  raise(code, detail ? QString::fromUtf8(detail) : QString());
}

void raise(TInt32 code, const char* prefix, TInt64 number) {
  raise(code, QString::fromUtf8(prefix) + QString::number(number));
}

void rethrow() { throw ErrorHandlingException(); }

void raiseNullPointer() { raise(ERR_NULL_POINTER, "NULL pointer"); }
void raiseStackOverflow() { raise(ERR_RUNTIME, "Stack overflow"); }
void raiseStackUnderflow() { raise(ERR_RUNTIME, "Stack underflow"); }
void raiseInvalidAddress() { raise(ERR_RUNTIME, "Invalid address"); }

TInt32 currentErrorCode() { return gRecords.hasLocalData() ? gRecords.localData()->code : 0; }

QString currentErrorText() { return gRecords.hasLocalData() ? gRecords.localData()->message : QString(); }

void clearError() {
  ErrorRecord& r = record();
  r.message.clear();
  r.code = 0;
}

void assertFailed(const char* expr, const char* file, int line) {
  std::fprintf(stderr, "Assertion failed: %s (%s:%d)\n", expr, file, line);
  std::abort();
}
