#pragma once
// The map file the assembler writes beside an image (IMAGE.map): source
// files, class names, methods with their code ranges, labels and the source
// line of every instruction, all by code offset relative to the image's own
// code. The image format does not change; a map records the size and a hash
// of the image it belongs to, so a stale map is never believed.
//
// The format is text, one record a line:
//   mcbmap 1
//   image <size> <hash, 16 hex digits>
//   source <index> <path>
//   class <id> <name>
//   method <start> <end> <name>
//   label <offset> <name>
//   line <offset> <source index> <line>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace debuginfo {

struct MapMethod {
  uint32_t start = 0, end = 0;   // [start, end)
  std::string name;
};

struct MapLine {
  uint32_t offset = 0;
  int source = 0;
  int line = 0;
};

class DebugMap {
 public:
  uint64_t imageSize = 0;
  uint64_t imageHash = 0;
  std::vector<std::string> sources;
  std::map<int, std::string> classes;
  std::vector<MapMethod> methods;          // by start
  std::multimap<uint32_t, std::string> labels;
  std::vector<MapLine> lines;              // by offset

  static uint64_t hash(const uint8_t* bytes, size_t n);
  void setImage(const uint8_t* bytes, size_t n);
  bool matches(const uint8_t* bytes, size_t n) const;

  std::string format() const;
  // False with a message for text that is not a map.
  static bool parse(const std::string& text, DebugMap& out, std::string& error);

  // The method whose range holds offset, or null.
  const MapMethod* methodAt(uint32_t offset) const;
  // The line of the instruction that holds offset, or null.
  const MapLine* lineAt(uint32_t offset) const;
  // "file:line", or "" when the offset has no line.
  std::string sourceLine(uint32_t offset) const;
  // The class's name, or "" when the map does not know it.
  std::string className(int id) const;
};

// Reads the map at path for these image bytes. Returns false when there is
// none (error empty) or it cannot be used (error says why: unreadable,
// malformed, or made for another image).
bool loadMap(const std::string& path, const uint8_t* image, size_t size, DebugMap& out, std::string& error);

}  // namespace debuginfo
