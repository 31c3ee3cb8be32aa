// FileSystem group (25): existence tests, listings, create, delete, move
// and rename, all through the host's file services.
#include "FrameworkServices.h"
#include "NString.h"
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

template <bool Directory> void exists(native::Context& cx) {
  native::Args a(cx, 1);
  const NString path = native::stringAt(a.word(0));
  FileSystemServices& host = cx.host();
  const bool found = !path.isEmpty() && (Directory ? host.directoryExists(path) : host.fileExists(path));
  a.result(found ? kTrue : 0);
}

template <bool Directories> void listing(native::Context& cx) {
  native::Args a(cx, 1);
  const NString path = native::stringAt(a.word(0));
  Vec<NString> fileNames, directoryNames;
  succeeded(cx.host().listDirectory(path, fileNames, directoryNames));
  a.result(vectors::newStringVector(cx.heap(), Directories ? directoryNames : fileNames));
}

typedef bool (FileSystemServices::*PairOp)(const NString&, const NString&);
typedef bool (FileSystemServices::*PathOp)(const NString&);

// Source and target names; the messages differ between files and directories.
template <bool Directories, PairOp Op> void pairOp(native::Context& cx) {
  native::Args a(cx, 2);
  const NString source = nonEmpty(a.word(0), Directories ? "Source path is empty" : "Source filename is empty");
  const NString target = nonEmpty(a.word(1), Directories ? "Target path is empty" : "Target filename is empty");
  a.noResult();
  succeeded((cx.host().*Op)(source, target));
}

template <PathOp Op> void pathOp(native::Context& cx) {
  native::Args a(cx, 1);
  const NString path = nonEmpty(a.word(0), "Path is empty");
  a.noResult();
  succeeded((cx.host().*Op)(path));
}

// Creates the file or empties it; the stream is not kept.
void create(native::Context& cx) {
  native::Args a(cx, 1);
  const NString path = nonEmpty(a.word(0), "Path is empty");
  a.noResult();
  NERIM::OutputStream* stream = cx.host().openOutputStream(path, 1);
  if (!stream) raise(ERR_IO, "");
  stream->close();
  delete stream;
}

const native::Operation kRows[] = {
    {1, "fileExists", exists<false>, "str -> bool", "none"},
    {2, "directoryExists", exists<true>, "str -> bool", "none"},
    {3, "deleteFile", pathOp<&FileSystemServices::deleteFile>, "str ->", "6 \"Path is empty\"; 7"},
    {4, "deleteDirectory", pathOp<&FileSystemServices::deleteDirectory>, "str ->", "6 \"Path is empty\"; 7"},
    {5, "listDirectories", listing<true>, "str -> vector of str", "7"},
    {6, "listFiles", listing<false>, "str -> vector of str", "7"},
    {7, "createFile", create, "str ->", "6 \"Path is empty\"; 7"},
    {8, "makePath", pathOp<&FileSystemServices::makePath>, "str ->", "6 \"Path is empty\"; 7"},
    {9, "moveFile", pairOp<false, &FileSystemServices::moveFile>, "str, str ->", "6 \"Source filename is empty\"; 6 \"Target filename is empty\"; 7"},
    {10, "renameDirectory", pairOp<true, &FileSystemServices::renameDirectory>, "str, str ->", "6 \"Source path is empty\"; 6 \"Target path is empty\"; 7"},
};

}  // namespace

NATIVE_OPERATIONS(fileSystemOperations, kRows);
