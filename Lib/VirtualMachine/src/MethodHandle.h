#pragma once
// A resolved exported method, and a call that waits for the machine.
#include "CAppsString.h"
#include "Types.h"
#include "Vec.h"

struct MethodHandle {
  TUint8 hasResult = 0;
  TInt32 resultLevel = 0;
  Vec<int> parameterLevels;
  TInt32 position = 0;
  CAppsString name;
  TInt32 exportedMethod = -1;
};

struct StoredMethodCall {
  TInt32 handle = -1;
  Vec<int> values;
  Vec<int> levels;
  TInt32 resultLevel = 0;
  Vec<int> roots;   // argument values registered as heap roots while queued
};
