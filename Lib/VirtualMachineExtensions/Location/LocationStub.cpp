#include "ExtensionTable.h"
namespace ext {
const native::OperationTable kLocationOperations = {nullptr, 0};
NERIM::Extension* createLocation(MVMCallbackInterface*, FrameworkServices*) { return nullptr; }
}  // namespace ext
