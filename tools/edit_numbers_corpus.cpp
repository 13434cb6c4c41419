// edit-numbers-corpus prints how the dialog's edits read a corpus of texts,
// one line per text: the text (bytes outside printable ASCII as \xNN), the
// integer readInteger reads ("refused" when it refuses the text) and the bits
// of the float readFloat reads, in hexadecimal. The corpus is made here, the
// same on every build, so that the outputs of two builds compare line by line
// (scripts/test-edit-numbers runs the Windows build and the browser's).
//
// The Windows build also reads every text with its C library's atof and atoi,
// msvcrt's, the reading the edits keep on every build: it reports each text
// read otherwise on stderr and then ends with 1.
#include "control/edit_numbers.h"

#include "scene/vector3.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using Texts = std::vector<std::string>;

// Every combination of leading space, sign, body and what follows it.
void addCombinations(Texts& texts) {
  const char* const spaces[] = {"", " ", "\t ", "\n", "\v\f\r"};
  const char* const signs[] = {"", "+", "-", "+-", "--"};
  const char* const bodies[] = {
      "", "0", "7", "007", "010", "09", "42", ".5", "5.", ".", "3.25", "1e3", "1.5e-3", "2E+2",
      "1d3", "1D-2", "1.e3", ".5e1", "e5", "d5", "0x1A", "0X1a", "0x1p3", "0x.8p1",
      // Past the double and float ranges, at their edges, and exponents
      // past the int range.
      "1e999", "1e-999", "1d999", "4.9e-324", "2.4703282292062328e-324", "1e-320", "1e-45",
      "1e-46", "1.1754942e-38", "3.4028235e38", "3.4028236e38", "1e39",
      "1.7976931348623157e308", "1.7976931348623159e308", "1e2147483648", "1e-2147483649",
      "1e00000000000000000000003", "0e99999", "2147483647", "2147483648", "4294967301",
      "99999999999999999999", "inf", "INF", "infinity", "nan", "NaN", "nan(1)", "abc",
      // Halfway between two floats: 16777217 and 1 + 2^-24 exactly, and just
      // above, where the double still rounds to halfway and the float goes
      // to even (a direct float reading goes up).
      "16777217", "16777217.0000000001", "1.000000059604644775390625",
      "1.0000000596046447762579867"};
  const char* const tails[] = {"", "x", " 5", "e", "e+", "e-", "d", "D+", ".", "9", "e2", "d2",
                               "E-2", ",5"};
  for (const char* space : spaces)
    for (const char* sign : signs)
      for (const char* body : bodies)
        for (const char* tail : tails) texts.push_back(std::string(space) + sign + body + tail);
}

// Each byte before a number and inside one: which of them are white space.
void addBytes(Texts& texts) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string c(1, static_cast<char>(byte));
    texts.push_back(c + "5");
    texts.push_back("5" + c + "5");
  }
}

// Digit strings of every length an edit holds (99 characters).
void addLongDigits(Texts& texts) {
  for (size_t n = 1; n <= 99; ++n) {
    std::string counting, nines(n, '9'), power = "1" + std::string(n - 1, '0');
    for (size_t i = 0; i < n; ++i) counting += char('0' + (i + 1) % 10);
    texts.push_back(counting);
    texts.push_back(nines);
    texts.push_back(power);
    if (n >= 3) texts.push_back("0." + std::string(n - 3, '0') + "1");
    if (n >= 3) texts.push_back("." + counting.substr(0, n - 1));
    if (n >= 5) texts.push_back(counting.substr(0, n - 4) + "e-50");
    if (n >= 5) texts.push_back("." + nines.substr(0, n - 5) + "d+40");
  }
}

// The exact value of n * 2^exponent in decimal, as digits and an exponent.
std::string exactDecimal(uint64_t n, int exponent) {
  std::vector<int> digits;  // least significant first
  for (; n > 0; n /= 10) digits.push_back(int(n % 10));
  const int factor = exponent >= 0 ? 2 : 5;
  for (int i = 0; i < (exponent >= 0 ? exponent : -exponent); ++i) {
    int carry = 0;
    for (int& digit : digits) {
      const int product = digit * factor + carry;
      digit = product % 10;
      carry = product / 10;
    }
    if (carry > 0) digits.push_back(carry);
  }
  // value = digits * 10^decimalExponent
  int decimalExponent = exponent >= 0 ? 0 : exponent;
  size_t first = 0;
  while (first + 1 < digits.size() && digits[first] == 0) ++first, ++decimalExponent;
  std::string text(1, char('0' + digits.back()));
  if (digits.size() - 1 > first) text += '.';
  for (size_t i = digits.size() - 1; i-- > first;) text += char('0' + digits[i]);
  return text + "e" + std::to_string(decimalExponent + int(digits.size() - 1 - first));
}

