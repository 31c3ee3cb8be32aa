#include "RangeCheck.h"

#include "Errors.h"

#include <QString>

namespace {
[[noreturn]] void invalid(const QString& message) { raise(ERR_RANGE, message); }
}  // namespace

void checkRange(TInt32 base, TInt32 size, TInt32& first, TInt32& count) {
  // 64-bit sums: first + count must not wrap into a valid-looking range.
  const TInt64 end = static_cast<TInt64>(base) + size;
  if (count == 0) {
    if (first < 0) invalid(QStringLiteral("Invalid Range, first should be non-negative (first=%1)").arg(first));
    return;
  }
  if (count < 0) {
    if (first < base)
      invalid(QStringLiteral("Invalid Range, first should not be less than %1, first = %2").arg(base).arg(first));
    if (first > end)
      invalid(QStringLiteral("Invalid Range, first should not be more than %1, first = %2").arg(end).arg(first));
    count = static_cast<TInt32>(end - first);
  }
  // The odd spacing of this message is the one the images were built against.
  if (first < base)
    invalid(QStringLiteral("Invalid Range, first should not be less than%1, first =  %2").arg(base).arg(first));
  if (static_cast<TInt64>(first) + count > end)
    invalid(QStringLiteral("Invalid Range, range out of bounds: %1 > %2").arg(static_cast<TInt64>(first) + count).arg(end));
}
