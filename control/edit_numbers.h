// Numbers typed into the dialog's edits. Integers are read the way atoi reads
// them and floats the way the Windows program's atof (msvcrt's) does, on
// every build, except that an integer outside the 32-bit range is reported
// instead of giving an undefined value.
#pragma once

#include <string>

// Leading white space, an optional sign and the digits up to the first other
// character; text without digits reads as 0. False, with value untouched,
// when the number does not fit a 32-bit int.
bool readInteger(const std::string& text, int& value);

// The float value of the text's leading number, as msvcrt's atof reads it
// and then stored as a float; 0 when there is none. The number is white
// space (space, \t, \n, \v, \f, \r), an optional sign, digits with an
// optional decimal point (at least one digit), and an optional exponent:
// e, E, d or D, an optional sign and at least one digit; a marker without
// digits ends the number before it. No hexadecimal number, "inf" or "nan":
// they read as 0. A value beyond the double range reads as an infinity, one
// below it as a zero of its sign, and the value is rounded to the nearest
// double first, then to the nearest float, as atof and the store do.
//
// Not atof itself: the C libraries of the browser build (emscripten's) and
// of the native build (glibc) take hexadecimal numbers, "inf" and "nan" and
// refuse the d exponent, so the same text would build another world there.
float readFloat(const std::string& text);
