// Stand-in until the audio player lands: no instance, so id 28 is not
// built in and its calls end in "DLL not supported". Delete this file
// when AudioPlayer defines createAudioPlayer and kAudioPlayerOperations.
#include "ExtensionTable.h"

namespace ext {
const native::OperationTable kAudioPlayerOperations = {nullptr, 0};
NERIM::Extension* createAudioPlayer(MVMCallbackInterface*, FrameworkServices*) { return nullptr; }
}  // namespace ext
