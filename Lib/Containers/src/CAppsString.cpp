#include "CAppsString.h"

#include "Errors.h"
#include "HeldText.h"
#include "NString.h"

#include <QChar>
#include <QString>
#include <cstring>

namespace {
inline TChar lower(TChar u) { return QChar(u).toLower().unicode(); }
const TChar kEmpty[1] = {0};
}  // namespace

CAppsString::CAppsString() {}

CAppsString::CAppsString(const char* text) {
  const TInt32 n = text ? static_cast<TInt32>(std::strlen(text)) : 0;
  setCapacity(n + 10);
  for (TInt32 i = 0; i < n; ++i) iData[i] = static_cast<TUint8>(text[i]);
  iSize = n;
  iData[n] = 0;
}

CAppsString::CAppsString(const TChar* text) {
  if (!text) raise(ERR_NULL_POINTER);
  TInt32 n = 0;
  while (text[n]) ++n;
  setCapacity(n + 10);
  appendUnits(text, n);
}

CAppsString::CAppsString(const TUint8* bytes, TInt32 count) {
  if (count < 0) raise(ERR_INVALID_ARGUMENT);
  if (count > 0 && !bytes) raise(ERR_NULL_POINTER);
  setCapacity(count + 10);
  for (TInt32 i = 0; i < count; ++i) iData[i] = bytes[i];
  iSize = count;
  iData[count] = 0;
}

CAppsString::CAppsString(const CAppsString& other, TInt32 first, TInt32 last) {
  if (first == 0 && last == -1) return;
  if (first < 0 || first > last || last >= other.size()) raise(ERR_INVALID_ARGUMENT);
  setCapacity(last - first + 1 + 10);
  appendUnits(other.iData + first, last - first + 1);
}

CAppsString::CAppsString(const CAppsString& other) : Vec<unsigned short>() {
  setCapacity(other.iSize + 10);
  appendUnits(other.iData, other.iSize);
}

CAppsString& CAppsString::operator=(const CAppsString& other) {
  if (this == &other) return *this;
  Vec<unsigned short>::clear();
  appendUnits(other.iData, other.iSize);
  return *this;
}

void CAppsString::insert(TInt32 index, TChar c) {
  Vec<unsigned short>::insert(index, c);
  ensureTerminator();
}

void CAppsString::resize(TInt32 n) {
  Vec<unsigned short>::resize(n);
  ensureTerminator();
}

void CAppsString::ensureTerminator() {
  if (iSize + 1 > iCapacity) setCapacity(iSize + 1);
  iData[iSize] = 0;
}

CAppsString CAppsString::number(TInt64 value) {
  return fromNString(NString::number(value));
}

CAppsString CAppsString::fromNString(const NString& s) {
  CAppsString result;
  result.setCapacity(s.length() + 10);
  result.appendUnits(s.units(), s.length());
  return result;
}

CAppsString CAppsString::fromQString(const QString& s) {
  CAppsString result;
  result.setCapacity(s.size() + 10);
  result.appendUnits(reinterpret_cast<const TChar*>(s.utf16()), s.size());
  return result;
}

NString CAppsString::toNString() const { return NString::fromUnits(iData, 0, iSize - 1); }

QString CAppsString::toQString() const {
  return QString(reinterpret_cast<const QChar*>(iData), iSize);
}

void CAppsString::appendUnits(const TChar* units, TInt32 n) {
  if (n <= 0) return;
  if (static_cast<TInt64>(iSize) + n + 1 > iCapacity) {
    TInt64 next = iCapacity;
    while (next < static_cast<TInt64>(iSize) + n + 1) next = ((next * 5) >> 2) + 8;
    if (next > 0x3fffffff) raise(ERR_INVALID_ARGUMENT, "Vec allocation failed");
    setCapacity(static_cast<TInt32>(next));
  }
  std::memmove(iData + iSize, units, static_cast<size_t>(n) * sizeof(TChar));
  iSize += n;
  iData[iSize] = 0;
}

