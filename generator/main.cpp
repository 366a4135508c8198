#include "generator/gen.h"

int main() {
  return generator_main();
}
