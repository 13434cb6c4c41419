// A program that crashes on purpose, with a write through a null pointer:
// what a faulty test program does. The harness test starts it to show that a
// crash under Wine ends the process, failed, instead of waiting in Wine's
// debugger.
#include <cstdio>

int main() {
  std::puts("crashing on purpose");
  std::fflush(stdout);
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
