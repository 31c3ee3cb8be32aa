#pragma once
// Splits one source line into tokens. Commas separate like spaces; ';'
// starts a comment outside strings.
#include <cstdint>
#include <string>
#include <vector>

namespace mcb {

struct Token {
  enum Kind { Ident, Number, String, Punct } kind = Ident;
  std::string text;   // identifier, decoded string, or the punctuation character
  int64_t number = 0;
  bool unsignedHigh = false;   // a number above INT64_MAX, kept in `number` as its bit pattern
  int column = 1;
};

// False with a message and a column for malformed tokens.
bool tokenizeLine(const std::string& line, std::vector<Token>& out, std::string& error, int& errorColumn);

// The source form of a string constant: quoted, with escapes for quotes,
// backslashes and control bytes; other bytes are kept as they are.
std::string quoteString(const std::string& s);

}  // namespace mcb
