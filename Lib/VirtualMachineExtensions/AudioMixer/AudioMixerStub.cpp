// Stand-in until the audio mixer lands: no instance, so id 30 is not
// built in and its calls end in "DLL not supported". Delete this file
// when AudioMixer defines createAudioMixer and kAudioMixerOperations.
#include "ExtensionTable.h"

namespace ext {
const native::OperationTable kAudioMixerOperations = {nullptr, 0};
NERIM::Extension* createAudioMixer(MVMCallbackInterface*, FrameworkServices*) { return nullptr; }
}  // namespace ext
