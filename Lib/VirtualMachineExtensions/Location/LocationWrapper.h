#pragma once
// The location extension's instance: it turns position reports and errors
// into calls of the image's two exported observer methods.
#include "ExtensionTable.h"
#include "LocationObjects.h"
#include "PositionObserver.h"

class CLocationWrapper : public ext::BuiltIn, public MPositionObserver {
 public:
  CLocationWrapper(MVMCallbackInterface* callback, FrameworkServices* host);
  ~CLocationWrapper() override;

  void positionUpdated(TInt64& first, TInt64& second, TInt64& third, TInt64& fourth,
                       const Nerim::DateTime& timeStamp, TInt32 extra, TInt32 context) override;
  void positionError(TInt32 first, TInt32 second) override;

  // Every source started for this instance is stopped when it goes.
  void started() { iStarted = true; }

 private:
  MVMCallbackInterface* iCallback;
  TInt32 iEventHandle = -1;
  TInt32 iErrorHandle = -1;
  bool iStarted = false;
};
