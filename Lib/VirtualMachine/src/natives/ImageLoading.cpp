#include "ImageLoading.h"

#include "BitmapContainer.h"
#include "DrawHandle.h"
#include "Errors.h"
#include "FrameworkServices.h"
#include "HostMemory.h"
#include "ImageDecoder.h"
#include "InputStream.h"
#include "NString.h"
#include "NerimFont.h"

#include <memory>
#include <new>
#include <vector>

namespace imageloading {

namespace {

VMAddr newStripFont(VMHeap& heap, const QImage& image) {
  std::unique_ptr<NerimFont::Glyphs> glyphs = NerimFont::build(image);
  const VMAddr object = heap.allocate(sizeof(NerimFont), -1, GC_CODE_FONT);
  new (vmPtr(object)) NerimFont(std::move(glyphs));
  return object;
}

}  // namespace

VMAddr load(VMHeap& heap, const TUint8* bytes, TInt32 length, TInt32 first, TInt32 count, bool font) {
  if (count == -1) count = length - first;
  if (length <= 0 || first < 0 || count < 0 || static_cast<TInt64>(first) + count > length) return 0;
  hostmem::Charge decoding;
  const QImage image = imagedecoder::decode(bytes + first, static_cast<size_t>(count), decoding);
  if (image.isNull()) return 0;
  if (font) return newStripFont(heap, image);
  return drawhandle::newBitmap(heap, BitmapContainer::fromImage(image));
}

VMAddr loadFile(FrameworkServices& host, VMHeap& heap, const NString& name, bool font) {
  if (name.length() == 0) raise(ERR_INVALID_ARGUMENT, "Filename is empty");
  std::unique_ptr<NERIM::InputStream> stream(host.openInputStream(name));
  if (!stream) raise(ERR_IO, NString::concat(NString("Could not open file: "), name));
  const TInt64 size = stream->size();
  if (size == 0) raise(ERR_INVALID_ARGUMENT, "File is empty");
  if (size < 0 || size > 0x7FFFFFFF) raise(ERR_IO, "");
  hostmem::Charge reading(static_cast<size_t>(size));
  std::vector<TUint8> bytes(static_cast<size_t>(size));
  const bool read = stream->read(bytes.data(), static_cast<TInt32>(size));
  stream->close();
  stream.reset();
  if (!read) raise(ERR_IO, "");
  return load(heap, bytes.data(), static_cast<TInt32>(size), 0, -1, font);
}

}  // namespace imageloading
