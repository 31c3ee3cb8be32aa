#pragma once
// The runtime's fixed-width names. Slots, addresses and counts the bytecode
// sees are 32-bit on every host.
#include <cstdint>
#include <cstddef>

typedef int8_t   TInt8;
typedef uint8_t  TUint8;
typedef int16_t  TInt16;
typedef uint16_t TUint16;
typedef int32_t  TInt32;
typedef uint32_t TUint32;
typedef int64_t  TInt64;
typedef uint64_t TUint64;
typedef bool     TBool;
typedef uint16_t TChar;     // one UTF-16 code unit

// A 32-bit VM address: an offset into the VM arena, 0 is null.
typedef uint32_t VMAddr;

// Truth values as the bytecode sees them.
constexpr TInt32 VM_TRUE = -1;
constexpr TInt32 VM_FALSE = 0;
