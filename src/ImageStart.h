#pragma once
// Start-up of an image, the same for every host: open index.mcb through
// the host's file service, load it, run ::global::init and then main, each
// inside the host's entry guard.
class ClientVM;
class HostServices;

// False when index.mcb cannot be opened: "Failed to open '<path>'" is then
// on standard error. An error of the image ends the run through the guard.
bool startImage(HostServices& host, ClientVM& vm);
