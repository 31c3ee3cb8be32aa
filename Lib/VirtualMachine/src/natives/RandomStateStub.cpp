// Placeholder until the Math group lands.
#include "NativeGroups.h"
void initRandomState(TUint8*) {}
