// Runs vtq-cli once per line of standard input (arguments separated by tabs) in one
// process and prints each run's status, output and errors, so that a thousand designs
// compare between the native and the WebAssembly build without a thousand start-ups.
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::vector<std::string> args{"vtq-cli"};
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) args.push_back(field);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = vtq::cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
    std::cout << "== " << line << "\n" << status << "\n" << out.str() << "-- errors\n" << err.str();
  }
  return 0;
}
