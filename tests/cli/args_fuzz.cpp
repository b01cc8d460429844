// Fuzz target: the command line's argument handling. The input is the argument list,
// one argument per line. Runs in a scratch folder and refuses paths, so a "save" can
// only write there.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

// The folder to work in: VTQ_FUZZ_WORKDIR (the fuzz script's scratch folder), else a new one.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* given = std::getenv("VTQ_FUZZ_WORKDIR");
  char folder[] = "/tmp/vtq-args-fuzz-XXXXXX";
  const char* dir = given != nullptr ? given : ::mkdtemp(folder);
  if (dir == nullptr || ::chdir(dir) != 0) std::abort();
  // batch without a file reads standard input: an empty one, never the terminal.
  if (std::freopen("/dev/null", "r", stdin) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  if (input.find('/') != std::string::npos || input.find('\0') != std::string::npos) return 0;
  std::vector<std::string> args{"vtq-cli"};
  std::istringstream lines(input);
  for (std::string line; std::getline(lines, line) && args.size() < 24;) args.push_back(line);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  int status = vtq::cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  // 0 done, 1 failed, 2 misused, 3 a design that did not complete: nothing else.
  if (status < 0 || status > 3) std::abort();
  if (status != 0 && err.str().empty()) std::abort();  // every failure says why
  return 0;
}
