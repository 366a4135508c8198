#include "generator/gen.h"

int main() {
  return vantrel::generator_main();
}
