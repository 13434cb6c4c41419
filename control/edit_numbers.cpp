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
  // strtod, unlike atof, is defined for values it cannot represent.
  return stored(std::strtod(text.c_str(), nullptr));
}
