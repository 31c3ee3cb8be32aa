#include "ExtensionTable.h"
namespace ext {
const native::OperationTable kXmlParserOperations = {nullptr, 0};
NERIM::Extension* createXmlParser(MVMCallbackInterface*, FrameworkServices*) { return nullptr; }
}  // namespace ext
