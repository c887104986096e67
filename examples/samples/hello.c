#include <stdio.h>

int main(void) {
  puts("hello from a sample file");
  return 0;
}
