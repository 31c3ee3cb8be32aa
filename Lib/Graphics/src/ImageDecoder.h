#pragma once
// Decoding image bytes from the image (bitmap files, byte arrays, strip
// fonts): PNG, JPEG, GIF and BMP only, through the toolkit's readers. The
// declared size is read first, and a picture above 16384 pixels a side or
// past the host-memory limit is refused before anything is decoded.
#include "HostMemory.h"

#include <QImage>
#include <cstddef>

namespace imagedecoder {

// The decoded picture, or a null image when the bytes are not one of the
// four formats or do not decode. Code 6 for a declared size over the
// limits. `charge` holds the decoding's memory until the caller drops it.
QImage decode(const unsigned char* bytes, size_t count, hostmem::Charge& charge);

}  // namespace imagedecoder
