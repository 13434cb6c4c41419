#include "control/edit_numbers.h"

#include "scene/vector3.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// The white space and digits of the C locale, which every C library has in
// common; std::isspace and std::isdigit would follow the current locale.
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool readInteger(const std::string& text, int& value) {
  errno = 0;
  const long long number = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || number < INT_MIN || number > INT_MAX) return false;
  value = static_cast<int>(number);
  return true;
}

float readFloat(const std::string& text) {
  // The longest prefix msvcrt's atof takes is copied with its exponent marker
  // written as 'e'. What is left is a decimal number every C library's strtod
  // reads alike, and rounds correctly to the nearest double (glibc,
  // mingw-w64's own strtod and emscripten's musl all do).
  const char* c = text.c_str();
  while (isSpace(*c)) ++c;
  std::string number;
  if (*c == '+' || *c == '-') number += *c++;
  bool digits = false;
  for (; isDigit(*c); ++c, digits = true) number += *c;
  if (*c == '.') {
    number += *c++;
    for (; isDigit(*c); ++c, digits = true) number += *c;
  }
  if (!digits) return 0.0f;
  if (*c == 'e' || *c == 'E' || *c == 'd' || *c == 'D') {
    const char* exponent = c + 1;
    if (*exponent == '+' || *exponent == '-') ++exponent;
    if (isDigit(*exponent)) {
      number += 'e';
      number.append(c + 1, exponent);
      for (; isDigit(*exponent); ++exponent) number += *exponent;
    }
  }
  return stored(std::strtod(number.c_str(), nullptr));
}
