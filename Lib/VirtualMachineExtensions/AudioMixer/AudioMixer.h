#pragma once
// The mixer object the image holds (in the first field of its own object):
// a heap handle owning the host-side Mixer.
#include "GCObject.h"
#include "Mixer.h"

GCOBJECT_PACK_BEGIN
class AudioMixer : public GCObject {
 public:
  explicit AudioMixer(Mixer* mixer) : iMixer(mixer) {}
  ~AudioMixer() override { delete iMixer; }
  int getContentSize() const override { return static_cast<int>(iMixer->soundBytes()); }
  Mixer& mixer() { return *iMixer; }

 private:
  Mixer* iMixer;
};
GCOBJECT_PACK_END
