#include "DateTime.h"

#include "Errors.h"

#include <QDateTime>
#include <cstdio>

namespace Nerim {
namespace {

Qt::TimeSpec qtZone(TInt32 timezone) { return timezone == DateTime::Utc ? Qt::UTC : Qt::LocalTime; }

// Negative values count as large: they fail the same upper bound.
bool above(TInt32 v, TUint32 limit) { return static_cast<TUint32>(v) > limit; }
bool outside(TInt32 v, TInt32 lo, TInt32 hi) { return v < lo || v > hi; }

void refuse(bool failed, const char* message) {
  if (failed) raise(ERR_INVALID_ARGUMENT, message);
}

// Wraps like the 32-bit sum the images were compiled against.
TUint32 totalSeconds(TInt32 days, TInt32 hours, TInt32 minutes, TInt32 seconds) {
  return static_cast<TUint32>(days) * 86400u + static_cast<TUint32>(hours) * 3600u +
         static_cast<TUint32>(minutes) * 60u + static_cast<TUint32>(seconds);
}

}  // namespace

DateTime::DateTime() : iTimezone(Local) { readBack(QDateTime::currentDateTime()); }

DateTime::DateTime(TInt32 day, TInt32 month, TInt32 year, TInt32 hour, TInt32 minute, TInt32 second,
                   TInt32 timezone) {
  refuse(above(year, 9999), "Invalid year");
  refuse(outside(month, 1, 12), "Invalid month");
  refuse(outside(day, 1, 31), "Invalid day");
  refuse(above(hour, 23), "Invalid hour");
  refuse(above(minute, 59), "Invalid minute");
  refuse(above(second, 59), "Invalid second");
  refuse(above(timezone, 1), "Invalid timezone");
  iTimezone = timezone;
  iDay = day;
  iMonth = month;
  iYear = year;
  iHour = hour;
  iMinute = minute;
  iSecond = second;
  readBack(toQt());
}

QDateTime DateTime::toQt() const {
  return QDateTime(QDate(iYear, iMonth, iDay), QTime(iHour, iMinute, iSecond, 0), qtZone(iTimezone));
}

void DateTime::readBack(const QDateTime& dt) {
  const QDate date = dt.date();
  const QTime time = dt.time();
  iDay = date.day();
  iMonth = date.month();
  iYear = date.year();
  iHour = time.hour();
  iMinute = time.minute();
  iSecond = time.second();
}

void DateTime::setDate(TInt32 year, TInt32 month, TInt32 day) {
  QDate date;
  date.setDate(year, month, day);
  readBack(QDateTime(date, QTime(iHour, iMinute, iSecond, 0), qtZone(iTimezone)));
}

void DateTime::setTime(TInt32 hour, TInt32 minute, TInt32 second) {
  QTime time;
  time.setHMS(hour, minute, second);
  readBack(QDateTime(QDate(iYear, iMonth, iDay), time, qtZone(iTimezone)));
}

void DateTime::setDay(TInt32 day) { refuse(outside(day, 1, 31), ""); setDate(iYear, iMonth, day); }

void DateTime::setMonth(TInt32 month) { refuse(outside(month, 1, 12), ""); setDate(iYear, month, iDay); }

void DateTime::setYear(TInt32 year) { refuse(above(year, 9999), ""); setDate(year, iMonth, iDay); }

void DateTime::setHour(TInt32 hour) { refuse(above(hour, 23), ""); setTime(hour, iMinute, iSecond); }

void DateTime::setMinute(TInt32 minute) { refuse(above(minute, 59), ""); setTime(iHour, minute, iSecond); }

void DateTime::setSecond(TInt32 second) { refuse(above(second, 59), ""); setTime(iHour, iMinute, second); }

void DateTime::setTimezone(TInt32 timezone) {
  refuse(above(timezone, 1), "Invalid timezone");
  if (timezone != iTimezone) readBack(toQt().toTimeSpec(qtZone(timezone)));
  iTimezone = timezone;
}

void DateTime::add(TInt32 days, TInt32 hours, TInt32 minutes, TInt32 seconds) {
  readBack(toQt().addSecs(static_cast<TInt32>(totalSeconds(days, hours, minutes, seconds))));
}

void DateTime::subtract(TInt32 days, TInt32 hours, TInt32 minutes, TInt32 seconds) {
  readBack(toQt().addSecs(static_cast<TInt32>(0u - totalSeconds(days, hours, minutes, seconds))));
}

TInt32 DateTime::compare(const DateTime& other) const {
  if (other.iTimezone != iTimezone) {
    DateTime converted(other);
    converted.setTimezone(iTimezone);
    return compare(converted);
  }
  const TInt32 mine[] = {iYear, iMonth, iDay, iHour, iMinute, iSecond};
  const TInt32 theirs[] = {other.iYear, other.iMonth, other.iDay, other.iHour, other.iMinute, other.iSecond};
  for (int i = 0; i < 6; ++i)
    if (mine[i] != theirs[i]) return mine[i] < theirs[i] ? -1 : 1;
  return 0;
}

NString DateTime::toText() const {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d%s", iYear, iMonth, iDay, iHour, iMinute, iSecond,
                iTimezone == Utc ? "Z" : "");
  return NString(text);
}

}  // namespace Nerim
