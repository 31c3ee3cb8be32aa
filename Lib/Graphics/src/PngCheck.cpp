#include "PngCheck.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>
#include <zlib.h>

namespace pngcheck {

namespace {

uint32_t be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

bool is(const unsigned char* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

struct Header {
  uint32_t width, height;
  unsigned depth, colour, interlace;
};

bool validHeader(const unsigned char* d, uint32_t length, Header& h) {
  if (length != 13) return false;
  h = Header{be32(d), be32(d + 4), d[8], d[9], d[12]};
  if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFFu || h.height > 0x7FFFFFFFu) return false;
  if (d[10] != 0 || d[11] != 0 || h.interlace > 1) return false;
  switch (h.colour) {
    case 0: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16;
    case 3: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8;
    case 2: case 4: case 6: return h.depth == 8 || h.depth == 16;
    default: return false;
  }
}

// The rows the data must hold: per pass, the row length in bytes (with the
// filter byte) and the row count.
std::vector<std::pair<uint64_t, uint64_t>> rowsOf(const Header& h) {
  static const unsigned channels[] = {1, 0, 3, 1, 2, 0, 4};
  const uint64_t bits = uint64_t(h.depth) * channels[h.colour];
  std::vector<std::pair<uint64_t, uint64_t>> passes;
  auto add = [&](uint64_t w, uint64_t rows) {
    if (w && rows) passes.push_back({1 + (w * bits + 7) / 8, rows});
  };
  if (!h.interlace) {
    add(h.width, h.height);
    return passes;
  }
  static const unsigned x0[] = {0, 4, 0, 2, 0, 1, 0}, dx[] = {8, 8, 4, 4, 2, 2, 1};
  static const unsigned y0[] = {0, 0, 4, 0, 2, 0, 1}, dy[] = {8, 8, 8, 4, 4, 2, 2};
  for (int p = 0; p < 7; ++p)
    add((h.width + dx[p] - 1 - x0[p]) / dx[p], (h.height + dy[p] - 1 - y0[p]) / dy[p]);
  return passes;
}

// Inflates the data, checking each row's filter byte, until every row is
// seen; false for a zlib error or data that ends early.
class RowWalk {
 public:
  explicit RowWalk(const Header& h) : iPasses(rowsOf(h)) {
    std::memset(&iZ, 0, sizeof iZ);
    iOk = inflateInit(&iZ) == Z_OK;
  }
  ~RowWalk() { inflateEnd(&iZ); }
  RowWalk(const RowWalk&) = delete;
  RowWalk& operator=(const RowWalk&) = delete;
  bool feed(const unsigned char* data, uint32_t length) {
    iZ.next_in = const_cast<unsigned char*>(data);
    iZ.avail_in = length;
    unsigned char out[16384];
    while (iOk && !done() && iZ.avail_in > 0) {
      iZ.next_out = out;
      iZ.avail_out = sizeof out;
      const int r = inflate(&iZ, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) iOk = false;
      walk(out, sizeof out - iZ.avail_out);
      if (r == Z_STREAM_END || (r == Z_BUF_ERROR && iZ.avail_out != 0)) break;
    }
    return iOk;
  }
  bool complete() const { return iOk && done(); }

 private:
  bool done() const { return iPass >= iPasses.size(); }
  void walk(const unsigned char* p, size_t n) {
    for (size_t i = 0; i < n && !done();) {
      if (iOffset == 0 && p[i] > 4) {
        iOk = false;
        return;
      }
      const uint64_t step = std::min<uint64_t>(n - i, iPasses[iPass].first - iOffset);
      i += step;
      iOffset += step;
      if (iOffset == iPasses[iPass].first) {
        iOffset = 0;
        if (++iRow == iPasses[iPass].second) {
          iRow = 0;
          ++iPass;
        }
      }
    }
  }

  std::vector<std::pair<uint64_t, uint64_t>> iPasses;
  size_t iPass = 0;
  uint64_t iRow = 0, iOffset = 0;
  z_stream iZ;
  bool iOk;
};

}  // namespace

unsigned int crc32(const unsigned char* p, size_t n) {
  return static_cast<unsigned int>(::crc32(::crc32(0L, Z_NULL, 0), p, static_cast<uInt>(n)));
}

namespace {

bool walk(const unsigned char* p, size_t n, bool inflateData) {
  if (n < 8 || std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) != 0) return false;
  Header h{};
  bool header = false, palette = false, dataSeen = false, dataEnded = false;
  std::unique_ptr<RowWalk> rows;
  size_t at = 8;
  while (n - at >= 12) {
    const size_t length = be32(p + at);
    if (length > n - at - 12) break;
    const unsigned char* type = p + at + 4;
    const unsigned char* data = type + 4;
    if (crc32(type, length + 4) != be32(data + length)) break;
    const bool critical = (type[0] & 0x20) == 0;
    if (!header) {
      if (!is(type, "IHDR") || !validHeader(data, static_cast<uint32_t>(length), h)) break;
      header = true;
      rows.reset(new RowWalk(h));
    } else if (is(type, "IEND")) {
      return dataSeen && (!inflateData || rows->complete()) && (h.colour != 3 || palette);
    } else if (is(type, "IDAT")) {
      if (dataEnded || (h.colour == 3 && !palette)) break;
      dataSeen = true;
      if (inflateData && !rows->feed(data, static_cast<uint32_t>(length))) break;
    } else if (is(type, "PLTE")) {
      if (dataSeen || palette || length == 0 || length % 3 != 0 || length > 768) break;
      palette = true;
    } else if (critical) {
      break;   // a critical chunk the library does not know, or a second IHDR
    } else if (dataSeen) {
      dataEnded = true;
    }
    at += length + 12;
  }
  return false;
}

}  // namespace

bool wellFormed(const unsigned char* p, size_t n) { return walk(p, n, false); }
bool intact(const unsigned char* p, size_t n) { return walk(p, n, true); }

}  // namespace pngcheck
