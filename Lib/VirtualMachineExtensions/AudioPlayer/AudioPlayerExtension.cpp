// The player's connection. Callbacks arrive on the main thread through the
// default GLib context, between the machine's calls, so the queue needs no
// lock. A failed connection drops the queue (and its roots); the next
// operation connects again or reports code 7.
#include "AudioPlayerExtension.h"

#include "Player.h"
#include "SoundServer.h"

#include <new>

namespace {
const char kWho[] = "AudioPlayer";
}

AudioPlayerExtension::AudioPlayerExtension(MVMCallbackInterface* vm, FrameworkServices* host)
    : BuiltIn(*ext::extensionInfo(ext::ID_AudioPlayer), host),
      iVm(vm),
      iHost(host),
      iLoop(pa_glib_mainloop_new(nullptr)) {
  if (!iLoop) throw std::bad_alloc();
  try {
    connect();
  } catch (...) {
    pa_glib_mainloop_free(iLoop);
    throw;
  }
}

AudioPlayerExtension::~AudioPlayerExtension() {
  const std::set<Player*> players = iPlayers;
  for (Player* p : players) p->detach();
  iPending.clear();
  dropContext();
  pa_glib_mainloop_free(iLoop);
}

bool AudioPlayerExtension::connect() {
  dropContext();
  iContext = pa_context_new(pa_glib_mainloop_get_api(iLoop), sound::kClientName);
  if (!iContext) throw std::bad_alloc();
  pa_context_set_state_callback(iContext, onContextState, this);
  return pa_context_connect(iContext, nullptr, sound::kConnectFlags, nullptr) >= 0;
}

void AudioPlayerExtension::dropContext() {
  if (!iContext) return;
  pa_context_set_state_callback(iContext, nullptr, nullptr);
  pa_context_disconnect(iContext);
  pa_context_unref(iContext);
  iContext = nullptr;
}

void AudioPlayerExtension::onContextState(pa_context* c, void* self) {
  AudioPlayerExtension& e = *static_cast<AudioPlayerExtension*>(self);
  const pa_context_state_t state = pa_context_get_state(c);
  if (state == PA_CONTEXT_READY) e.runPending();
  else if (!PA_CONTEXT_IS_GOOD(state)) e.dropPending();
}

void AudioPlayerExtension::defer(VMHeap& heap, VMAddr object, Player& player, DeferredOperation::Member member) {
  if ((!iContext || !PA_CONTEXT_IS_GOOD(pa_context_get_state(iContext))) && !connect()) {
    const int error = pa_context_errno(iContext);
    sound::raiseServerError(kWho, error);
  }
  std::unique_ptr<DeferredOperation> op(new DeferredOperation(heap, object, player, member));
  iPending.push_back(std::move(op));   // a failed push drops the operation and its root
  if (ready()) runPending();
}

void AudioPlayerExtension::runPending() {
  std::vector<std::unique_ptr<DeferredOperation>> run;
  run.swap(iPending);
  for (auto& op : run) op->run();
}

void AudioPlayerExtension::dropPending() { iPending.clear(); }

bool AudioPlayerExtension::active() const {
  if (!iPending.empty()) return true;
  for (const Player* p : iPlayers)
    if (p->playing()) return true;
  return false;
}

void AudioPlayerExtension::forget(Player* p) {
  iPlayers.erase(p);
  for (size_t i = 0; i < iPending.size();) {
    if (iPending[i]->player() == p) iPending.erase(iPending.begin() + static_cast<long>(i));
    else ++i;
  }
}
