// Nerim::DateTime through the platform: validation order, normalisation,
// arithmetic, zone conversion and comparison, the text form. Local time is
// pinned with TZ so the results do not depend on the machine.
#include "DateTime.h"
#include "NativeTestSupport.h"

#include <QDate>
#include <cstdlib>
#include <ctime>

using Nerim::DateTime;

namespace {

class DateTimeTest : public ::testing::Test {
 protected:
  // Two hours east of UTC, no daylight saving.
  void SetUp() override { setZone("XST-2"); }
  void TearDown() override { setZone("UTC0"); }
  static void setZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }
};

DateTime utc(TInt32 d, TInt32 mo, TInt32 y, TInt32 h = 0, TInt32 mi = 0, TInt32 s = 0) {
  return DateTime(d, mo, y, h, mi, s, DateTime::Utc);
}
QString shown(const DateTime& d) { return text(d.toText()); }

}  // namespace

TEST_F(DateTimeTest, ValidationInFieldOrder) {
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(1, 1, 10000, 0, 0, 0, 0)), "InvalidArgumentException: Invalid year");
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(1, 1, -1, 0, 0, 0, 0)), "InvalidArgumentException: Invalid year");
  // Month is checked before day, day before the time fields.
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(0, 13, 2000, 24, 0, 0, 0)), "InvalidArgumentException: Invalid month");
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(32, 1, 2000, 24, 0, 0, 0)), "InvalidArgumentException: Invalid day");
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(1, 1, 2000, 24, 60, 0, 0)), "InvalidArgumentException: Invalid hour");
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(1, 1, 2000, 0, 60, 60, 0)), "InvalidArgumentException: Invalid minute");
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(1, 1, 2000, 0, 0, 60, 2)), "InvalidArgumentException: Invalid second");
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, DateTime(1, 1, 2000, 0, 0, 0, 2)), "InvalidArgumentException: Invalid timezone");
}

TEST_F(DateTimeTest, StoresWhatThePlatformMakesOfADate) {
  const DateTime d(29, 2, 2009, 0, 0, 0, 0);
  const QDate platform(2009, 2, 29);
  EXPECT_EQ(d.getDay(), platform.day());
  EXPECT_EQ(d.getMonth(), platform.month());
  EXPECT_EQ(d.getYear(), platform.year());
  const DateTime leap(29, 2, 2008, 23, 59, 59, 0);
  EXPECT_EQ(shown(leap), "2008-02-29 23:59:59");
}

TEST_F(DateTimeTest, TextForm) {
  EXPECT_EQ(shown(utc(5, 3, 2010, 7, 8, 9)), "2010-03-05 07:08:09Z");
  EXPECT_EQ(shown(DateTime(1, 1, 7, 12, 30, 0, 0)).left(5), "0007-");
  EXPECT_EQ(shown(utc(9, 11, 87)).left(4), "0087");
  EXPECT_EQ(shown(utc(9, 11, 987)).left(4), "0987");
}

TEST_F(DateTimeTest, AddAndSubtractCrossYears) {
  DateTime d = utc(31, 12, 2009, 10, 0, 0);
  d.add(1, 0, 0, 0);
  EXPECT_EQ(shown(d), "2010-01-01 10:00:00Z");
  d.subtract(0, 10, 0, 1);
  EXPECT_EQ(shown(d), "2009-12-31 23:59:59Z");
  d.add(0, 0, 0, -60);   // negative parts count too
  EXPECT_EQ(shown(d), "2009-12-31 23:58:59Z");
  // The total wraps in 32 bits: 24856 days is past 2^31 seconds.
  DateTime w = utc(1, 1, 2000);
  w.add(24856, 0, 0, 0);
  DateTime expected = utc(1, 1, 2000);
  expected.add(0, 0, 0, static_cast<TInt32>(24856u * 86400u));
  EXPECT_EQ(w.compare(expected), 0);
  EXPECT_LT(w.getYear(), 2000);
}

TEST_F(DateTimeTest, SettersRefuseOutOfRangeWithoutMessage) {
  DateTime d = utc(15, 6, 2012, 8, 30, 0);
  EXPECT_EQ(EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.setDay(0)), "InvalidArgumentException");
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.setMonth(13));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.setYear(10000));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.setHour(24));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.setMinute(-1));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.setSecond(60));
  EXPECT_RAISES(ERR_INVALID_ARGUMENT, d.setTimezone(2));
  EXPECT_EQ(shown(d), "2012-06-15 08:30:00Z");
  d.setMonth(1);
  d.setDay(31);
  d.setYear(2013);
  d.setHour(23);
  d.setMinute(1);
  d.setSecond(2);
  EXPECT_EQ(shown(d), "2013-01-31 23:01:02Z");
  // A day the month lacks passes the range check; the platform decides.
  d.setMonth(4);
  EXPECT_EQ(d.getDay(), QDate(2013, 4, 31).day());
  EXPECT_EQ(d.getMonth(), QDate(2013, 4, 31).month());
}

TEST_F(DateTimeTest, SetTimezoneConvertsTheInstant) {
  DateTime d = utc(31, 12, 2009, 23, 30, 0);
  d.setTimezone(DateTime::Local);
  EXPECT_EQ(shown(d), "2010-01-01 01:30:00");
  EXPECT_EQ(d.getTimezone(), DateTime::Local);
  d.setTimezone(DateTime::Local);   // same zone: unchanged
  EXPECT_EQ(shown(d), "2010-01-01 01:30:00");
  d.setTimezone(DateTime::Utc);
  EXPECT_EQ(shown(d), "2009-12-31 23:30:00Z");
}

TEST_F(DateTimeTest, CompareConvertsTheOtherZone) {
  const DateTime local(1, 1, 2010, 1, 30, 0, DateTime::Local);
  EXPECT_EQ(local.compare(utc(31, 12, 2009, 23, 30, 0)), 0);
  EXPECT_EQ(local.compare(utc(31, 12, 2009, 23, 30, 1)), -1);
  // Field by field the UTC date is the earlier one; as instants it is later.
  EXPECT_EQ(local.compare(utc(1, 1, 2010, 0, 0, 0)), -1);
  EXPECT_EQ(utc(1, 1, 2010, 0, 0, 0).compare(local), 1);
  EXPECT_EQ(utc(2, 1, 2010).compare(utc(1, 2, 2009)), 1);
}
