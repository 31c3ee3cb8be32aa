#include "SourceLexer.h"

#include <cctype>
#include <cstdio>

namespace mcb {
namespace {

bool identStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '#'; }
bool identChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a number at s[i]; false when it is malformed or does not fit 64 bits.
bool readNumber(const std::string& s, size_t& i, Token& t) {
  bool negative = false;
  if (s[i] == '-' || s[i] == '+') negative = s[i++] == '-';
  unsigned base = 10;
  if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  uint64_t v = 0;
  size_t digits = 0;
  for (; i < s.size(); ++i, ++digits) {
    const int d = hexDigit(s[i]);
    if (d < 0 || static_cast<unsigned>(d) >= base) break;
    if (v > (UINT64_MAX - d) / base) return false;
    v = v * base + d;
  }
  if (digits == 0 || (i < s.size() && identChar(s[i]))) return false;
  if (negative) {
    if (v > static_cast<uint64_t>(INT64_MAX) + 1) return false;
    t.number = static_cast<int64_t>(0 - v);
  } else {
    t.unsignedHigh = v > static_cast<uint64_t>(INT64_MAX);
    t.number = static_cast<int64_t>(v);
  }
  return true;
}

bool readString(const std::string& s, size_t& i, std::string& out, std::string& error) {
  ++i;   // opening quote
  while (i < s.size() && s[i] != '"') {
    char c = s[i++];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= s.size()) break;
    c = s[i++];
    switch (c) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '0': out += '\0'; break;
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'x': {
        const int h = i < s.size() ? hexDigit(s[i]) : -1;
        const int l = i + 1 < s.size() ? hexDigit(s[i + 1]) : -1;
        if (h < 0 || l < 0) return error = "\\x needs two hex digits", false;
        out += static_cast<char>(h * 16 + l);
        i += 2;
        break;
      }
      default: return error = std::string("unknown escape \\") + c, false;
    }
  }
  if (i >= s.size()) return error = "string is not closed", false;
  ++i;   // closing quote
  return true;
}

}  // namespace

bool tokenizeLine(const std::string& s, std::vector<Token>& out, std::string& error, int& errorColumn) {
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ';') break;
    if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
      ++i;
      continue;
    }
    Token t;
    t.column = static_cast<int>(i) + 1;
    errorColumn = t.column;
    if (c == '"') {
      t.kind = Token::String;
      if (!readString(s, i, t.text, error)) return false;
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               ((c == '-' || c == '+') && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      t.kind = Token::Number;
      const size_t start = i;
      if (!readNumber(s, i, t)) {
        while (i < s.size() && identChar(s[i])) ++i;
        return error = "bad number '" + s.substr(start, i - start) + "'", false;
      }
      t.text = s.substr(start, i - start);
    } else if (identStart(c)) {
      t.kind = Token::Ident;
      const size_t start = i++;
      while (i < s.size() && identChar(s[i])) ++i;
      t.text = s.substr(start, i - start);
    } else if (c == '=' || c == ':') {
      t.kind = Token::Punct;
      t.text = std::string(1, c);
      ++i;
    } else {
      return error = std::string("unexpected character '") + c + "'", false;
    }
    out.push_back(t);
  }
  return true;
}

std::string quoteString(const std::string& s) {
  std::string q = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      q += '\\';
      q += static_cast<char>(c);
    } else if (c == '\n') {
      q += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      char buf[5];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      q += buf;
    } else {
      q += static_cast<char>(c);
    }
  }
  return q + "\"";
}

}  // namespace mcb
