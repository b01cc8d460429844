#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "cli/cli.h"
#include "files/file_io.h"

int main(int argc, char** argv) {
  // A write past a file-size limit then fails with EFBIG, which the writer reports and
  // cleans up after, instead of killing the program with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  // The C++ streams buffer on their own: a batch of designs is not written a character at a time.
  std::ios::sync_with_stdio(false);
  const int status = vtq::cli::Run(argc, argv, std::cout, std::cerr);
  // Output that never arrived (a full disk, a closed pipe, /dev/full) is a failure: a
  // script must not take an empty or cut-off result for a good one. The stream keeps no
  // reason, but errno still holds the failed write's.
  std::cout.flush();
  if (std::cout.fail()) {
    std::cerr << "vtq-cli: could not write the output: "
              << (errno != 0 ? vtq::files::ReasonOf(errno) : std::string("write error")) << "\n";
    return vtq::cli::kExitFailure;
  }
  return status;
}
