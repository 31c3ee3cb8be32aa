#pragma once
// Start-up of an image, the same for every host: open the image through
// the host's file service, load it, run ::global::init and then main, each
// inside the host's entry guard.
#include <QString>
#include <functional>
#include <string>

class ClientVM;
class HostServices;

// What a host may add to start-up: afterLoad runs between the load and
// ::global::init, and false ends the start there.
struct ImageStartHooks {
  std::function<bool()> afterLoad;
};

// False when the image cannot be opened ("Failed to open '<path>'" is then on
// standard error) or afterLoad refused. An error of the image ends the run
// through the guard; for an image the loader refused, a line "  <path>: <what
// the loader found>" follows the FATAL line.
bool startImage(HostServices& host, ClientVM& vm, const QString& image = QStringLiteral("index.mcb"),
                const ImageStartHooks& hooks = ImageStartHooks());
