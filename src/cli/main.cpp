#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // The C++ streams buffer on their own: a batch of designs is not written a character at a time.
  std::ios::sync_with_stdio(false);
  return vtq::cli::Run(argc, argv, std::cout, std::cerr);
}
