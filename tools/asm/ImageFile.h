#pragma once
// Whole-file reads and writes for the command-line tools.
#include <cstdint>
#include <string>
#include <vector>

namespace mcb {
bool readFile(const std::string& path, std::vector<uint8_t>& out);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
}  // namespace mcb
