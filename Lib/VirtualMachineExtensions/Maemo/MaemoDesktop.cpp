// Maemo extension (37): asks the desktop to leave the application's view
// with its exit-to-task-view signal. Keeps no state.
#include "ExtensionTable.h"

#include <cstdlib>

namespace {

const char kExitToTaskView[] = "dbus-send --type=signal /lofasz com.nokia.hildon_desktop.exit_app_view";

void exitToTaskView(native::Context&) {
  // The desktop may be absent; the command's outcome is not the image's concern.
  const int ignored = std::system(kExitToTaskView);
  (void)ignored;
}

const native::Operation kRows[] = {
#define EXTENSION_OPERATION EXTENSION_ROW
#include "Maemo.def"
#undef EXTENSION_OPERATION
};

}  // namespace

namespace ext {

NATIVE_OPERATIONS(kMaemoOperations, kRows);

NERIM::Extension* createMaemo(MVMCallbackInterface*, FrameworkServices* host) {
  return new BuiltIn(*extensionInfo(ID_Maemo), host);
}

}  // namespace ext
