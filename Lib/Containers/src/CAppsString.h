#pragma once
// CAppsString: a host-side UTF-16 string on Vec<unsigned short>.
//
// Invariant: size() counts characters and, once the string holds storage,
// a 0 unit sits right after the last character, so utf16() can be handed
// to code that expects a terminated string.
#include "Types.h"
#include "Vec.h"

class NString;
class QString;

class CAppsString : public Vec<unsigned short> {
 public:
  CAppsString();
  // 8-bit text, each byte widened; null gives the empty string.
  CAppsString(const char* text);
  // 16-bit terminated text; null raises code 1.
  CAppsString(const TChar* text);
  CAppsString(const TUint8* bytes, TInt32 count);
  // other[first..last]; (0, -1) is empty, other bad ranges raise code 6.
  CAppsString(const CAppsString& other, TInt32 first, TInt32 last);
  CAppsString(const CAppsString& other);
  CAppsString(CAppsString&& other) noexcept = default;
  CAppsString& operator=(const CAppsString& other);
  CAppsString& operator=(CAppsString&& other) noexcept = default;
  ~CAppsString() override {}

  static CAppsString number(TInt64 value);
  static CAppsString fromNString(const NString& s);
  static CAppsString fromQString(const QString& s);
  NString toNString() const;
  QString toQString() const;

  // A null pointer raises code 1.
  CAppsString& append(const char* text);
  CAppsString& append(const TChar* text);
  CAppsString& append(TChar c);
  CAppsString& append(const CAppsString& other);

  // Vec's own edits, keeping the terminator.
  void insert(TInt32 index, TChar c);
  void resize(TInt32 n);

  TInt32 length() const { return size(); }
  const TChar* utf16() const;

  CAppsString substring(TInt32 first, TInt32 last) const;
  CAppsString substring(TInt32 from) const;
  bool startsWith(const CAppsString& other, TBool caseSensitive = true) const;
  bool endsWith(const CAppsString& other, TBool caseSensitive = true) const;
  // -1 when absent or when search is empty.
  TInt32 indexOf(const CAppsString& search, TBool caseSensitive = true, TInt32 from = 0) const;
  TInt32 lastIndexOf(const CAppsString& search, TBool caseSensitive = true) const;
  // Every non-overlapping occurrence, scanning forward.
  void replaceAll(const CAppsString& search, const CAppsString& replacement, TBool caseSensitive = true);
  void toUpperCase();
  void toLowerCase();

  bool operator==(const CAppsString& other) const;
  bool operator!=(const CAppsString& other) const { return !(*this == other); }
  bool operator==(const char* text) const { return *this == CAppsString(text); }
  bool operator!=(const char* text) const { return !(*this == text); }
  // Locale-aware order through the platform's string type.
  TInt32 localeAwareCompare(const CAppsString& other) const;

 private:
  void appendUnits(const TChar* units, TInt32 n);
  void ensureTerminator();
  bool matchesAt(TInt32 at, const CAppsString& search, TBool caseSensitive) const;
};
