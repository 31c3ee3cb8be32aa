#include "Vec.h"

void vecIndexError(TInt32 index, TInt32 size) {
  (void)size;
  raise(ERR_INDEX_OUT_OF_BOUNDS, "", index);
}
