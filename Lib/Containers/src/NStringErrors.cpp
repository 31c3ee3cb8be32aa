// The NString face of the error model: the record keeps a QString, these
// convert unit for unit.
#include "Errors.h"
#include "NString.h"

#include <QString>

void raise(TInt32 code, const NString& detail) {
  raise(code, QString(reinterpret_cast<const QChar*>(detail.units()), detail.length()));
}

NString currentErrorMessage() {
  const QString text = currentErrorText();
  if (text.isEmpty()) return NString();
  return NString::fromUnits(reinterpret_cast<const TChar*>(text.utf16()), 0, text.size() - 1);
}
