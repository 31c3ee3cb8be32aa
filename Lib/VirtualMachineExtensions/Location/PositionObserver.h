#pragma once
// Position reports reach the location extension through MPositionObserver;
// a position source (a platform service, or a test's stand-in) is attached
// through MPositionSource. Without a source, start and stop requests do
// nothing. Reports must come from the event loop, with the machine idle,
// as every host event does.
#include "Types.h"

namespace Nerim {
class DateTime;
}

// A report carries the context value the request was started with (the
// requestor's value a: the image's observer object, on which the exported
// methods are called); an error's second value is that context too.
class MPositionObserver {
 public:
  virtual ~MPositionObserver() {}
  virtual void positionUpdated(TInt64& first, TInt64& second, TInt64& third, TInt64& fourth,
                               const Nerim::DateTime& timeStamp, TInt32 extra, TInt32 context) = 0;
  virtual void positionErrorForwarded(TInt32 first, TInt32 second) { positionError(first, second); }
  virtual void positionError(TInt32 first, TInt32 second) = 0;
};

class MPositionSource {
 public:
  virtual ~MPositionSource() {}
  // A request (values a and b as the image gave them) starts or changes.
  virtual void start(MPositionObserver& observer, TInt32 a, TInt32 b, TInt32 intervalMillis) = 0;
  virtual void stop(MPositionObserver& observer) = 0;
};

// The attached source, or null.
MPositionSource* positionSource();
void setPositionSource(MPositionSource* source);