// Around the halfway point between a float and the next one up: exactly
// halfway (the float goes to even), half a double above it and half a double
// below (the double goes to even, which is halfway, and the float to even
// again), a little more than half a double above (the double rounds up past
// halfway, the float rounds up), three quarters of a double below (the
// double rounds down, the float rounds down). Floats are mantissa * 2^exponent
// with a 24-bit mantissa.
void addHalfways(Texts& texts) {
  const uint64_t mantissas[] = {0x800000, 0x800001, 0xFFFFFF, 0xC00000, 0xAAAAAA, 0xD55555};
  for (int exponent = -149; exponent <= 104; exponent += 9) {
    for (uint64_t mantissa : mantissas) {
      const uint64_t halfway = (2 * mantissa + 1) << 28;  // 53 bits
      const int e = exponent - 29;
      texts.push_back(exactDecimal(halfway, e));
      texts.push_back(exactDecimal(2 * halfway + 1, e - 1));
      texts.push_back(exactDecimal(2 * halfway - 1, e - 1));
      texts.push_back(exactDecimal(2 * halfway + 1, e - 1) + "0000001");
      texts.push_back(exactDecimal(4 * halfway - 3, e - 2));
    }
  }
  // The float range's top: halfway between the largest float and 2^128 goes
  // to even, which is the infinity; a quarter of the way stays the largest.
  texts.push_back(exactDecimal(0x1FFFFFF, 103));
  texts.push_back(exactDecimal(0x3FFFFFD, 102));
}

// Numbers made at random (the same on every build): digits around a decimal
// point, exponents of every marker, something after.
void addRandom(Texts& texts) {
  uint32_t state = 12345;
  auto next = [&state](uint32_t range) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % range;
  };
  const char* const markers[] = {"", "e", "E", "d", "D", "e+", "d-", "E-", "x", "p"};
  const char* const ends[] = {"", "", "1", ".", " ", "e", "f", "\t7"};
  for (int i = 0; i < 3000; ++i) {
    std::string text(next(3), ' ');
    text += "  +-"[next(4)];
    if (text.back() == ' ') text.pop_back();
    for (uint32_t n = next(22); n > 0; --n) text += char('0' + next(10));
    if (next(2)) text += '.';
    for (uint32_t n = next(22); n > 0; --n) text += char('0' + next(10));
    text += markers[next(10)];
    for (uint32_t n = next(5); n > 0; --n) text += char('0' + next(10));
    text += ends[next(8)];
    texts.push_back(text);
  }
}

std::string escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c > ' ' && c < 0x7F && c != '\\') {
      out += char(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", c);
      out += code;
    }
  }
  return out;
}

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

int main() {
#ifdef _WIN32
  // Lines end in \n as on the other builds.
  _setmode(_fileno(stdout), _O_BINARY);
  int differences = 0;
#endif
  Texts texts;
  addCombinations(texts);
  addBytes(texts);
  addLongDigits(texts);
  addHalfways(texts);
  addRandom(texts);
  for (const std::string& text : texts) {
    int integer = 0;
    const bool accepted = readInteger(text, integer);
    const float number = readFloat(text);
    if (accepted)
      std::printf("%s\t%d\t%08x\n", escaped(text).c_str(), integer, unsigned(bitsOf(number)));
    else
      std::printf("%s\trefused\t%08x\n", escaped(text).c_str(), unsigned(bitsOf(number)));
#ifdef _WIN32
    // msvcrt.dll's own atof and atoi: the import library links them.
    const float reference = stored(std::atof(text.c_str()));
    if (bitsOf(number) != bitsOf(reference) || (accepted && integer != std::atoi(text.c_str()))) {
      if (++differences <= 20)
        std::fprintf(stderr, "%s: read as %d, %08x where msvcrt reads %d, %08x\n",
                     escaped(text).c_str(), integer, unsigned(bitsOf(number)),
                     std::atoi(text.c_str()), unsigned(bitsOf(reference)));
    }
#endif
  }
#ifdef _WIN32
  std::fprintf(stderr, "%zu texts, %d read otherwise than msvcrt's atof and atoi read them\n",
               texts.size(), differences);
  return differences == 0 ? 0 : 1;
#else
  return 0;
#endif
}
