#include "control/edit_numbers.h"

#include "scene/vector3.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

bool readInteger(const std::string& text, int& value) {
  errno = 0;
  const long long number = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || number < INT_MIN || number > INT_MAX) return false;
  value = static_cast<int>(number);
  return true;
}

float readFloat(const std::string& text) {
  // atof itself, so that a text reads as the program's C library reads it:
  // the Windows library's atof takes no hexadecimal number, "inf" or "nan"
  // (they read as 0), where the strtod that mingw-w64 puts in its place
  // does. Past the double range both libraries' atof give the infinity.
  return stored(std::atof(text.c_str()));
}
