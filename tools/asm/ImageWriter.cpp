// Serialising and reading the image format (little-endian, width table).
#include "ImageModel.h"

#include <cstdio>

#include <algorithm>
#include <cstring>

namespace mcb {
namespace {

int widthFor(int64_t v) { return v >= 0 && v <= 0xFF ? 1 : v >= 0 && v <= 0xFFFF ? 2 : 4; }

struct Out {
  std::vector<uint8_t> b;
  void byte(uint8_t v) { b.push_back(v); }
  void value(int64_t v, int w) {
    for (int i = 0; i < w; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
  }
  void count(int64_t v) { value(v, 4); }
  void string(const std::string& s) {
    count(static_cast<int64_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
  }
};

void widen(int& w, int64_t v) { w = std::max(w, widthFor(v)); }

void chooseWidths(const ImageModel& m, int w[kWidthCount]) {
  int need[kWidthCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  for (const ExportEntry& e : m.exports) {
    widen(need[W_CODE_OFFSET], e.code);
    widen(need[W_METHOD_INFO], e.record);
  }
  for (const Directive& d : m.directives) {
    widen(need[W_ENTRY_COUNT], static_cast<int64_t>(d.entries.size()));
    for (const DirectiveEntry& e : d.entries) {
      widen(need[W_CLASS_ID], e.classId);
      widen(need[W_CODE_OFFSET], e.code);
      widen(need[W_METHOD_INFO], e.record);
    }
  }
  for (const ClassDef& c : m.classes) {
    widen(need[W_SUPER_FLAG], c.superFlag);
    if (c.superFlag) widen(need[W_CLASS_ID], c.super);
    widen(need[W_INTERFACE_COUNT], static_cast<int64_t>(c.interfaces.size()));
    for (int32_t i : c.interfaces) widen(need[W_CLASS_ID], i);
  }
  for (const Record& r : m.records) {
    widen(need[W_PARAM_SLOTS], r.params);
    widen(need[W_RESULT_SLOTS], r.results);
    widen(need[W_LOCAL_SLOTS], r.locals);
  }
  for (int i = 0; i < kWidthCount; ++i) w[i] = m.widths[i] ? m.widths[i] : need[i];
}

template <typename T>
int slotWidth(int forced, const std::vector<int32_t>& a, const std::vector<T>& v1, const std::vector<int32_t>* b = nullptr,
              const std::vector<T>* v2 = nullptr) {
  if (forced) return forced;
  int w = 1;
  for (int32_t x : a) widen(w, x);
  for (const T& x : v1) widen(w, x.offset);
  if (b)
    for (int32_t x : *b) widen(w, x);
  if (v2)
    for (const T& x : *v2) widen(w, x.offset);
  return w;
}

void vectorSlots(Out& o, const std::vector<VectorSlot>& v, int w) {
  o.count(static_cast<int64_t>(v.size()));
  for (const VectorSlot& s : v) {
    o.byte(s.flag);
    o.value(s.offset, w);
  }
}

void slots(Out& o, const std::vector<int32_t>& v, int w) {
  o.count(static_cast<int64_t>(v.size()));
  for (int32_t x : v) o.value(x, w);
}

}  // namespace

std::vector<uint8_t> writeImage(const ImageModel& m) {
  if (m.raw) return m.rawBytes;
  Out o;
  int w[kWidthCount];
  chooseWidths(m, w);
  o.byte(static_cast<uint8_t>(m.tag.size()));
  o.b.insert(o.b.end(), m.tag.begin(), m.tag.end());
  for (uint8_t x : {0xFF, 0xFF, 0x00, 0x01}) o.byte(x);
  for (int x : w) o.byte(static_cast<uint8_t>(x));
  o.count(static_cast<int64_t>(m.exports.size()));
  for (const ExportEntry& e : m.exports) {
    o.string(e.name);
    o.value(e.code, w[W_CODE_OFFSET]);
    o.value(e.record, w[W_METHOD_INFO]);
  }
  o.count(static_cast<int64_t>(m.directives.size()));
  for (const Directive& d : m.directives) {
    o.string(d.name);
    o.value(static_cast<int64_t>(d.entries.size()), w[W_ENTRY_COUNT]);
    for (const DirectiveEntry& e : d.entries) {
      o.value(e.classId, w[W_CLASS_ID]);
      o.value(e.code, w[W_CODE_OFFSET]);
      o.value(e.record, w[W_METHOD_INFO]);
    }
  }
  o.count(m.globals);
  o.count(static_cast<int64_t>(m.classes.size()));
  for (const ClassDef& c : m.classes) {
    const int cw = slotWidth(c.width, c.refs, c.vectors);
    o.byte(static_cast<uint8_t>(cw));
    slots(o, c.refs, cw);
    vectorSlots(o, c.vectors, cw);
    o.value(c.superFlag, w[W_SUPER_FLAG]);
    if (c.superFlag) o.value(c.super, w[W_CLASS_ID]);
    o.value(static_cast<int64_t>(c.interfaces.size()), w[W_INTERFACE_COUNT]);
    for (int32_t i : c.interfaces) o.value(i, w[W_CLASS_ID]);
  }
  o.count(static_cast<int64_t>(m.records.size()));
  for (const Record& r : m.records) {
    const int rw = slotWidth(r.width, r.paramRefs, r.paramVectors, &r.localRefs, &r.localVectors);
    o.byte(static_cast<uint8_t>(rw));
    o.value(r.params, w[W_PARAM_SLOTS]);
    slots(o, r.paramRefs, rw);
    vectorSlots(o, r.paramVectors, rw);
    o.value(r.results, w[W_RESULT_SLOTS]);
    o.value(r.locals, w[W_LOCAL_SLOTS]);
    slots(o, r.localRefs, rw);
    vectorSlots(o, r.localVectors, rw);
  }
  o.count(static_cast<int64_t>(m.strings.size()));
  for (const std::string& s : m.strings) o.string(s);
  o.b.insert(o.b.end(), m.code.begin(), m.code.end());
  return o.b;
}

namespace {

struct In {
  const std::vector<uint8_t>& b;
  size_t pos = 0;
  bool ok = true;
  std::string where = "the header";   // what is being read, for the message
  std::string failure;
  explicit In(const std::vector<uint8_t>& bytes) : b(bytes) {}
  uint8_t byte() {
    if (pos >= b.size()) return fail();
    return b[pos++];
  }
  int32_t value(int w) {
    if (w != 1 && w != 2 && w != 4) {
      if (ok) failure = "a value of width " + std::to_string(w) + " in " + where + " (widths are 1, 2 or 4)";
      ok = false;
      pos = b.size();
      return 0;
    }
    if (b.size() - pos < static_cast<size_t>(w) || pos > b.size()) return fail();
    uint32_t v = 0;
    for (int i = w - 1; i >= 0; --i) v = (v << 8) | b[pos + i];
    pos += w;
    return static_cast<int32_t>(v);
  }
  int32_t count() { return value(4); }
  std::string string() {
    const int32_t n = count();
    if (!ok || n < 0 || b.size() - pos < static_cast<size_t>(n)) return fail(), std::string();
    std::string s(b.begin() + pos, b.begin() + pos + n);
    pos += n;
    return s;
  }
  uint8_t fail() {
    if (ok)
      failure = "the image ends inside " + where + " (at byte " + std::to_string(pos) + " of " +
                std::to_string(b.size()) + ")";
    ok = false;
    pos = b.size();
    return 0;
  }
};

bool readSlots(In& in, std::vector<int32_t>& v, int w) {
  const int32_t n = in.count();
  for (int32_t i = 0; i < n && in.ok; ++i) v.push_back(in.value(w));
  return in.ok;
}

bool readVectors(In& in, std::vector<VectorSlot>& v, int w) {
  const int32_t n = in.count();
  for (int32_t i = 0; i < n && in.ok; ++i) {
    VectorSlot s;
    s.flag = in.byte();
    s.offset = in.value(w);
    v.push_back(s);
  }
  return in.ok;
}

}  // namespace

bool readImage(const std::vector<uint8_t>& bytes, ImageModel& m, std::string& error) {
  In in(bytes);
  if (bytes.empty()) return error = "the image is empty", false;
  const int tag = in.byte();
  if (tag > 127 || bytes.size() - 1 < static_cast<size_t>(tag))
    return error = "the tag length " + std::to_string(static_cast<int8_t>(tag)) + " at byte 0 does not fit the image (" +
                   std::to_string(bytes.size()) + " bytes)", false;
  m.tag.assign(bytes.begin() + 1, bytes.begin() + 1 + tag);
  in.pos = 1 + tag;
  in.where = "the magic";
  for (uint8_t x : {0xFF, 0xFF, 0x00, 0x01}) {
    const size_t at = in.pos;
    const uint8_t got = in.byte();
    if (!in.ok) return error = in.failure, false;
    if (got != x) {
      char text[96];
      std::snprintf(text, sizeof text, "bad magic at byte %zu: 0x%02X, expected 0x%02X (not an image?)", at, got, x);
      return error = text, false;
    }
  }
  in.where = "the field widths";
  for (int& w : m.widths) w = in.byte();
  const int32_t exports = in.count();
  for (int32_t i = 0; i < exports && in.ok; ++i) {
    in.where = "export " + std::to_string(i);
    ExportEntry e;
    e.name = in.string();
    e.code = in.value(m.widths[W_CODE_OFFSET]);
    e.record = in.value(m.widths[W_METHOD_INFO]);
    m.exports.push_back(e);
  }
  const int32_t directives = in.count();
  for (int32_t i = 0; i < directives && in.ok; ++i) {
    in.where = "virtual directive " + std::to_string(i);
    Directive d;
    d.name = in.string();
    const int32_t n = in.value(m.widths[W_ENTRY_COUNT]);
    for (int32_t k = 0; k < n && in.ok; ++k) {
      DirectiveEntry e;
      e.classId = in.value(m.widths[W_CLASS_ID]);
      e.code = in.value(m.widths[W_CODE_OFFSET]);
      e.record = in.value(m.widths[W_METHOD_INFO]);
      d.entries.push_back(e);
    }
    m.directives.push_back(d);
  }
  in.where = "the globals size";
  m.globals = in.count();
  in.where = "the class table";
  const int32_t classes = in.count();
  for (int32_t i = 0; i < classes && in.ok; ++i) {
    in.where = "class " + std::to_string(i);
    ClassDef c;
    c.width = in.byte();
    readSlots(in, c.refs, c.width);
    readVectors(in, c.vectors, c.width);
    c.superFlag = in.value(m.widths[W_SUPER_FLAG]);
    if (c.superFlag) c.super = in.value(m.widths[W_CLASS_ID]);
    const int32_t n = in.value(m.widths[W_INTERFACE_COUNT]);
    for (int32_t k = 0; k < n && in.ok; ++k) c.interfaces.push_back(in.value(m.widths[W_CLASS_ID]));
    m.classes.push_back(c);
  }
  in.where = "the record table";
  const int32_t records = in.count();
  for (int32_t i = 0; i < records && in.ok; ++i) {
    in.where = "method record " + std::to_string(i);
    Record r;
    r.width = in.byte();
    r.params = in.value(m.widths[W_PARAM_SLOTS]);
    readSlots(in, r.paramRefs, r.width);
    readVectors(in, r.paramVectors, r.width);
    r.results = in.value(m.widths[W_RESULT_SLOTS]);
    r.locals = in.value(m.widths[W_LOCAL_SLOTS]);
    readSlots(in, r.localRefs, r.width);
    readVectors(in, r.localVectors, r.width);
    m.records.push_back(r);
  }
  in.where = "the string table";
  const int32_t strings = in.count();
  for (int32_t i = 0; i < strings && in.ok; ++i) {
    in.where = "string " + std::to_string(i);
    m.strings.push_back(in.string());
  }
  if (!in.ok) return error = in.failure, false;
  m.code.assign(bytes.begin() + in.pos, bytes.end());
  return true;
}

}  // namespace mcb
