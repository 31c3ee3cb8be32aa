#pragma once
// The conventions every command-line tool follows: --help on standard
// output with status 0, --version, usage errors on standard error with
// status 2, failures with status 1.
#include <cstdio>
#include <string>

namespace mcb {

#ifndef MCB_VERSION
#define MCB_VERSION "0"
#endif

struct CommandLine {
  const char* tool;
  const char* usage;   // full help text, ending in a line feed

  int help() const { return std::fputs(usage, stdout) < 0 ? 1 : 0; }
  int version() const { return std::printf("%s %s\n", tool, MCB_VERSION) < 0 ? 1 : 0; }
  // Prints "tool: message" and the first line of the usage; status 2.
  int usageError(const std::string& message) const {
    const std::string u(usage);
    std::fprintf(stderr, "%s: %s\n%s", tool, message.c_str(), u.substr(0, u.find('\n') + 1).c_str());
    std::fprintf(stderr, "Try '%s --help' for more.\n", tool);
    return 2;
  }
  // Prints "tool: message"; status 1.
  int failure(const std::string& message) const {
    std::fprintf(stderr, "%s: %s\n", tool, message.c_str());
    return 1;
  }
};

}  // namespace mcb
