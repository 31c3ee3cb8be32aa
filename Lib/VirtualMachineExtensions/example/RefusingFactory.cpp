// A library whose factory refuses to make an extension (built as 43.so).
#include "NerimExtension.h"

NERIM_EXTENSION_FACTORY {
  (void)callback;
  (void)host;
  return nullptr;
}
