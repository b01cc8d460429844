// Runs vtq-cli in this process with captured output, for tests of its commands.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace vtq::cli::harness {

struct Result {
  int status;
  std::string out, err;
};

inline Result Cli(std::vector<std::string> args) {
  args.insert(args.begin(), "vtq-cli");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  int status = Run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace vtq::cli::harness
