// FileSystem group (25): existence tests, listings, create, delete, move
// and rename, all through the host's file services.
#include "Errors.h"
#include "FrameworkServices.h"
#include "NString.h"
#include "NativeGroups.h"
#include "NativeHelpers.h"
#include "OutputStream.h"
#include "VectorStore.h"

namespace {

constexpr TUint32 kTrue = static_cast<TUint32>(-1);

NString nonEmpty(TUint32 value, const char* message) {
  NString s = native::stringAt(value);
  if (s.isEmpty()) raise(ERR_INVALID_ARGUMENT, message);
  return s;
}

void succeeded(bool ok) {
  if (!ok) raise(ERR_IO, "");
}

void exists(VMState& state, FileSystemServices& host, bool directory) {
  native::Args a(state, 1);
  const NString path = native::stringAt(a.word(0));
  const bool found = !path.isEmpty() && (directory ? host.directoryExists(path) : host.fileExists(path));
  a.result(found ? kTrue : 0);
}

void listing(VMState& state, FileSystemServices& host, bool directories) {
  native::Args a(state, 1);
  const NString path = native::stringAt(a.word(0));
  Vec<NString> fileNames, directoryNames;
  succeeded(host.listDirectory(path, fileNames, directoryNames));
  const Vec<NString>& names = directories ? directoryNames : fileNames;
  VMHeap& heap = a.heap();
  const TUint32 holder = native::newRefVector(0, heap);
  vectors::VectorStore v(native::load(holder), 4);
  for (const NString& n : names) {
    const TUint32 cell = native::newStringFrom(heap, n);
    v.splice(heap, v.count(), 0, reinterpret_cast<const TUint8*>(&cell), 1);
  }
  a.result(holder);
}

// Source and target names; the messages differ between files and directories.
void pairOp(VMState& state, bool directories, bool (FileSystemServices::*op)(const NString&, const NString&),
            FileSystemServices& host) {
  native::Args a(state, 2);
  const NString source = nonEmpty(a.word(0), directories ? "Source path is empty" : "Source filename is empty");
  const NString target = nonEmpty(a.word(1), directories ? "Target path is empty" : "Target filename is empty");
  a.noResult();
  succeeded((host.*op)(source, target));
}

void pathOp(VMState& state, bool (FileSystemServices::*op)(const NString&), FileSystemServices& host) {
  native::Args a(state, 1);
  const NString path = nonEmpty(a.word(0), "Path is empty");
  a.noResult();
  succeeded((host.*op)(path));
}

// Creates the file or empties it; the stream is not kept.
void create(VMState& state, FileSystemServices& host) {
  native::Args a(state, 1);
  const NString path = nonEmpty(a.word(0), "Path is empty");
  a.noResult();
  NERIM::OutputStream* stream = host.openOutputStream(path, 1);
  if (!stream) raise(ERR_IO, "");
  stream->close();
  delete stream;
}

}  // namespace

void fileSystemNative(VMState& state, TInt32 op, FrameworkServices& host) {
  switch (op) {
    case 1: return exists(state, host, false);
    case 2: return exists(state, host, true);
    case 3: return pathOp(state, &FileSystemServices::deleteFile, host);
    case 4: return pathOp(state, &FileSystemServices::deleteDirectory, host);
    case 5: return listing(state, host, true);
    case 6: return listing(state, host, false);
    case 7: return create(state, host);
    case 8: return pathOp(state, &FileSystemServices::makePath, host);
    case 9: return pairOp(state, false, &FileSystemServices::moveFile, host);
    case 10: return pairOp(state, true, &FileSystemServices::renameDirectory, host);
    default: native::unknownOperation("FileSystem: ", op);
  }
}
