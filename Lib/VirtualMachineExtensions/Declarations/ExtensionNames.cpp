// The declaration tables expanded from Extensions.def and the operations
// files, and their lookups (a handful of rows each: a scan is enough).
#include "ExtensionNames.h"

#include <cstring>

namespace ext {

namespace {

#define EXTENSION_OPERATION(op, name, handler, effect, errors) {op, #name, effect, errors},
const OperationName kAccelerometer[] = {
#include "Accelerometer.def"
};
const OperationName kXMLParser[] = {
#include "XMLParser.def"
};
const OperationName kLocation[] = {
#include "Location.def"
};
const OperationName kAudioPlayer[] = {
#include "AudioPlayer.def"
};
const OperationName kAudioMixer[] = {
#include "AudioMixer.def"
};
const OperationName kTorch[] = {
#include "Torch.def"
};
const OperationName kMaemo[] = {
#include "Maemo.def"
};
#undef EXTENSION_OPERATION

template <typename T, size_t N> constexpr TInt32 countOf(const T (&)[N]) { return static_cast<TInt32>(N); }

const Declaration kDeclarations[] = {
#define EXTENSION(id, name, unknownOpcode, numbered) {id, #name, unknownOpcode, numbered, k##name, countOf(k##name)},
#include "Extensions.def"
#undef EXTENSION
};

}  // namespace

const Declaration* declarations(TInt32& count) {
  count = countOf(kDeclarations);
  return kDeclarations;
}

const Declaration* declaration(TInt32 id) {
  for (const Declaration& d : kDeclarations)
    if (d.id == id) return &d;
  return nullptr;
}

const Declaration* declarationNamed(const char* name) {
  for (const Declaration& d : kDeclarations)
    if (std::strcmp(d.name, name) == 0) return &d;
  return nullptr;
}

const OperationName* declaredOperation(const Declaration& d, TInt32 op) {
  for (TInt32 i = 0; i < d.count; ++i)
    if (d.operations[i].op == op) return &d.operations[i];
  return nullptr;
}

const OperationName* declaredOperationNamed(const Declaration& d, const char* name) {
  for (TInt32 i = 0; i < d.count; ++i)
    if (std::strcmp(d.operations[i].name, name) == 0) return &d.operations[i];
  return nullptr;
}

}  // namespace ext
