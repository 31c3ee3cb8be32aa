#pragma once
// Native group functions: each takes the machine state, the operation
// number and the extra inputs of its group, and switches on the operation.
// Arguments are the topmost slots (the last at sp); a result replaces the
// first argument.
#include "Types.h"

struct VMState;
class VMHeap;
class FrameworkServices;

void vectorNative(VMState& state, TInt32 op, TInt32 elementSize, bool primitive);
void stringNative(VMState& state, TInt32 op);
void charNative(VMState& state, TInt32 op);
void fixedNative(VMState& state, TInt32 op);
void longNative(VMState& state, TInt32 op);
void colorNative(VMState& state, TInt32 op);
void rangeNative(VMState& state, TInt32 op);
void sizeNative(VMState& state, TInt32 op);
void positionNative(VMState& state, TInt32 op);
void rectangleNative(VMState& state, TInt32 op);
void graphicsNative(VMState& state, TInt32 op);
void bitmapNative(VMState& state, TInt32 op, FrameworkServices& host);
void fontNative(VMState& state, TInt32 op);
void outputStreamNative(VMState& state, TInt32 op);
void fileWriterNative(VMState& state, TInt32 op, FrameworkServices& host);
void inputStreamNative(VMState& state, TInt32 op);
void fileReaderNative(VMState& state, TInt32 op, FrameworkServices& host);
void fileSystemNative(VMState& state, TInt32 op, FrameworkServices& host);
void mathNative(VMState& state, TInt32 op, TUint8* randomState);
void numberNative(VMState& state, TInt32 op);
void encoderNative(VMState& state, TInt32 op, VMHeap& heap);
void dateTimeNative(VMState& state, TInt32 op);
void debugNative(VMState& state, TInt32 op, FrameworkServices& host);
void screenNative(VMState& state, TInt32 op, FrameworkServices& host);
void systemNative(VMState& state, TInt32 op, FrameworkServices& host, TUint32* applicationObject);
void timerNative(VMState& state, TInt32 op, FrameworkServices& host);
void hashNative(VMState& state, TInt32 op);
void keyEventNative(VMState& state, TInt32 op);
void floatNative(VMState& state, TInt32 op);

// Seeds the Math group's generator state.
void initRandomState(TUint8* state);
