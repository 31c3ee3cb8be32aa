#pragma once
// Loading one extension library: "<directory>/<id>.so", lazily bound with
// its own symbols first, and its createExtension factory.
#include "NerimExtension.h"

class NString;

// The new instance, or null after writing the loader's complaint to the
// debug log. A library that was opened stays open for the run.
NERIM::Extension* loadExtensionLibrary(const NString& directory, TInt32 id, MVMCallbackInterface* callback,
                                       FrameworkServices* host);
