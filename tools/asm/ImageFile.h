#pragma once
// Whole-file reads and writes for the command-line tools. Failures come back
// as a message naming the path and the reason, never as an exception.
#include <cstdint>
#include <string>
#include <vector>

namespace mcb {
bool readFile(const std::string& path, std::vector<uint8_t>& out, std::string& error);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
bool isDirectory(const std::string& path);
}  // namespace mcb
