#include "DebugMap.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <sys/stat.h>

namespace debuginfo {

uint64_t DebugMap::hash(const uint8_t* bytes, size_t n) {
  uint64_t h = 14695981039346656037ull;   // FNV-1a
  for (size_t i = 0; i < n; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
  return h;
}

void DebugMap::setImage(const uint8_t* bytes, size_t n) {
  imageSize = n;
  imageHash = hash(bytes, n);
}

bool DebugMap::matches(const uint8_t* bytes, size_t n) const { return imageSize == n && imageHash == hash(bytes, n); }

std::string DebugMap::format() const {
  std::ostringstream o;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016" PRIx64, imageHash);
  o << "mcbmap 1\nimage " << imageSize << " " << hex << "\n";
  for (size_t i = 0; i < sources.size(); ++i) o << "source " << i << " " << sources[i] << "\n";
  for (const auto& c : classes) o << "class " << c.first << " " << c.second << "\n";
  for (const MapMethod& m : methods) o << "method " << m.start << " " << m.end << " " << m.name << "\n";
  for (const auto& l : labels) o << "label " << l.first << " " << l.second << "\n";
  for (const MapLine& l : lines) o << "line " << l.offset << " " << l.source << " " << l.line << "\n";
  return o.str();
}

namespace {

// The rest of the line after n space-separated words.
std::string tail(const std::string& line, int words) {
  size_t at = 0;
  for (int i = 0; i < words && at != std::string::npos; ++i) {
    at = line.find(' ', at);
    if (at != std::string::npos) ++at;
  }
  return at == std::string::npos ? std::string() : line.substr(at);
}

}  // namespace

bool DebugMap::parse(const std::string& text, DebugMap& out, std::string& error) {
  out = DebugMap();
  std::istringstream in(text);
  std::string line;
  int number = 0;
  auto bad = [&](const char* what) {
    error = "line " + std::to_string(number) + ": " + what;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    std::istringstream w(line);
    std::string kind;
    w >> kind;
    if (number == 1) {
      int version = 0;
      if (kind != "mcbmap" || !(w >> version) || version != 1) return bad("not a map (mcbmap 1)");
    } else if (kind == "image") {
      std::string hex;
      if (!(w >> out.imageSize >> hex) || hex.size() != 16) return bad("bad image line");
      out.imageHash = std::strtoull(hex.c_str(), nullptr, 16);
    } else if (kind == "source") {
      size_t index = 0;
      if (!(w >> index) || index != out.sources.size()) return bad("sources must count from 0");
      out.sources.push_back(tail(line, 2));
    } else if (kind == "class") {
      int id = 0;
      std::string name;
      if (!(w >> id >> name)) return bad("bad class line");
      out.classes[id] = name;
    } else if (kind == "method") {
      MapMethod m;
      if (!(w >> m.start >> m.end >> m.name) || m.end < m.start) return bad("bad method line");
      if (!out.methods.empty() && m.start < out.methods.back().end) return bad("methods must be in order");
      out.methods.push_back(m);
    } else if (kind == "label") {
      uint32_t offset = 0;
      std::string name;
      if (!(w >> offset >> name)) return bad("bad label line");
      out.labels.emplace(offset, name);
    } else if (kind == "line") {
      MapLine l;
      if (!(w >> l.offset >> l.source >> l.line) || l.source < 0 || static_cast<size_t>(l.source) >= out.sources.size())
        return bad("bad line record");
      if (!out.lines.empty() && l.offset < out.lines.back().offset) return bad("lines must be in order");
      out.lines.push_back(l);
    } else if (!kind.empty()) {
      return bad("unknown record");
    }
  }
  if (number == 0) return bad("empty");
  return true;
}

const MapMethod* DebugMap::methodAt(uint32_t offset) const {
  auto it = std::upper_bound(methods.begin(), methods.end(), offset,
                             [](uint32_t o, const MapMethod& m) { return o < m.start; });
  if (it == methods.begin()) return nullptr;
  --it;
  return offset < it->end ? &*it : nullptr;
}

const MapLine* DebugMap::lineAt(uint32_t offset) const {
  auto it = std::upper_bound(lines.begin(), lines.end(), offset,
                             [](uint32_t o, const MapLine& l) { return o < l.offset; });
  if (it == lines.begin()) return nullptr;
  return &*(it - 1);
}

std::string DebugMap::sourceLine(uint32_t offset) const {
  const MapLine* l = lineAt(offset);
  if (!l) return std::string();
  return sources[static_cast<size_t>(l->source)] + ":" + std::to_string(l->line);
}

std::string DebugMap::className(int id) const {
  auto it = classes.find(id);
  return it == classes.end() ? std::string() : it->second;
}

bool loadMap(const std::string& path, const uint8_t* image, size_t size, DebugMap& out, std::string& error) {
  error.clear();
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;   // no map: offsets only
  if (S_ISDIR(st.st_mode)) return error = "'" + path + "' is a directory", false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return error = "cannot read '" + path + "': " + std::strerror(errno), false;
  std::string text;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  if (!DebugMap::parse(text, out, error)) return error = "'" + path + "' " + error, false;
  if (!out.matches(image, size)) {
    out = DebugMap();
    return error = "'" + path + "' belongs to another image (assemble again)", false;
  }
  return true;
}

}  // namespace debuginfo
