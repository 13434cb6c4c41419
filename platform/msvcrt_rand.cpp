// The random numbers of the Windows program: msvcrt's rand and srand, which
// the sampler draws its candidates from. Linked into the page and the GL
// device's frame pictures in place of the C library's, so that they grow the
// cloud the Windows program grows.
#include <cstdlib>

namespace {

// rand's state, as msvcrt starts it: a program that never seeds draws from 1.
unsigned int seed = 1;

constexpr unsigned int MULTIPLIER = 214013u;
constexpr unsigned int INCREMENT = 2531011u;

}  // namespace

extern "C" int rand(void) {
  seed = seed * MULTIPLIER + INCREMENT;
  return int((seed >> 16) & 0x7fff);
}

extern "C" void srand(unsigned int start) { seed = start; }
