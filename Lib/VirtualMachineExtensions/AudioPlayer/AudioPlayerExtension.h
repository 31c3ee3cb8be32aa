#pragma once
// Extension 28: one server connection on the main thread's GLib loop, and
// the player operations that wait for it to become ready.
#include "DeferredOperation.h"
#include "ExtensionTable.h"
#include "Types.h"

#include <memory>
#include <pulse/context.h>
#include <pulse/glib-mainloop.h>
#include <set>
#include <vector>

class FrameworkServices;
class MVMCallbackInterface;
class Player;

class AudioPlayerExtension : public ext::BuiltIn {
 public:
  // Starts connecting; does not wait.
  AudioPlayerExtension(MVMCallbackInterface* vm, FrameworkServices* host);
  // Players still alive lose their streams first.
  ~AudioPlayerExtension() override;
  AudioPlayerExtension(const AudioPlayerExtension&) = delete;
  AudioPlayerExtension& operator=(const AudioPlayerExtension&) = delete;

  // Queues member on the player held by the heap object `object`; the whole
  // queue runs as soon as the connection is ready (at once if it is). A
  // connection that failed is made again first; when that fails too, code 7.
  void defer(VMHeap& heap, VMAddr object, Player& player, DeferredOperation::Member member);

  pa_context* context() const { return iContext; }
  bool ready() const { return iContext && pa_context_get_state(iContext) == PA_CONTEXT_READY; }
  TInt32 pending() const { return static_cast<TInt32>(iPending.size()); }
  FrameworkServices* host() const { return iHost; }
  MVMCallbackInterface* vm() const { return iVm; }

  // An operation waits for the connection, or a player is playing.
  bool active() const override;

  void attach(Player* p) { iPlayers.insert(p); }
  // A player going away: its queued operations go with it.
  void forget(Player* p);

 private:
  static void onContextState(pa_context* c, void* self);
  bool connect();
  void dropContext();
  void runPending();
  void dropPending();

  MVMCallbackInterface* iVm;
  FrameworkServices* iHost;
  pa_glib_mainloop* iLoop;
  pa_context* iContext = nullptr;
  std::vector<std::unique_ptr<DeferredOperation>> iPending;
  std::set<Player*> iPlayers;
};
