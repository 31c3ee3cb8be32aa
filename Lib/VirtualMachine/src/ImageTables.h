#pragma once
// The tables a loaded image fills inside the virtual machine. Every table is
// appended to by each image; local numbers are shifted by the image's bases.
#include "CAppsString.h"
#include "NString.h"
#include "Types.h"
#include "Vec.h"

struct BytecodeStruct {
  CAppsString name;
  Vec<TUint8> tag;
  TInt32 codeBase = 0;
  TInt32 imageSize = 0;
  TInt32 codeSize = 0;
};

struct MethodEntry {
  TInt32 classId = -1;      // -1 for a non-virtual entry
  TInt32 codeOffset = 0;    // absolute
  TInt32 methodInfo = 0;    // absolute method-record index
};

struct ExportedMethod {
  TInt32 imageIndex = 0;
  Vec<MethodEntry> entries;
  CAppsString name;
  TUint8 isVirtual = 0;
  TInt32 handleIndex = -1;
};

// Frame map of one compiled method; offsets are slots from the frame base.
struct MethodGCInfo {
  TInt32 paramSlots = 0;
  Vec<int> paramReferenceSlots;
  Vec<int> paramVectorSlots;
  Vec<char> paramVectorFlags;
  TInt32 resultSlots = 0;
  TInt32 localSlots = 0;
  Vec<int> localReferenceSlots;
  Vec<int> localVectorSlots;
  Vec<char> localVectorFlags;
};

// Bytes of opcode 125 kept after the last instruction, so a pc that runs off
// the end of the code always decodes an invalid opcode instead of reading
// past the buffer.
constexpr TInt32 kCodePadding = 16;
constexpr TUint8 kCodePadByte = 125;

struct ImageTables {
  Vec<BytecodeStruct> images;
  Vec<ExportedMethod> exportedMethods;

  Vec<Vec<int>> classReferenceFields;
  Vec<Vec<int>> classVectorFields;
  Vec<Vec<char>> classVectorFieldFlags;
  Vec<int> superclassA;   // -1 when none; type tests
  Vec<int> superclassB;   // -2 never defined, -1 no superclass; exception matching
  TInt32 highestClassId = 0;

  Vec<MethodGCInfo> methodInfos;
  Vec<NString> strings;

  // All images' code back to back, followed by kCodePadding pad bytes.
  Vec<TUint8> code;
  // What the interpreter runs: the code with fused opcodes (Fusion.h).
  Vec<TUint8> exec;
  TInt32 codeSize = 0;
  // Instructions in [traceFrom, traceTo) dispatch through the observer.
  TInt32 traceFrom = 0, traceTo = 0;
  // False runs every instruction plainly (differential tests of the fusion).
  bool fuse = true;

  VMAddr globals = 0;

  ImageTables() { padCode(); }

  // Appends code bytes, keeping the padding after them.
  void appendCode(const TUint8* bytes, TInt32 n) {
    code.resize(codeSize);
    if (code.capacity() < codeSize + n + kCodePadding) code.setCapacity(codeSize + n + kCodePadding);
    for (TInt32 i = 0; i < n; ++i) code.append(bytes[i]);
    codeSize += n;
    padCode();
  }

 private:
  void padCode() {
    for (TInt32 i = 0; i < kCodePadding; ++i) code.append(kCodePadByte);
  }
};
