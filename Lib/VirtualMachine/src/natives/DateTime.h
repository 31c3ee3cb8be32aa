#pragma once
// Nerim::DateTime: a calendar date and time in broken-down fields. Every
// change is made by the platform's QDateTime and the fields read back, so
// dates it normalises or rejects are stored as it reports them.
#include "GCObject.h"
#include "NString.h"
#include "Types.h"

class QDateTime;

namespace Nerim {

GCOBJECT_PACK_BEGIN
class DateTime : public GCObject {
 public:
  enum { Local = 0, Utc = 1 };

  // Now, local time.
  DateTime();
  // Validated in field order; failures raise code 6 "Invalid year" ...
  DateTime(TInt32 day, TInt32 month, TInt32 year, TInt32 hour, TInt32 minute, TInt32 second, TInt32 timezone);
  DateTime(const DateTime&) = default;
  DateTime& operator=(const DateTime&) = default;

  TInt32 getDay() const { return iDay; }
  TInt32 getMonth() const { return iMonth; }
  TInt32 getYear() const { return iYear; }
  TInt32 getHour() const { return iHour; }
  TInt32 getMinute() const { return iMinute; }
  TInt32 getSecond() const { return iSecond; }
  TInt32 getTimezone() const { return iTimezone; }

  // Out-of-range values raise code 6 without a message.
  void setDay(TInt32 day);
  void setMonth(TInt32 month);
  void setYear(TInt32 year);
  void setHour(TInt32 hour);
  void setMinute(TInt32 minute);
  void setSecond(TInt32 second);
  // Converts the instant to the new zone; above 1 raises code 6.
  void setTimezone(TInt32 timezone);

  // 32-bit arithmetic on the total seconds, as the images expect.
  void add(TInt32 days, TInt32 hours, TInt32 minutes, TInt32 seconds);
  void subtract(TInt32 days, TInt32 hours, TInt32 minutes, TInt32 seconds);

  // -1, 0 or 1; a date in another zone is converted to this one first.
  TInt32 compare(const DateTime& other) const;
  // "2010-03-05 07:08:09", with "Z" after it in UTC.
  NString toText() const;

 private:
  QDateTime toQt() const;
  void readBack(const QDateTime& dt);
  void setDate(TInt32 year, TInt32 month, TInt32 day);
  void setTime(TInt32 hour, TInt32 minute, TInt32 second);

  TInt32 iTimezone;
  TInt32 iDay;
  TInt32 iMonth;
  TInt32 iYear;
  TInt32 iHour;
  TInt32 iMinute;
  TInt32 iSecond;
};
GCOBJECT_PACK_END

}  // namespace Nerim
