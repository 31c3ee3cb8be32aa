#pragma once
// A PNG is checked whole before the toolkit decodes it: the PNG library
// reports a broken file on standard error by itself, past the toolkit's
// message handler, and the runtime's standard error carries no such text.
#include <cstddef>

namespace pngcheck {

// True when every chunk is whole with a good check, the header is valid and
// the critical chunks are the known ones in order (a palette before the
// data where one is needed). Reads nothing but the chunk headers and checks.
bool wellFormed(const unsigned char* bytes, size_t count);
// wellFormed, and the data inflates to every row of every pass with a
// valid filter byte (time in proportion to the declared picture).
bool intact(const unsigned char* bytes, size_t count);

// The check word of a chunk (type and data).
unsigned int crc32(const unsigned char* bytes, size_t count);

}  // namespace pngcheck
