// DateTime group (29): dates held through GC_CODE_REF_HOLDER cells. d is a
// date cell (null raises code 1); dst a cell that receives a new date.
#include "DateTime.h"
#include "NativeHelpers.h"

#include <functional>
#include <new>

using native::Args;
using Nerim::DateTime;

namespace {

DateTime& dateAt(Args& a, TInt32 i) { return native::objectAt<DateTime>(a.word(i)); }

// The date is built (and validated) before it is allocated, so a failure
// leaves nothing to free.
void storeNew(Args& a, const DateTime& value) {
  const VMAddr cell = native::deref(a.word(0));
  vmOpenChecked(cell, 4);
  const VMAddr object = a.heap().allocate(sizeof(DateTime), -1, GC_CODE_DATETIME);
  new (vmPtr(object)) DateTime(value);
  native::store(cell, object);
  a.noResult();
}

void now(native::Context& cx) {
  Args a(cx, 1);
  storeNew(a, DateTime());
}

void copy(native::Context& cx) {
  Args a(cx, 2);
  storeNew(a, dateAt(a, 1));
}

void fromFields(native::Context& cx) {   // dst, then seven integers
  Args a(cx, 8);
  storeNew(a, DateTime(a.integer(1), a.integer(2), a.integer(3), a.integer(4), a.integer(5), a.integer(6), a.integer(7)));
}

template <void (DateTime::*F)(TInt32, TInt32, TInt32, TInt32)> void shift(native::Context& cx) {
  Args a(cx, 5);
  (dateAt(a, 0).*F)(a.integer(1), a.integer(2), a.integer(3), a.integer(4));
  a.noResult();
}

template <TInt32 (DateTime::*F)() const> void get(native::Context& cx) {
  Args a(cx, 1);
  a.result(static_cast<TUint32>((dateAt(a, 0).*F)()));
}

template <void (DateTime::*F)(TInt32)> void set(native::Context& cx) {
  Args a(cx, 2);
  (dateAt(a, 0).*F)(a.integer(1));
  a.noResult();
}

void toText(native::Context& cx) {
  Args a(cx, 1);
  a.result(native::newStringFrom(a.heap(), dateAt(a, 0).toText()));
}

template <bool Same> void identity(native::Context& cx) {   // the same date object, or not
  Args a(cx, 2);
  const bool same = &dateAt(a, 0) == &dateAt(a, 1);
  a.result(native::truth(Same ? same : !same));
}

template <typename Relation> void compare(native::Context& cx) {   // on compare()'s sign
  Args a(cx, 2);
  a.result(native::truth(Relation()(dateAt(a, 0).compare(dateAt(a, 1)), 0)));
}

const native::Operation kRows[] = {
    {1, "now", now, "dst ->", "none"},
    {2, "copy", copy, "dst, d ->", "none"},
    {3, "copyToo", copy, "dst, d ->", "none"},
    {4, "fromFields", fromFields, "dst, int x7 ->", "6 \"Invalid year\"; 6 \"Invalid month\"; 6 \"Invalid day\"; 6 \"Invalid hour\"; 6 \"Invalid minute\"; 6 \"Invalid second\"; 6 \"Invalid timezone\""},
    {5, "add", shift<&DateTime::add>, "d, days, hours, minutes, seconds ->", "none"},
    {6, "subtract", shift<&DateTime::subtract>, "d, days, hours, minutes, seconds ->", "none"},
    {7, "day", get<&DateTime::getDay>, "d -> int", "none"},
    {8, "month", get<&DateTime::getMonth>, "d -> int", "none"},
    {9, "year", get<&DateTime::getYear>, "d -> int", "none"},
    {10, "hour", get<&DateTime::getHour>, "d -> int", "none"},
    {11, "minute", get<&DateTime::getMinute>, "d -> int", "none"},
    {12, "second", get<&DateTime::getSecond>, "d -> int", "none"},
    {13, "timezone", get<&DateTime::getTimezone>, "d -> int", "none"},
    {14, "setDay", set<&DateTime::setDay>, "d, int ->", "6"},
    {15, "setMonth", set<&DateTime::setMonth>, "d, int ->", "6"},
    {16, "setYear", set<&DateTime::setYear>, "d, int ->", "6"},
    {17, "setHour", set<&DateTime::setHour>, "d, int ->", "6"},
    {18, "setMinute", set<&DateTime::setMinute>, "d, int ->", "6"},
    {19, "setSecond", set<&DateTime::setSecond>, "d, int ->", "6"},
    {20, "setTimezone", set<&DateTime::setTimezone>, "d, int ->", "6 \"Invalid timezone\""},
    {21, "toText", toText, "d -> str", "none"},
    {22, "same", identity<true>, "d, d -> 1|0", "none"},
    {23, "notSame", identity<false>, "d, d -> 1|0", "none"},
    {24, "equals", compare<std::equal_to<TInt32>>, "d, d -> 1|0", "none"},
    {25, "differs", compare<std::not_equal_to<TInt32>>, "d, d -> 1|0", "none"},
    {26, "before", compare<std::less<TInt32>>, "d, d -> 1|0", "none"},
    {27, "beforeOrSame", compare<std::less_equal<TInt32>>, "d, d -> 1|0", "none"},
    {28, "after", compare<std::greater<TInt32>>, "d, d -> 1|0", "none"},
    {29, "afterOrSame", compare<std::greater_equal<TInt32>>, "d, d -> 1|0", "none"},
};

}  // namespace

NATIVE_OPERATIONS(dateTimeOperations, kRows);
