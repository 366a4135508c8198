// The generator's entry point.
int main() {
  return 0;
}
