#pragma once
// Turns arbitrary bytes into the source of a well-formed program (assembly
// for assembleImage, with the runtime library) that reaches deep into the
// interpreter and the natives: valid opcodes and operands, addresses drawn
// from live blocks, freed blocks and their edges, stack offsets around the
// top (the operands fused sequences get wrong), counts and sizes near the
// limits, calls, throws and catches. Every byte sequence gives a program;
// the same bytes always give the same one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScriptMachine.h"

std::string generateProgram(const uint8_t* data, size_t size);

// Runs a program fused and plain on fresh machines under the same budget
// and compares what each logged and how each ended; empty when they agree,
// otherwise both outcomes. `assembled` is false when the source did not assemble.
std::string compareFusedAndPlain(const std::string& source, long long budget, bool* assembled = nullptr);
