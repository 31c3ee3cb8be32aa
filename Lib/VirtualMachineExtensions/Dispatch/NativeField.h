#pragma once
// Extension objects reach bytecode inside a class instance: word 0 is the
// class id, word 1 holds the native object.
#include "NativeHelpers.h"

namespace ext {

// The checked address of the object's word 1 (null raises "NULL pointer").
inline VMAddr nativeField(TUint32 object) {
  const VMAddr field = native::deref(object) + 4;
  vmOpenChecked(field, 4);
  return field;
}

// The native object of type T the bytecode object holds.
template <typename T> T& nativeIn(TUint32 object) { return native::objectOf<T>(native::load(nativeField(object))); }

}  // namespace ext
