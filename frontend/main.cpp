#include "frontend/Unit1.h"

int main(int argc, char** argv) {
  return quorvel::front_end_main(argc, argv);
}
