#pragma once
// The player object the image holds (in the first field of its own object):
// a heap handle owning the host-side Player.
#include "GCObject.h"
#include "Player.h"

GCOBJECT_PACK_BEGIN
class AudioPlayer : public GCObject {
 public:
  explicit AudioPlayer(Player* player) : iPlayer(player) {}
  ~AudioPlayer() override { delete iPlayer; }
  int getContentSize() const override { return static_cast<int>(iPlayer->size()); }
  Player& player() { return *iPlayer; }

 private:
  Player* iPlayer;
};
GCOBJECT_PACK_END
