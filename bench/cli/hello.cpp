// The baseline of the command line's start-up: the least a C++ program does to answer,
// starting the standard library's streams and printing one line.
#include <iostream>

int main() {
  std::cout << "{}\n";
}
