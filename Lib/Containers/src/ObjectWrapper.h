#pragma once
// ObjectWrapper<T, N>: a fixed-size element of N values of T; the typed
// arrays of the bytecode are NVectors of these. Plain data, no padding.
#include "Types.h"

template <typename T, int N>
struct ObjectWrapper {
  T values[N];

  T& operator[](int i) { return values[i]; }
  const T& operator[](int i) const { return values[i]; }
  bool operator==(const ObjectWrapper& other) const {
    for (int i = 0; i < N; ++i)
      if (values[i] != other.values[i]) return false;
    return true;
  }
  bool operator!=(const ObjectWrapper& other) const { return !(*this == other); }
};

static_assert(sizeof(ObjectWrapper<signed char, 1>) == 1, "byte element");
static_assert(sizeof(ObjectWrapper<int, 3>) == 12, "three-word element");
