#include "ImageFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace mcb {

namespace {
std::string reason(const std::string& what, const std::string& path) {
  return "cannot " + what + " '" + path + "': " + std::strerror(errno);
}
}  // namespace

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool readFile(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
  if (isDirectory(path)) return error = "'" + path + "' is a directory", false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return error = reason("open", path), false;
  out.clear();
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return error = reason("read", path), false;
  return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  if (isDirectory(path)) return error = "'" + path + "' is a directory", false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return error = reason("write", path), false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) return error = reason("write", path), false;
  return true;
}

}  // namespace mcb
