// Numbers typed into the dialog's edits. Integers are read the way atoi reads
// them and floats the way atof does, except that an integer outside the
// 32-bit range is reported instead of giving an undefined value.
#pragma once

#include <string>

// Leading white space, an optional sign and the digits up to the first other
// character; text without digits reads as 0. False, with value untouched,
// when the number does not fit a 32-bit int.
bool readInteger(const std::string& text, int& value);

// The float value of the text's leading number as the C library's atof
// reads it, 0 when there is none; a value beyond the float range reads as an
// infinity.
float readFloat(const std::string& text);
