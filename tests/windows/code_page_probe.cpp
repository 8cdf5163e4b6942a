// Says the ANSI code page it runs under: the tests start the programs under chosen code pages
// and check first that the choice took.
#include <windows.h>

#include <cstdio>

int main() {
  std::printf("%u\n", GetACP());
  return 0;
}
