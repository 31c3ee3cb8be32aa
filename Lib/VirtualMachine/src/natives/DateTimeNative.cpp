// DateTime group (29): dates held through GC_CODE_REF_HOLDER cells. d is a
// date cell (null raises code 1); dst a cell that receives a new date.
#include "DateTime.h"
#include "FixedSlots.h"
#include "NativeHelpers.h"
#include "NativeGroups.h"

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

TInt32 field(const DateTime& d, TInt32 op) {   // 7..13
  switch (op) {
    case 7: return d.getDay();
    case 8: return d.getMonth();
    case 9: return d.getYear();
    case 10: return d.getHour();
    case 11: return d.getMinute();
    case 12: return d.getSecond();
    default: return d.getTimezone();
  }
}

void setField(DateTime& d, TInt32 op, TInt32 v) {   // 14..20
  switch (op) {
    case 14: return d.setDay(v);
    case 15: return d.setMonth(v);
    case 16: return d.setYear(v);
    case 17: return d.setHour(v);
    case 18: return d.setMinute(v);
    case 19: return d.setSecond(v);
    default: return d.setTimezone(v);
  }
}

bool relation(TInt32 op, TInt32 c) {   // 24..29 on compare()
  switch (op) {
    case 24: return c == 0;
    case 25: return c != 0;
    case 26: return c < 0;
    case 27: return c <= 0;
    case 28: return c > 0;
    default: return c >= 0;
  }
}

}  // namespace

void dateTimeNative(VMState& state, TInt32 op) {
  switch (op) {
    case 1: {
      Args a(state, 1);
      return storeNew(a, DateTime());
    }
    case 2:
    case 3: {
      Args a(state, 2);
      return storeNew(a, dateAt(a, 1));
    }
    case 4: {
      Args a(state, 8);
      return storeNew(a, DateTime(a.integer(1), a.integer(2), a.integer(3), a.integer(4), a.integer(5), a.integer(6),
                                  a.integer(7)));
    }
    case 5:
    case 6: {
      Args a(state, 5);
      DateTime& d = dateAt(a, 0);
      if (op == 5) d.add(a.integer(1), a.integer(2), a.integer(3), a.integer(4));
      else d.subtract(a.integer(1), a.integer(2), a.integer(3), a.integer(4));
      return a.noResult();
    }
    case 7: case 8: case 9: case 10: case 11: case 12: case 13: {
      Args a(state, 1);
      return a.result(static_cast<TUint32>(field(dateAt(a, 0), op)));
    }
    case 14: case 15: case 16: case 17: case 18: case 19: case 20: {
      Args a(state, 2);
      setField(dateAt(a, 0), op, a.integer(1));
      return a.noResult();
    }
    case 21: {
      Args a(state, 1);
      return a.result(native::newStringFrom(a.heap(), dateAt(a, 0).toText()));
    }
    case 22:
    case 23: {
      Args a(state, 2);
      const bool same = &dateAt(a, 0) == &dateAt(a, 1);
      return a.result(native::truth(op == 22 ? same : !same));
    }
    case 24: case 25: case 26: case 27: case 28: case 29: {
      Args a(state, 2);
      return a.result(native::truth(relation(op, dateAt(a, 0).compare(dateAt(a, 1)))));
    }
    default: native::unknownOperation("DateTime: ", op);
  }
}