CAppsString& CAppsString::append(const char* text) {
  if (!text) raise(ERR_NULL_POINTER);
  for (; *text; ++text) append(static_cast<TChar>(static_cast<TUint8>(*text)));
  return *this;
}

CAppsString& CAppsString::append(const TChar* text) {
  if (!text) raise(ERR_NULL_POINTER);
  TInt32 n = 0;
  while (text[n]) ++n;
  // text may point into this string: take a copy before storage moves.
  CAppsString copy;
  copy.setCapacity(n + 1);
  std::memcpy(copy.iData, text, static_cast<size_t>(n) * sizeof(TChar));
  appendUnits(copy.iData, n);
  return *this;
}

CAppsString& CAppsString::append(TChar c) {
  appendUnits(&c, 1);
  return *this;
}

CAppsString& CAppsString::append(const CAppsString& other) {
  if (&other == this) {
    const CAppsString copy(other);
    appendUnits(copy.iData, copy.iSize);
  } else {
    appendUnits(other.iData, other.iSize);
  }
  return *this;
}

const TChar* CAppsString::utf16() const { return iData ? iData : kEmpty; }

CAppsString CAppsString::substring(TInt32 first, TInt32 last) const { return CAppsString(*this, first, last); }

CAppsString CAppsString::substring(TInt32 from) const {
  if (from < 0 || from > iSize) raise(ERR_INVALID_ARGUMENT);
  if (from == iSize) return CAppsString();
  return CAppsString(*this, from, iSize - 1);
}

bool CAppsString::matchesAt(TInt32 at, const CAppsString& search, TBool caseSensitive) const {
  for (TInt32 i = 0; i < search.iSize; ++i) {
    const TChar a = iData[at + i], b = search.iData[i];
    if (a != b && (caseSensitive || lower(a) != lower(b))) return false;
  }
  return true;
}

bool CAppsString::startsWith(const CAppsString& other, TBool caseSensitive) const {
  return other.iSize <= iSize && matchesAt(0, other, caseSensitive);
}

bool CAppsString::endsWith(const CAppsString& other, TBool caseSensitive) const {
  return other.iSize <= iSize && matchesAt(iSize - other.iSize, other, caseSensitive);
}

TInt32 CAppsString::indexOf(const CAppsString& search, TBool caseSensitive, TInt32 from) const {
  if (search.iSize == 0 || from < 0) return -1;
  for (TInt32 p = from; p + search.iSize <= iSize; ++p)
    if (matchesAt(p, search, caseSensitive)) return p;
  return -1;
}

TInt32 CAppsString::lastIndexOf(const CAppsString& search, TBool caseSensitive) const {
  if (search.iSize == 0) return -1;
  for (TInt32 p = iSize - search.iSize; p >= 0; --p)
    if (matchesAt(p, search, caseSensitive)) return p;
  return -1;
}

void CAppsString::replaceAll(const CAppsString& search, const CAppsString& replacement, TBool caseSensitive) {
  if (search.iSize == 0) return;
  CAppsString result;
  TInt32 r = 0;
  for (TInt32 p = indexOf(search, caseSensitive); p >= 0; p = indexOf(search, caseSensitive, p + search.iSize)) {
    result.appendUnits(iData + r, p - r);
    result.appendUnits(replacement.iData, replacement.iSize);
    r = p + search.iSize;
  }
  if (r == 0) return;
  result.appendUnits(iData + r, iSize - r);
  *this = std::move(result);
}

void CAppsString::toUpperCase() {
  for (TInt32 i = 0; i < iSize; ++i) iData[i] = QChar(iData[i]).toUpper().unicode();
}

void CAppsString::toLowerCase() {
  for (TInt32 i = 0; i < iSize; ++i) iData[i] = lower(iData[i]);
}

bool CAppsString::operator==(const CAppsString& other) const {
  return iSize == other.iSize && (iSize == 0 || std::memcmp(iData, other.iData, iSize * sizeof(TChar)) == 0);
}

TInt32 CAppsString::localeAwareCompare(const CAppsString& other) const {
  return QString::localeAwareCompare(heldQString(iData, iSize), heldQString(other.iData, other.iSize));
}
