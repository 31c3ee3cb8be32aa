#pragma once
// QString copies of image text handed to the toolkit (measuring, comparing,
// parsing), charged against the host-memory limit while they live: a
// string of n units costs 2n bytes more while its copy exists.
#include "HostMemory.h"
#include "Types.h"

#include <QString>

typedef hostmem::Held<QString> HeldQString;

inline HeldQString heldQString(const TChar* units, TInt32 count) {
  return HeldQString(sizeof(QChar) * static_cast<size_t>(count), reinterpret_cast<const QChar*>(units), count);
}
