// The table of built-in extensions and the one opcode lookup they share.
#include "ExtensionTable.h"

#include "Errors.h"
#include "VMState.h"

#include <QString>
#include <cstring>

namespace ext {

namespace {

const Info kExtensions[] = {
    {ID_ACCELEROMETER, "Accelerometer", "SensorDLL: Unknown opcode!", false, &kAccelerometerOperations,
     createAccelerometer},
    {ID_XML_PARSER, "XMLParser", "XMLParser: Unknown opcode: ", true, &kXmlParserOperations, createXmlParser},
    {ID_LOCATION, "Location", "Location: Unknown opcode!", false, &kLocationOperations, createLocation},
    {ID_AUDIO_PLAYER, "AudioPlayer", "AudioPlayer: Unknown opcode!", false, &kAudioPlayerOperations,
     createAudioPlayer},
    {ID_AUDIO_MIXER, "AudioMixer", "AudioMixer: Unknown opcode!", false, &kAudioMixerOperations, createAudioMixer},
    {ID_TORCH, "Torch", "Torch: Unknown opcode!", false, &kTorchOperations, createTorch},
    {ID_MAEMO, "Maemo", "Maemo: Unknown opcode!", false, &kMaemoOperations, createMaemo},
};
constexpr TInt32 kCount = static_cast<TInt32>(sizeof(kExtensions) / sizeof(kExtensions[0]));
static_assert(kCount == kBuiltInCount, "the manager keeps one slot per built-in extension");

}  // namespace

const Info* extensionInfo(TInt32 id) {
  for (const Info& i : kExtensions)
    if (i.id == id) return &i;
  return nullptr;
}

const Info* extensionNamed(const char* name) {
  for (const Info& i : kExtensions)
    if (std::strcmp(i.name, name) == 0) return &i;
  return nullptr;
}

const Info* extensionInfos(TInt32& count) {
  count = kCount;
  return kExtensions;
}

const native::Operation* extensionOperation(TInt32 id, TInt32 opcode) {
  const Info* info = extensionInfo(id);
  if (!info) return nullptr;
  const native::OperationTable& t = *info->table;
  for (TInt32 k = 0; k < t.count; ++k)
    if (t.rows[k].op == opcode) return &t.rows[k];
  return nullptr;
}

void dispatch(const Info& info, NERIM::Extension* instance, VMState& state, TInt32 op, FrameworkServices* host) {
  const native::Operation* row = extensionOperation(info.id, op);
  if (!row) {
    if (info.numbered) raise(ERR_RUNTIME, info.unknownOpcode, op);
    raise(ERR_RUNTIME, info.unknownOpcode);
  }
  Call cx{{state, info.id, op, host, nullptr, nullptr}, instance};
  row->run(cx);
}

}  // namespace ext
